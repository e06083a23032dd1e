// The platform under X11. A screen's window is a normal top level kept off
// the taskbar and the pager (_NET_WM_STATE_SKIP_TASKBAR and
// _NET_WM_STATE_SKIP_PAGER, written before the window is first mapped), and
// the window manager is asked for the frame it will put around it
// (_NET_REQUEST_FRAME_EXTENTS). The answer, _NET_FRAME_EXTENTS, comes later
// as a property change that a native event filter picks up: nothing waits
// for it, and the window is mapped, placed with its real frame, once it is
// in. Under a Wayland compositor whose window manager tells frames only
// once a window is up (weston 14), a probe is mapped first: an empty window
// far off the displays, whose frame and place tell how the program's windows
// will be framed.

#include "platform.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/randr.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace runtime {
namespace {

// How long a window waits to be mapped for the window manager's answer
// (metacity and mutter take up to 200 ms for a program's first window).
constexpr int kFrameWaitMs = 300;
// How long a window mapped under XWayland may go without the focus before it
// is taken for lost and mapped again, and how many times.
constexpr int kLostAfterMs = 1000;
constexpr int kMapTries = 3;

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

// The atoms the runtime writes or reads, interned once in one round trip.
struct Atoms {
    xcb_atom_t wmState, skipTaskbar, skipPager, requestFrame, frameExtents, supported, check, shaded, windowType,
        typeNormal;

    explicit Atoms(xcb_connection_t* c)
    {
        const char* names[] = {"_NET_WM_STATE", "_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER",
            "_NET_REQUEST_FRAME_EXTENTS", "_NET_FRAME_EXTENTS",
            "_NET_SUPPORTED", "_NET_SUPPORTING_WM_CHECK", "_NET_WM_STATE_SHADED",
            "_NET_WM_WINDOW_TYPE", "_NET_WM_WINDOW_TYPE_NORMAL"};
        xcb_intern_atom_cookie_t cookies[std::size(names)];
        for (std::size_t i = 0; i < std::size(names); ++i)
            cookies[i] = xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(names[i])), names[i]);
        xcb_atom_t* out[] = {&wmState, &skipTaskbar, &skipPager, &requestFrame, &frameExtents,
            &supported, &check, &shaded, &windowType, &typeNormal};
        for (std::size_t i = 0; i < std::size(names); ++i) {
            Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(c, cookies[i], nullptr));
            *out[i] = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        }
    }
};

class X11Platform final : public Platform, private QAbstractNativeEventFilter {
public:
    explicit X11Platform(xcb_connection_t* c)
        : c_(c)
        , root_(xcb_setup_roots_iterator(xcb_get_setup(c)).data->root)
        , atoms_(c)
        , xwayland_(serverIsXWayland(c))
    {
        QCoreApplication::instance()->installNativeEventFilter(this);
        auto* app = qGuiApp;
        auto forget = [this] { primary_.reset(); };
        QObject::connect(app, &QGuiApplication::primaryScreenChanged, app, forget);
        QObject::connect(app, &QGuiApplication::screenAdded, app, forget);
        QObject::connect(app, &QGuiApplication::screenRemoved, app, forget);
        for (QScreen* screen : QGuiApplication::screens())
            QObject::connect(screen, &QScreen::geometryChanged, app, forget);
        QObject::connect(app, &QGuiApplication::screenAdded, app,
            [forget](QScreen* screen) { QObject::connect(screen, &QScreen::geometryChanged, qGuiApp, forget); });
    }

    Display primaryDisplay() const override
    {
        // The toolkit rounds a display's size in device-independent pixels;
        // the server knows it exactly in device pixels. Asked again only
        // when the toolkit sees the displays change.
        if (!primary_) {
            Display d = Platform::primaryDisplay();
            if (auto exact = monitorAt(d.origin))
                d.native = *exact;
            primary_ = d;
        }
        return *primary_;
    }

