#pragma once

#include <cstdint>

namespace veltro {

struct TwipsRect {
    float left = 0;
    float top = 0;
    float width = 0;
    float height = 0;
};

struct PixelRect {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t cx = 0;
    std::int32_t cy = 0;
};

// The window's own rectangle in pixels, as handed back to the window
// manager: each coordinate divided by the screen's twips-per-pixel factor
// and rounded to the nearest integer, halves to even (5130 / 12 -> 428).
// Results beyond the 32-bit range saturate.
PixelRect topmostRect(const TwipsRect& rect, double twipsPerPixelX, double twipsPerPixelY);

// The flag word for the call: show, do not activate.
inline constexpr std::uint32_t kSwpShowWindow = 0x0040;
inline constexpr std::uint32_t kSwpNoActivate = 0x0010;
inline constexpr std::uint32_t kTopmostFlags = kSwpShowWindow | kSwpNoActivate;

}  // namespace veltro
