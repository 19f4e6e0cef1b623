#include "platform/topmost_rect.h"

#include <cfenv>
#include <cmath>
#include <limits>

namespace veltro {
namespace {

std::int32_t toPixels(float twips, double twipsPerPixel) {
    if (!(twipsPerPixel > 0)) {
        return 0;
    }
    // nearbyint honours the current rounding mode, which is to-nearest-even
    // unless someone changed it; std::round would send halves away from zero.
    const int savedMode = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const double pixels = std::nearbyint(static_cast<double>(twips) / twipsPerPixel);
    std::fesetround(savedMode);
    constexpr double kMin = std::numeric_limits<std::int32_t>::min();
    constexpr double kMax = std::numeric_limits<std::int32_t>::max();
    if (std::isnan(pixels)) {
        return 0;
    }
    if (pixels <= kMin) {
        return std::numeric_limits<std::int32_t>::min();
    }
    if (pixels >= kMax) {
        return std::numeric_limits<std::int32_t>::max();
    }
    return static_cast<std::int32_t>(pixels);
}

}  // namespace

PixelRect topmostRect(const TwipsRect& rect, double twipsPerPixelX, double twipsPerPixelY) {
    return PixelRect{toPixels(rect.left, twipsPerPixelX), toPixels(rect.top, twipsPerPixelY),
                     toPixels(rect.width, twipsPerPixelX), toPixels(rect.height, twipsPerPixelY)};
}

}  // namespace veltro
