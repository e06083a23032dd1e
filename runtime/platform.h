#pragma once

// The one door to what differs between windowing systems: the display a
// window is centred on, the frame a window manager puts around a window,
// and how a window is kept off the taskbar and shown. Under X11 the window
// manager is asked; elsewhere a plain fallback relies on the toolkit alone.

#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QWidget;

namespace runtime {

// The primary display: its rectangle in device pixels, the ratio of device
// pixels to device-independent ones, and the corner the toolkit gives it in
// device-independent pixels (the toolkit keeps a display's corner where it
// is in device pixels and scales from there).
struct Display {
    QRect native;
    qreal ratio = 1;
    QPoint origin;
};

class Platform {
public:
    virtual ~Platform() = default;

    virtual Display primaryDisplay() const;

    // The frame around a top-level window, in device pixels, known before
    // the window is first shown; empty when nobody can tell.
    virtual QMargins frameExtents(QWidget* window);

    // Where a window's client area lies from the outer corner the program
    // asks for, in device pixels: inside the frame, unless the window
    // manager puts the frame's corner where the client area was asked to go.
    virtual QPoint clientOffset(QWidget* window);

    // The size of a top-level window's client area in device pixels.
    virtual QSize nativeSize(QWidget* window) const;

    // Whether the program decides where its windows go; a Wayland
    // compositor places them itself.
    virtual bool placesWindows() const { return true; }

    // The toolkit's kind of top-level window for a screen: a dialog, unless
    // the platform writes the window's kind itself.
    virtual Qt::WindowType windowKind() const { return Qt::Dialog; }

    // A screen's window flags: of that kind, with a title and a close box
    // only (Motif decorations and functions).
    virtual Qt::WindowFlags windowFlags() const;

    // A new top-level window, before its controls are built and long before
    // it is placed: a platform may start asking about it.
    virtual void windowMade(QWidget*) { }

    // Makes a top-level window's native window, when it is first shown and
    // already placed (some window managers take a window's position only
    // from the moment it is made), with its settings: kept off the taskbar
    // and the pager.
    virtual void prepareWindow(QWidget* window);

    // Shows a window and gives it the keyboard. placeAgain places it anew,
    // for a platform that learns the window's frame only now.
    virtual void present(QWidget* window, const std::function<void()>& placeAgain);

    // Whether a window the user leaves stays on the display until the one
    // shown in its place has painted: some compositing window managers
    // (metacity's) draw a newly mapped window from a stale picture when the
    // window it replaces goes at the same moment.
    virtual bool keepsLeavingWindowUntilPainted() const { return false; }

    // A window manager minimised, maximised or made full screen a window:
    // it is put back, since it has no taskbar button and a fixed size.
    virtual void windowStateChanged(QWidget* window);

    // The program is about to close the toolkit and end with status.
    virtual void toolkitEnding(int /*status*/) { }
};

// The platform the program runs on, chosen once the toolkit has started.
Platform& platform();

// Replaces the platform, for tests; nullptr goes back to the real one.
void usePlatform(Platform* replacement);

// The toolkit's arguments for this session. A Wayland desktop that also
// runs an X server (XWayland) is used through X11, where the program places
// its windows and keeps them off the taskbar; an X server named but not
// answering leaves the toolkit's own choice, and so does a platform the
// user chose (QT_QPA_PLATFORM).
std::vector<std::string> toolkitArguments(const char* program);

} // namespace runtime