    void windowMade(QWidget* window) override
    {
        // Asking makes the native window: only where the window manager
        // answers, since some (weston's, for XWayland) take a window's
        // position only from the moment it is made.
        if (managerAnswersBeforeMap())
            prepareWindow(window);
    }

    QMargins frameExtents(QWidget* window) override
    {
        if (const xcb_window_t w = xcb_window_t(window->internalWinId())) {
            if (auto m = read(w))
                return visible(*m);
            if (window->isVisible())
                return Platform::frameExtents(window);
        }
        return visible(last_.value_or(QMargins()));
    }

    QPoint clientOffset(QWidget* window) override
    {
        if (placement_.framesAtRequest)
            return {};
        return Platform::clientOffset(window);
    }

    // A normal top level (_NET_WM_WINDOW_TYPE_NORMAL) without minimise and
    // maximise functions: every window manager maps, frames and focuses it
    // and keeps it off the taskbar as asked. Not a utility window (weston
    // leaves those unmanaged) and not a dialog: mutter and metacity put a
    // dialog with no parent window on the taskbar whatever it asks.
    Qt::WindowType windowKind() const override { return Qt::Window; }

    void prepareWindow(QWidget* window) override
    {
        // Not made before the probe is done: weston takes a window's
        // position from the moment it is made.
        if (window->internalWinId() || probeDue())
            return;
        const auto w = static_cast<xcb_window_t>(window->winId());
        // The toolkit keeps the state atoms written before the map.
        keepOffTaskbar(w);
        QObject::connect(window, &QObject::destroyed, qApp, [this, w] {
            waiting_.erase(w);
            frames_.erase(w);
            shown_.erase(w);
        });
        if (managerAnswersBeforeMap())
            ask(w); // after the type: the frame depends on it
        xcb_flush(c_);
    }

    // Off the taskbar and the pager, asked before the first map.
    void keepOffTaskbar(xcb_window_t w)
    {
        const xcb_atom_t states[] = {atoms_.skipTaskbar, atoms_.skipPager};
        xcb_change_property(c_, XCB_PROP_MODE_REPLACE, w, atoms_.wmState, XCB_ATOM_ATOM, 32, 2, states);
    }

    void present(QWidget* window, const std::function<void()>& placeAgain) override
    {
        const auto requested = [window] {
            const qreal r = window->devicePixelRatioF();
            return QPoint(int(std::lround(window->x() * r)), int(std::lround(window->y() * r)));
        };
        if (window->isVisible()) {
            Platform::present(window, placeAgain);
            return;
        }
        QPointer<QWidget> guard(window);
        if (probeDue()) {
            // Made and mapped once the probe has told the frame, or after a
            // while.
            probe([this, guard, placeAgain] {
                if (guard && !guard->isVisible()) {
                    placeAgain();
                    present(guard, placeAgain);
                }
            });
            return;
        }
        prepareWindow(window);
        const auto w = static_cast<xcb_window_t>(window->winId());
        if (read(w)) {
            // The answer is in: placed with it, whatever frame stood in.
            waiting_.erase(w);
            placeAgain();
            shown_[w] = {guard, placeAgain, *read(w), requested()};
            map(window, placeAgain);
            return;
        }
        const auto known = last_;
        if (known || !waiting_.count(w)) {
            // The frame of a window of the same kind stood in, or none where
            // the manager tells the frame only once the window is up (kwin,
            // mutter 48); the window is placed again as soon as it is told.
            shown_[w] = {guard, placeAgain, known.value_or(QMargins()), requested()};
            map(window, placeAgain);
            return;
        }
        // Nothing known yet: mapped once the answer is in, placed with the
        // real frame; or after a while if none comes.
        auto done = std::make_shared<bool>(false);
        auto show = [this, w, guard, placeAgain, done, requested] {
            if (*done || !guard)
                return;
            *done = true;
            placeAgain();
            shown_[w] = {guard, placeAgain, read(w).value_or(QMargins()), requested()};
            map(guard, placeAgain);
        };
        waiting_[w].push_back(show);
        QTimer::singleShot(kFrameWaitMs, window, show);
    }

