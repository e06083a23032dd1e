#include "platform.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <cmath>
#include <cstdlib>

namespace runtime {

#ifdef CIFRELLA_X11
Platform* x11Platform(); // nullptr unless the toolkit runs on X11
#endif

namespace {

Platform* replacement = nullptr;

} // namespace

Display Platform::primaryDisplay() const
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return {};
    const QRect logical = screen->geometry();
    const qreal ratio = screen->devicePixelRatio();
    const QSize native(int(std::lround(logical.width() * ratio)), int(std::lround(logical.height() * ratio)));
    return {QRect(logical.topLeft(), native), ratio, logical.topLeft()};
}

QMargins Platform::frameExtents(QWidget* window)
{
    if (!window->isVisible())
        return {};
    const QRect outer = window->frameGeometry(), inner = window->geometry();
    const qreal r = window->devicePixelRatioF();
    auto native = [r](int logical) { return int(std::lround(logical * r)); };
    return {native(inner.left() - outer.left()), native(inner.top() - outer.top()),
        native(outer.right() - inner.right()), native(outer.bottom() - inner.bottom())};
}

QSize Platform::nativeSize(QWidget* window) const
{
    const qreal r = window->devicePixelRatioF();
    return {int(std::lround(window->width() * r)), int(std::lround(window->height() * r))};
}

void Platform::prepareWindow(QWidget*) { }

void Platform::present(QWidget* window)
{
    window->show();
    window->raise();
    if (QGuiApplication::platformName() != QLatin1String("wayland"))
        window->activateWindow(); // a Wayland compositor gives the keyboard to a new window itself
}

void Platform::restore(QWidget* window)
{
    window->setWindowState(window->windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen));
    present(window);
}

namespace {

class WaylandPlatform : public Platform {
public:
    bool placesWindows() const override { return false; }
};

} // namespace

Platform& platform()
{
    if (replacement)
        return *replacement;
#ifdef CIFRELLA_X11
    if (Platform* x11 = x11Platform())
        return *x11;
#endif
    if (QGuiApplication::platformName() == QLatin1String("wayland")) {
        static WaylandPlatform wayland;
        return wayland;
    }
    static Platform plain;
    return plain;
}

void usePlatform(Platform* p)
{
    replacement = p;
}

std::vector<std::string> toolkitArguments(const char* program)
{
    std::vector<std::string> args{program ? program : "cifrella"};
#ifdef CIFRELLA_X11
    auto set = [](const char* name) {
        const char* v = std::getenv(name);
        return v && *v;
    };
    if (!set("QT_QPA_PLATFORM") && set("DISPLAY") && set("WAYLAND_DISPLAY"))
        args.insert(args.end(), {"-platform", "xcb;wayland"});
#endif
    return args;
}

} // namespace runtime
