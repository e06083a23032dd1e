// Windows: the frame is known from the window's rectangle as soon as its
// native window exists, so screens are centred before they are first shown;
// each screen is owned by one hidden window, which keeps it off the taskbar
// as a form that is not shown in the taskbar was.

#include "platform.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QWidget>

#include <windows.h>

#include <unordered_set>

namespace runtime {
namespace {

HWND hiddenOwner()
{
    static const HWND owner = CreateWindowExW(0, L"STATIC", L"Cifrella", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
        GetModuleHandleW(nullptr), nullptr);
    return owner;
}

HWND nativeOf(QWidget* window)
{
    return reinterpret_cast<HWND>(window->winId());
}

class WindowsPlatform final : public Platform, private QAbstractNativeEventFilter {
public:
    // A fixed-size dialog frame: no sizing border around the client area.
    Qt::WindowFlags windowFlags() const override
    {
        return Platform::windowFlags() | Qt::MSWindowsFixedSizeDialogHint;
    }

    // What the window's styles add around its client area, in device
    // pixels, as Windows holds the window's rectangle once the native window
    // exists: before the window is first shown, and the same rectangle
    // Windows centres, moves and reports.
    QMargins frameExtents(QWidget* window) override
    {
        const HWND w = nativeOf(window);
        RECT outer{};
        RECT client{};
        POINT corner{0, 0};
        if (!GetWindowRect(w, &outer) || !GetClientRect(w, &client) || !ClientToScreen(w, &corner))
            return {};
        return {int(corner.x - outer.left), int(corner.y - outer.top), int(outer.right - (corner.x + client.right)),
            int(outer.bottom - (corner.y + client.bottom))};
    }

    void prepareWindow(QWidget* window) override
    {
        if (!hiddenOwner())
            return;
        if (screens_.empty())
            QCoreApplication::instance()->installNativeEventFilter(this);
        const HWND w = nativeOf(window);
        screens_.insert(w);
        QObject::connect(window, &QObject::destroyed, qApp, [this, w] { screens_.erase(w); });
    }

private:
    // The toolkit sets a window's owner to its transient parent, none here,
    // each time it shows the window; the owner is given back as the window
    // is being shown, before the taskbar learns of it.
    bool nativeEventFilter(const QByteArray&, void* message, qintptr*) override
    {
        const auto* msg = static_cast<const MSG*>(message);
        if (msg->message == WM_SHOWWINDOW && msg->wParam && screens_.count(msg->hwnd))
            SetWindowLongPtrW(msg->hwnd, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(hiddenOwner()));
        return false;
    }

    std::unordered_set<HWND> screens_;
};

} // namespace

Platform* windowsPlatform()
{
    static WindowsPlatform windows;
    return &windows;
}

} // namespace runtime
