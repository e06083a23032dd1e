#pragma once

// The one door to what differs between windowing systems: the display a
// window is centred on, the frame a window manager puts around a window,
// and how a window is kept off the taskbar and shown. Under X11 the window
// manager is asked; elsewhere a plain fallback relies on the toolkit alone.

#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>

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

    // The size of a top-level window's client area in device pixels.
    virtual QSize nativeSize(QWidget* window) const;

    // Whether the program decides where its windows go; a Wayland
    // compositor places them itself.
    virtual bool placesWindows() const { return true; }

    // Settings of a new top-level window before it is first shown: kept off
    // the taskbar and the pager.
    virtual void prepareWindow(QWidget* window);

    // Shows a window and gives it the keyboard.
    virtual void present(QWidget* window);

    // Puts back a window that a window manager minimised.
    virtual void restore(QWidget* window);
};

// The platform the program runs on, chosen once the toolkit has started.
Platform& platform();

// Replaces the platform, for tests; nullptr goes back to the real one.
void usePlatform(Platform* replacement);

// The toolkit's arguments for this session: with both a Wayland and an X11
// display and no platform chosen by the user, the program asks for X11,
// where it can place its windows and keep them off the taskbar.
std::vector<std::string> toolkitArguments(const char* program);

} // namespace runtime