    // Shown by the toolkit. Under XWayland weston 14, busy, now and then
    // frames a window mapped as another of the program's goes and never
    // draws it nor gives it the focus: the child would see no window at
    // all. Such a window, still without the focus after a while and with
    // no other window holding it, is mapped again: to the compositor a new
    // window, with a new surface from XWayland.
    void map(QWidget* window, const std::function<void()>& placeAgain)
    {
        Platform::present(window, placeAgain);
        if (xwayland_)
            mapAgainIfLost(window, kMapTries);
    }

    void mapAgainIfLost(QWidget* window, int tries)
    {
        QTimer::singleShot(kLostAfterMs, window, [this, window, tries] {
            const auto w = xcb_window_t(window->internalWinId());
            if (!w || !window->isVisible() || window->isActiveWindow() || focusHeld())
                return;
            xcb_unmap_window(c_, w);
            xcb_map_window(c_, w);
            xcb_flush(c_);
            if (tries > 1)
                mapAgainIfLost(window, tries - 1);
        });
    }

    // Whether some window has the keyboard focus, rather than none or
    // whichever is under the pointer.
    bool focusHeld() const
    {
        Reply<xcb_get_input_focus_reply_t> r(xcb_get_input_focus_reply(c_, xcb_get_input_focus(c_), nullptr));
        return r && r->focus != XCB_NONE && r->focus != XCB_INPUT_FOCUS_POINTER_ROOT && r->focus != root_;
    }

    // Not under XWayland: there the X windows are drawn by the Wayland
    // compositor itself (weston loses the first click on a new window while
    // the one it replaced is still mapped).
    bool keepsLeavingWindowUntilPainted() const override { return !xwayland_; }

private:
    // Windows shown, with how to place each again and the frame it was
    // placed with.
    struct Shown {
        QPointer<QWidget> window;
        std::function<void()> placeAgain;
        QMargins frame;
        QPoint requested; // the client area's position asked for, device pixels
    };
    // How the running manager places a window, learnt from the first one it
    // frames: weston's puts the corner of the frame it draws where the
    // client area was asked to go, and tells a frame that includes the
    // shadow around it.
    struct Placement {
        bool known = false;
        bool framesAtRequest = false;
        int shadow = 0;
    };
    Placement placement_;

    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override
    {
        if (type == "xcb_generic_event_t") {
            handle(static_cast<const xcb_generic_event_t*>(message));
            // The probe ends as soon as a window has shown how frames are placed.
            if (probe_ && placement_.known)
                endProbe();
        }
        return false; // the toolkit sees every event as well
    }

    void handle(const xcb_generic_event_t* event)
    {
        if ((event->response_type & 0x7f) == XCB_DESTROY_NOTIFY) {
            destroyedFromOutside(reinterpret_cast<const xcb_destroy_notify_event_t*>(event)->window);
            return;
        }
        if ((event->response_type & 0x7f) == XCB_CONFIGURE_NOTIFY && !placement_.known) {
            const xcb_window_t w = reinterpret_cast<const xcb_configure_notify_event_t*>(event)->window;
            if (const auto it = shown_.find(w); it != shown_.end())
                learnFrom(it->second, w);
            return;
        }
        if ((event->response_type & 0x7f) != XCB_PROPERTY_NOTIFY)
            return;
        const auto* change = reinterpret_cast<const xcb_property_notify_event_t*>(event);
        if (change->window == probeGone_)
            return;
        if (change->atom == atoms_.wmState && change->state == XCB_PROPERTY_NEW_VALUE)
            unshade(change->window);
        if (change->window == root_ && (change->atom == atoms_.check || change->atom == atoms_.supported)) {
            manager_.reset();
            placement_ = {};
            probed_ = false;
        }
        if (change->atom != atoms_.frameExtents || change->state != XCB_PROPERTY_NEW_VALUE)
            return;
        frames_.erase(change->window);
        const auto told = read(change->window);
        // An empty frame is a window leaving its frame (openbox tells one as
        // it lets a window go), not the frame the next screen will have.
        if (told && !told->isNull())
            last_ = *told;
        placeAgainIfFrameChanged(change->window, told.value_or(QMargins()));
        const auto it = waiting_.find(change->window);
        if (it != waiting_.end()) {
            // Run outside the event filter: what runs may map windows.
            for (auto& call : it->second)
                QMetaObject::invokeMethod(qApp, std::move(call), Qt::QueuedConnection);
            waiting_.erase(it);
        }
    }

