// Windows: the frame is known from the window's styles as soon as its native
// window exists, so screens are centred before they are first shown; each
// screen is owned by one hidden window, which keeps it off the taskbar as a
// form that is not shown in the taskbar was.

#include "platform.h"

#include <QWidget>
#include <QWindow>

#include <windows.h>

#include <cmath>

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

class WindowsPlatform : public Platform {
public:
    // A fixed-size dialog frame: no sizing border around the client area.
    Qt::WindowFlags windowFlags() const override
    {
        return Platform::windowFlags() | Qt::MSWindowsFixedSizeDialogHint;
    }

    // What the window's styles add around its client area, from the system
    // (AdjustWindowRectEx through the toolkit), before the window is shown.
    QMargins frameExtents(QWidget* window) override
    {
        nativeOf(window);
        const QMargins logical = window->windowHandle()->frameMargins();
        const qreal r = window->devicePixelRatioF();
        auto native = [r](int v) { return int(std::lround(v * r)); };
        return {native(logical.left()), native(logical.top()), native(logical.right()), native(logical.bottom())};
    }

    void prepareWindow(QWidget* window) override
    {
        if (HWND owner = hiddenOwner())
            SetWindowLongPtrW(nativeOf(window), GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
    }
};

} // namespace

Platform* windowsPlatform()
{
    static WindowsPlatform windows;
    return &windows;
}

} // namespace runtime
