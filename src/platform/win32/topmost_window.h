#pragma once

#include <windows.h>

#include "platform/topmost_rect.h"

namespace veltro::win32 {

// The insert-after handle for SetWindowPos: HWND_TOPMOST (-1) or
// HWND_NOTOPMOST (-2).
HWND topmostInsertAfter(bool onTop);

// Puts `window` into (onTop) or out of the topmost group by SetWindowPos with
// the window's own rectangle, `rect` in twips converted at the screen's
// twips-per-physical-pixel factors, shown and not activated. The result of
// the call is ignored: a refusal changes nothing.
void setTopmost(HWND window, bool onTop, const TwipsRect& rect, double twipsPerPixelX,
                double twipsPerPixelY);

}  // namespace veltro::win32