    // A window destroyed by another client (xdotool windowclose, a session
    // tool) is closed as by its close box: its screen is unloaded, and with
    // no screen left the program ends.
    void destroyedFromOutside(xcb_window_t w)
    {
        const auto it = shown_.find(w);
        if (it == shown_.end() || !it->second.window)
            return;
        QPointer<QWidget> window = it->second.window;
        shown_.erase(it);
        QMetaObject::invokeMethod(window, [window, w] {
            if (window && window->isVisible() && xcb_window_t(window->internalWinId()) == w)
                window->close();
        }, Qt::QueuedConnection);
    }

    // A window the manager has shaded (openbox rolls it up to its title bar
    // at a turn of the mouse wheel) is rolled down again, as a minimised one
    // is put back: the child would see a screen without its controls.
    void unshade(xcb_window_t w)
    {
        if (!shown_.count(w) || atoms_.shaded == XCB_ATOM_NONE)
            return;
        const auto states = cardinals(w, atoms_.wmState, XCB_ATOM_ATOM);
        if (std::find(states.begin(), states.end(), atoms_.shaded) == states.end())
            return;
        xcb_client_message_event_t event{};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = w;
        event.type = atoms_.wmState;
        event.data.data32[0] = 0; // remove
        event.data.data32[1] = atoms_.shaded;
        event.data.data32[3] = 1; // asked by an application
        xcb_send_event(c_, 0, root_, XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
            reinterpret_cast<const char*>(&event));
        xcb_flush(c_);
    }

    // A shown window whose manager tells a frame other than the one it was
    // placed with is placed again with it: mutter 48 answers a request with
    // an empty frame and tells the real one about 50 ms after the map, kwin
    // only after the map. An empty frame told later is the manager taking
    // its frame off for a while (maximised, full screen, minimised), not a
    // frame to place with.
    void placeAgainIfFrameChanged(xcb_window_t w, QMargins told)
    {
        const auto it = shown_.find(w);
        if (it == shown_.end() || told == it->second.frame || told.isNull())
            return;
        it->second.frame = told;
        if (!learnFrom(it->second, w))
            QMetaObject::invokeMethod(qApp, it->second.placeAgain, Qt::QueuedConnection);
    }

    // Until the manager's way is known: learnt from a shown window with a
    // frame told, once it sits in that frame where the manager means it to
    // (weston frames a window at the display's corner first). True when the
    // window was placed the other way: such a manager (weston) does not move
    // a window it has mapped, nor one it maps again, so that first window
    // keeps its place and the next ones are placed its way.
    bool learnFrom(const Shown& shown, xcb_window_t w)
    {
        // A manager that answers before the map frames windows as asked;
        // one that does not (weston, kwin) is watched until it is known.
        if (placement_.known || managerAnswersBeforeMap() || shown.frame.isNull())
            return false;
        return learnPlacement(w, shown.frame, shown.requested) && placement_.framesAtRequest;
    }

