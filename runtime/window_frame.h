#pragma once

#include <QMargins>

class QWidget;

namespace runtime {

// The frame the window manager will put around a top-level window, known
// before the window is first mapped. Under X11 the window manager is asked
// (_NET_REQUEST_FRAME_EXTENTS); without one, or off X11, the frame is empty.
// The answer is remembered: every window of the program has the same frame.
QMargins frameExtentsBeforeMap(QWidget* window);

// Keeps the window off the taskbar (_NET_WM_STATE_SKIP_TASKBAR under X11).
void skipTaskbar(QWidget* window);

} // namespace runtime
