// The platform under X11: the window manager is asked for the frame it puts
// around a window, and told to keep the windows off the taskbar and pager.

#include "platform.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/randr.h>
#include <xcb/xcb.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <thread>
#include <vector>

namespace runtime {
namespace {

template <class T> struct Reply {
    T* p;
    explicit Reply(T* r)
        : p(r)
    {
    }
    ~Reply() { std::free(p); }
    Reply(const Reply&) = delete;
    Reply& operator=(const Reply&) = delete;
    T* operator->() const { return p; }
    explicit operator bool() const { return p != nullptr; }
};

class X11Platform final : public Platform {
public:
    explicit X11Platform(xcb_connection_t* c)
        : c_(c)
        , root_(xcb_setup_roots_iterator(xcb_get_setup(c)).data->root)
    {
    }

    Display primaryDisplay() const override
    {
        Display d = Platform::primaryDisplay();
        // The toolkit rounds a display's size in device-independent pixels;
        // the server knows it exactly in device pixels.
        if (auto exact = monitorAt(d.origin))
            d.native = *exact;
        return d;
    }

    QMargins frameExtents(QWidget* window) override
    {
        if (const xcb_window_t w = xcb_window_t(window->internalWinId())) {
            if (const auto v = cardinals(w, atom("_NET_FRAME_EXTENTS"), XCB_ATOM_CARDINAL); v.size() == 4)
                return {int(v[0]), int(v[2]), int(v[1]), int(v[3])}; // left, top, right, bottom
            if (window->isVisible())
                return Platform::frameExtents(window);
        }
        if (!known_) {
            // Asking makes the native window: only where the window manager
            // can answer, since some (weston's, for XWayland) take a window's
            // position only from the moment it is made.
            known_ = windowManagerSupports(atom("_NET_REQUEST_FRAME_EXTENTS"))
                ? askWindowManager(xcb_window_t(window->winId())).value_or(QMargins())
                : QMargins();
        }
        return *known_;
    }

    void prepareWindow(QWidget* window) override
    {
        window->winId();
        const xcb_atom_t states[] = {atom("_NET_WM_STATE_SKIP_TASKBAR"), atom("_NET_WM_STATE_SKIP_PAGER")};
        xcb_change_property(c_, XCB_PROP_MODE_REPLACE, static_cast<xcb_window_t>(window->winId()),
            atom("_NET_WM_STATE"), XCB_ATOM_ATOM, 32, 2, states);
        xcb_flush(c_);
    }

private:
    xcb_atom_t atom(const char* name) const
    {
        Reply<xcb_intern_atom_reply_t> r(
            xcb_intern_atom_reply(c_, xcb_intern_atom(c_, 0, uint16_t(std::strlen(name)), name), nullptr));
        return r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
    }

    std::vector<uint32_t> cardinals(xcb_window_t w, xcb_atom_t property, xcb_atom_t type) const
    {
        Reply<xcb_get_property_reply_t> r(
            xcb_get_property_reply(c_, xcb_get_property(c_, 0, w, property, type, 0, 1024), nullptr));
        std::vector<uint32_t> values;
        if (r && r->format == 32) {
            const auto* data = static_cast<const uint32_t*>(xcb_get_property_value(r.p));
            values.assign(data, data + xcb_get_property_value_length(r.p) / 4);
        }
        return values;
    }

    std::optional<QRect> monitorAt(QPoint corner) const
    {
        Reply<xcb_randr_get_monitors_reply_t> r(
            xcb_randr_get_monitors_reply(c_, xcb_randr_get_monitors(c_, root_, 1), nullptr));
        if (!r)
            return std::nullopt;
        for (auto it = xcb_randr_get_monitors_monitors_iterator(r.p); it.rem; xcb_randr_monitor_info_next(&it))
            if (it.data->x == corner.x() && it.data->y == corner.y())
                return QRect(it.data->x, it.data->y, it.data->width, it.data->height);
        return std::nullopt;
    }

    bool windowManagerSupports(xcb_atom_t feature) const
    {
        if (cardinals(root_, atom("_NET_SUPPORTING_WM_CHECK"), XCB_ATOM_WINDOW).empty())
            return false;
        for (uint32_t a : cardinals(root_, atom("_NET_SUPPORTED"), XCB_ATOM_ATOM))
            if (a == feature)
                return true;
        return false;
    }

    std::optional<QMargins> askWindowManager(xcb_window_t window) const
    {
        const xcb_atom_t request = atom("_NET_REQUEST_FRAME_EXTENTS");
        const xcb_atom_t extents = atom("_NET_FRAME_EXTENTS");

        xcb_client_message_event_t event{};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = window;
        event.type = request;
        xcb_send_event(c_, 0, root_, XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
            reinterpret_cast<const char*>(&event));
        xcb_flush(c_);

        using namespace std::chrono;
        const auto deadline = steady_clock::now() + milliseconds(250);
        while (steady_clock::now() < deadline) {
            const auto v = cardinals(window, extents, XCB_ATOM_CARDINAL);
            if (v.size() == 4)
                return QMargins(int(v[0]), int(v[2]), int(v[1]), int(v[3]));
            std::this_thread::sleep_for(microseconds(500));
        }
        return std::nullopt;
    }

    xcb_connection_t* c_;
    xcb_window_t root_;
    std::optional<QMargins> known_;
};

} // namespace

bool x11ServesThisSession()
{
    auto set = [](const char* name) { return !qEnvironmentVariableIsEmpty(name); };
    if (set("QT_QPA_PLATFORM") || !set("DISPLAY"))
        return false;
    if (!set("WAYLAND_DISPLAY") && qgetenv("XDG_SESSION_TYPE") != "wayland")
        return false;
    xcb_connection_t* x11 = xcb_connect(nullptr, nullptr);
    const bool answers = xcb_connection_has_error(x11) == 0;
    xcb_disconnect(x11);
    return answers;
}

Platform* x11Platform()
{
    static X11Platform* x11 = [] {
        auto* native = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
        return native && native->connection() ? new X11Platform(native->connection()) : nullptr;
    }();
    return x11;
}

} // namespace runtime