    // Where the client area of a framed window lies against where it was
    // asked to go: at the same point (the manager honours the toolkit's
    // static gravity), or shifted by the visible part of the frame (the
    // frame's corner at the point asked for), the rest of the told frame
    // being shadow (a shift without shadow is a frame not yet in place).
    // Learnt once the window sits in its frame.
    bool learnPlacement(xcb_window_t w, QMargins told, QPoint requested)
    {
        Reply<xcb_query_tree_reply_t> tree(xcb_query_tree_reply(c_, xcb_query_tree(c_, w), nullptr));
        if (!tree || tree->parent == root_)
            return false;
        Reply<xcb_translate_coordinates_reply_t> at(
            xcb_translate_coordinates_reply(c_, xcb_translate_coordinates(c_, w, root_, 0, 0), nullptr));
        if (!at)
            return false;
        const QPoint shift = QPoint(at->dst_x, at->dst_y) - requested;
        const int shadow = told.left() - shift.x();
        if (shift.isNull()) {
            placement_.known = true;
        } else if (shadow > 0 && told.top() - shift.y() == shadow && told.right() >= shadow
            && told.bottom() >= shadow) {
            placement_ = {true, true, shadow};
        }
        return placement_.known;
    }

    QMargins visible(QMargins told) const
    {
        const int s = placement_.shadow;
        return told.isNull() ? told : told - QMargins(s, s, s, s);
    }

    // A window's frame as the manager announced it, or that it has announced
    // none yet: kept once read, and read again when the manager changes it
    // (the property change comes through the event filter).
    std::optional<QMargins> read(xcb_window_t w)
    {
        if (const auto it = frames_.find(w); it != frames_.end())
            return it->second;
        const auto v = cardinals(w, atoms_.frameExtents, XCB_ATOM_CARDINAL);
        std::optional<QMargins> m;
        if (v.size() == 4)
            m = QMargins(int(v[0]), int(v[2]), int(v[1]), int(v[3])); // left, right, top, bottom on the wire
        frames_[w] = m;
        return m;
    }

    void ask(xcb_window_t w)
    {
        waiting_[w];
        xcb_client_message_event_t event{};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = w;
        event.type = atoms_.requestFrame;
        xcb_send_event(c_, 0, root_, XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
            reinterpret_cast<const char*>(&event));
    }

    // What the running window manager is and does, read again whenever the
    // root window says the manager has changed (a manager may come or go
    // while the program runs).
    struct Manager {
        bool answersBeforeMap = false;
        bool tellsFrames = false;
    };

    const Manager& manager() const
    {
        if (!manager_) {
            // Both asked at once: one wait for the server.
            const auto checkCookie = xcb_get_property(c_, 0, root_, atoms_.check, XCB_ATOM_WINDOW, 0, 1);
            const auto supportedCookie = xcb_get_property(c_, 0, root_, atoms_.supported, XCB_ATOM_ATOM, 0, 4096);
            Manager m;
            const auto check = values(xcb_get_property_reply(c_, checkCookie, nullptr));
            const auto supported = values(xcb_get_property_reply(c_, supportedCookie, nullptr));
            if (!check.empty()) {
                for (uint32_t a : supported) {
                    m.answersBeforeMap |= a == atoms_.requestFrame;
                    m.tellsFrames |= a == atoms_.frameExtents;
                }
            }
            manager_ = m;
        }
        return *manager_;
    }

    bool managerAnswersBeforeMap() const { return manager().answersBeforeMap; }

    bool probeDue() const
    {
        return xwayland_ && !probed_ && !last_ && !placement_.known && !manager().answersBeforeMap
            && manager().tellsFrames;
    }

