#include "platform.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <system_error>
#include <thread>

namespace runtime {

#ifdef CIFRELLA_X11
Platform* x11Platform(); // nullptr unless the toolkit runs on X11
bool x11ServesThisSession();
#endif
#ifdef Q_OS_WIN
Platform* windowsPlatform();
#endif

namespace {

Platform* replacement = nullptr;

constexpr std::chrono::seconds kToolkitEndWait{3};

void showWithKeyboard(QWidget* window)
{
    window->show();
    window->raise();
    window->activateWindow();
}

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

Qt::WindowFlags Platform::windowFlags() const
{
    return windowKind() | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
        | Qt::WindowCloseButtonHint;
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

QPoint Platform::clientOffset(QWidget* window)
{
    const QMargins m = frameExtents(window);
    return {m.left(), m.top()};
}

QSize Platform::nativeSize(QWidget* window) const
{
    const qreal r = window->devicePixelRatioF();
    return {int(std::lround(window->width() * r)), int(std::lround(window->height() * r))};
}

void Platform::prepareWindow(QWidget* window)
{
    window->winId();
}

void Platform::present(QWidget* window, const std::function<void()>&)
{
    showWithKeyboard(window);
}

// How long a window manager's minimise effect may last.
constexpr int kRepaintAfterPutBackMs = 400;

void Platform::windowStateChanged(QWidget* window)
{
    constexpr Qt::WindowStates changed = Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen;
    if (!(window->windowState() & changed))
        return;
    // Put back from a fresh turn of the event loop, once the window
    // manager has finished with the window: there is no taskbar button to
    // bring a minimised window back by, and the size is fixed.
    QTimer::singleShot(0, window, [window, changed] {
        if (window->isVisible() || (window->windowState() & Qt::WindowMinimized)) {
            window->setWindowState(window->windowState() & ~changed);
            showWithKeyboard(window);
            // Painted anew once the manager's minimise effect is over: metacity's
            // compositor, given the window back during the effect, kept showing
            // the effect's last frames over it.
            QTimer::singleShot(kRepaintAfterPutBackMs, window, [window] { window->repaint(); });
        }
    });
}

namespace {

// Under Wayland the toolkit draws the title bar itself, with minimise and
// maximise buttons whatever the window's flags, and the compositor places,
// raises and focuses windows. A fixed-size window that the compositor
// maximises would break the protocol and end the program; one it minimises
// would never come back on a desktop without a taskbar. Both are undone.
class StateKeeper : public QObject {
public:
    explicit StateKeeper(QWidget* window)
        : QObject(window)
        , window_(window)
        , size_(window->size())
    {
        QWindow* native = window->windowHandle();
        // Emitted as a request leaves, before the compositor has answered;
        // the window's own state-change events carry the compositor's answers.
        connect(native, &QWindow::windowStateChanged, this, &StateKeeper::requested);
        native->installEventFilter(this);
    }

private:
    void requested(Qt::WindowState state)
    {
        if (state == Qt::WindowMaximized || state == Qt::WindowFullScreen) {
            // The compositor will insist on its own size: the limits are
            // lifted until it has put the window back to normal.
            window_->setMinimumSize(0, 0);
            window_->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
            enlarged_ = true;
        } else if (state == Qt::WindowMinimized) {
            // Shown anew, the window is a new one to the compositor, placed
            // and focused like any other.
            QMetaObject::invokeMethod(
                this,
                [w = window_] {
                    w->hide();
                    w->setWindowState(w->windowState() & ~Qt::WindowMinimized);
                    w->show();
                },
                Qt::QueuedConnection);
        }
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::WindowStateChange || !event->spontaneous())
            return false;
        const Qt::WindowStates state = static_cast<QWindow*>(watched)->windowStates();
        if (state & (Qt::WindowMaximized | Qt::WindowFullScreen)) {
            // Granted: asked back at once.
            QMetaObject::invokeMethod(
                this, [w = window_] { w->setWindowState(Qt::WindowNoState); }, Qt::QueuedConnection);
        } else if (enlarged_) {
            window_->setFixedSize(size_);
            enlarged_ = false;
        }
        return false;
    }

    QWidget* window_;
    QSize size_;
    bool enlarged_ = false;
};

class WaylandPlatform : public Platform {
public:
    bool placesWindows() const override { return false; }
    void prepareWindow(QWidget* window) override
    {
        window->winId();
        new StateKeeper(window);
    }
    void present(QWidget* window, const std::function<void()>&) override { window->show(); }
    void windowStateChanged(QWidget*) override { }

    // Qt's Wayland client can deadlock as it disconnects: its event thread
    // waits in wl_display_read_events for a reader that never reads, and the
    // display's destructor waits for the thread (Qt 6.8 on a busy machine).
    // The windows are gone; the process would never end. The toolkit is
    // given a few seconds to close, then the program ends with its status
    // anyway.
    void toolkitEnding(int status) override
    {
        try {
            std::thread([status] {
                std::this_thread::sleep_for(kToolkitEndWait);
                std::fflush(nullptr);
                std::_Exit(status);
            }).detach();
        } catch (const std::system_error&) {
            // No thread to be had: the toolkit closes as it can.
        }
    }
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
#ifdef Q_OS_WIN
    return *windowsPlatform();
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
    if (x11ServesThisSession())
        args.insert(args.end(), {"-platform", "xcb"});
#endif
    return args;
}

} // namespace runtime
