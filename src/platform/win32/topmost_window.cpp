#include "platform/win32/topmost_window.h"

namespace veltro::win32 {

static_assert(kTopmostFlags == (SWP_SHOWWINDOW | SWP_NOACTIVATE));

HWND topmostInsertAfter(bool onTop) {
    return onTop ? HWND_TOPMOST : HWND_NOTOPMOST;
}

void setTopmost(HWND window, bool onTop, const TwipsRect& rect, double twipsPerPixelX,
                double twipsPerPixelY) {
    const PixelRect r = topmostRect(rect, twipsPerPixelX, twipsPerPixelY);
    SetWindowPos(window, topmostInsertAfter(onTop), r.x, r.y, r.cx, r.cy, kTopmostFlags);
}

}  // namespace veltro::win32