    // The probe: a framed window of the screens' kind, asked for far off
    // every display (weston honours the position a program asks for), learnt
    // from like a shown window and destroyed once the manager's way is known,
    // or after a while; whatever waits for it runs then. It takes no focus
    // and starts iconic, so that a manager that places windows its own way
    // (kwin) does not show it.
    void probe(std::function<void()> then)
    {
        probeWaiting_.push_back(std::move(then));
        if (probe_)
            return;
        probe_ = xcb_generate_id(c_);
        const QPoint at(-8000, -8000);
        const uint32_t events = XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_PROPERTY_CHANGE;
        xcb_create_window(c_, XCB_COPY_FROM_PARENT, probe_, root_, int16_t(at.x()), int16_t(at.y()), 64, 64, 0,
            XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &events);
        uint32_t sizeHints[18] = {1 | 4, uint32_t(at.x()), uint32_t(at.y())}; // USPosition, PPosition
        xcb_change_property(c_, XCB_PROP_MODE_REPLACE, probe_, XCB_ATOM_WM_NORMAL_HINTS, XCB_ATOM_WM_SIZE_HINTS, 32,
            18, sizeHints);
        const uint32_t hints[9] = {1 | 2, 0, 3}; // no input, iconic
        xcb_change_property(c_, XCB_PROP_MODE_REPLACE, probe_, XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS, 32, 9, hints);
        keepOffTaskbar(probe_);
        xcb_change_property(c_, XCB_PROP_MODE_REPLACE, probe_, atoms_.windowType, XCB_ATOM_ATOM, 32, 1,
            &atoms_.typeNormal);
        xcb_map_window(c_, probe_);
        xcb_flush(c_);
        shown_[probe_] = {nullptr, [] { }, QMargins(), at};
        QTimer::singleShot(kFrameWaitMs, qApp, [this] { endProbe(); });
    }

    void endProbe()
    {
        if (!probe_)
            return;
        shown_.erase(probe_);
        frames_.erase(probe_);
        xcb_destroy_window(c_, probe_);
        xcb_flush(c_);
        probeGone_ = std::exchange(probe_, XCB_NONE);
        probed_ = true;
        for (auto& call : std::exchange(probeWaiting_, {}))
            QMetaObject::invokeMethod(qApp, std::move(call), Qt::QueuedConnection);
    }

    std::vector<uint32_t> cardinals(xcb_window_t w, xcb_atom_t property, xcb_atom_t type) const
    {
        return values(xcb_get_property_reply(c_, xcb_get_property(c_, 0, w, property, type, 0, 1024), nullptr));
    }

    // The server says so (Xwayland 23 and later) or the session does.
    static bool serverIsXWayland(xcb_connection_t* c)
    {
        if (!qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") || qgetenv("XDG_SESSION_TYPE") == "wayland")
            return true;
        static constexpr char name[] = "XWAYLAND";
        Reply<xcb_query_extension_reply_t> r(
            xcb_query_extension_reply(c, xcb_query_extension(c, sizeof name - 1, name), nullptr));
        return r && r->present;
    }

    static std::vector<uint32_t> values(xcb_get_property_reply_t* reply)
    {
        Reply<xcb_get_property_reply_t> r(reply);
        std::vector<uint32_t> v;
        if (r && r->format == 32) {
            const auto* data = static_cast<const uint32_t*>(xcb_get_property_value(r.p));
            v.assign(data, data + xcb_get_property_value_length(r.p) / 4);
        }
        return v;
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

    xcb_connection_t* c_;
    xcb_window_t root_;
    Atoms atoms_;
    const bool xwayland_;
    // Windows whose frame is due, with what is to run once it is in.
    std::map<xcb_window_t, std::vector<std::function<void()>>> waiting_;
    mutable std::optional<Manager> manager_;
    std::map<xcb_window_t, std::optional<QMargins>> frames_;
    std::map<xcb_window_t, Shown> shown_;
    // The frame last announced for any window of the program: all screens
    // have one kind of window, so one kind of frame.
    std::optional<QMargins> last_;
    mutable std::optional<Display> primary_;
    xcb_window_t probe_ = XCB_NONE;
    xcb_window_t probeGone_ = XCB_NONE; // its late events are let pass
    bool probed_ = false;
    std::vector<std::function<void()>> probeWaiting_;
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
