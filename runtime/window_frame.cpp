#include "window_frame.h"

#include <QGuiApplication>
#include <QWidget>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <thread>
#include <vector>

namespace runtime {
namespace {

xcb_connection_t* x11Connection()
{
    auto* x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

xcb_atom_t atom(xcb_connection_t* c, const char* name)
{
    auto cookie = xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(c, cookie, nullptr);
    const xcb_atom_t a = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return a;
}

std::vector<uint32_t> cardinals(xcb_connection_t* c, xcb_window_t w, xcb_atom_t property, xcb_atom_t type)
{
    auto cookie = xcb_get_property(c, 0, w, property, type, 0, 1024);
    xcb_get_property_reply_t* reply = xcb_get_property_reply(c, cookie, nullptr);
    std::vector<uint32_t> values;
    if (reply && reply->format == 32) {
        const auto* data = static_cast<const uint32_t*>(xcb_get_property_value(reply));
        values.assign(data, data + xcb_get_property_value_length(reply) / 4);
    }
    std::free(reply);
    return values;
}

xcb_window_t rootOf(xcb_connection_t* c)
{
    return xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
}

bool windowManagerSupports(xcb_connection_t* c, xcb_atom_t feature)
{
    const xcb_window_t root = rootOf(c);
    const auto check = cardinals(c, root, atom(c, "_NET_SUPPORTING_WM_CHECK"), XCB_ATOM_WINDOW);
    if (check.empty())
        return false;
    for (uint32_t a : cardinals(c, root, atom(c, "_NET_SUPPORTED"), XCB_ATOM_ATOM))
        if (a == feature)
            return true;
    return false;
}

std::optional<QMargins> askWindowManager(xcb_connection_t* c, xcb_window_t window)
{
    const xcb_atom_t request = atom(c, "_NET_REQUEST_FRAME_EXTENTS");
    const xcb_atom_t extents = atom(c, "_NET_FRAME_EXTENTS");
    if (!windowManagerSupports(c, request))
        return std::nullopt;

    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = request;
    xcb_send_event(c, 0, rootOf(c), XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
        reinterpret_cast<const char*>(&event));
    xcb_flush(c);

    // A window manager answers within a few milliseconds; give up after a
    // quarter of a second and treat the frame as unknown.
    using namespace std::chrono;
    const auto deadline = steady_clock::now() + milliseconds(250);
    while (steady_clock::now() < deadline) {
        const auto v = cardinals(c, window, extents, XCB_ATOM_CARDINAL);
        if (v.size() == 4)
            return QMargins(int(v[0]), int(v[2]), int(v[1]), int(v[3])); // left, top, right, bottom
        std::this_thread::sleep_for(microseconds(500));
    }
    return std::nullopt;
}

} // namespace

QMargins frameExtentsBeforeMap(QWidget* window)
{
    static std::optional<QMargins> known;
    if (known)
        return *known;
    xcb_connection_t* c = x11Connection();
    if (!c) {
        known = QMargins();
        return *known;
    }
    const auto answer = askWindowManager(c, static_cast<xcb_window_t>(window->winId()));
    known = answer.value_or(QMargins());
    return *known;
}

void skipTaskbar(QWidget* window)
{
    xcb_connection_t* c = x11Connection();
    if (!c)
        return;
    const xcb_atom_t state = atom(c, "_NET_WM_STATE");
    const xcb_atom_t skip = atom(c, "_NET_WM_STATE_SKIP_TASKBAR");
    xcb_change_property(
        c, XCB_PROP_MODE_REPLACE, static_cast<xcb_window_t>(window->winId()), state, XCB_ATOM_ATOM, 32, 1, &skip);
    xcb_flush(c);
}

} // namespace runtime
