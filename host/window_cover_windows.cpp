#include "host/window_cover_windows.h"

namespace korvane {

RECT ToRect(const ScreenRect& area) {
    return {area.left, area.top, area.right, area.bottom};
}

void KeepCovering(WINDOWPOS& position, const RECT& cover) {
    if ((position.flags & SWP_HIDEWINDOW) != 0) {
        // What is left of a refused hide must not activate the window either: the hide would
        // then hand that activation on to the window beneath.
        position.flags = (position.flags & ~static_cast<UINT>(SWP_HIDEWINDOW)) | SWP_NOACTIVATE;
    }
    if ((position.flags & SWP_NOMOVE) == 0) {
        position.x = cover.left;
        position.y = cover.top;
    }
    if ((position.flags & SWP_NOSIZE) == 0) {
        position.cx = cover.right - cover.left;
        position.cy = cover.bottom - cover.top;
    }
    if ((position.flags & SWP_NOZORDER) == 0) {
        position.hwndInsertAfter = HWND_TOPMOST;
    }
}

}  // namespace korvane
