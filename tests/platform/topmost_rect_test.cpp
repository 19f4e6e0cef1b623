// The rectangle handed back to the window manager for always-on-top. Plain
// arithmetic: the Linux tests and the Windows test program both run it.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "platform/topmost_rect.h"

namespace veltro {
namespace {

struct RectCase {
    const char* name;
    TwipsRect twips;
    double tppX, tppY;
    PixelRect pixels;
};

constexpr auto kIntMax = std::numeric_limits<std::int32_t>::max();
constexpr auto kIntMin = std::numeric_limits<std::int32_t>::min();

TEST(TopmostRect, TwipsToPixels) {
    const RectCase cases[] = {
        {"96 dpi", {5130, 2955, 5955, 5145}, 15, 15, {342, 197, 397, 343}},
        {"120 dpi halves to even", {5130, 2955, 5955, 5145}, 12, 12, {428, 246, 496, 429}},
        {"halves up to even", {22.5, 37.5, 52.5, 7.5}, 15, 15, {2, 2, 4, 0}},
        {"negative", {-120, -22.5, -7.5, -37.5}, 15, 15, {-8, -2, 0, -2}},
        {"other factor per axis", {1440, 1440, 0, 0}, 15, 12, {96, 120, 0, 0}},
        {"saturates",
         {3.0e38f, -3.0e38f, 1.0e10f, -1.0e10f},
         1,
         1,
         {kIntMax, kIntMin, kIntMax, kIntMin}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const PixelRect r = topmostRect(c.twips, c.tppX, c.tppY);
        EXPECT_EQ(r.x, c.pixels.x);
        EXPECT_EQ(r.y, c.pixels.y);
        EXPECT_EQ(r.cx, c.pixels.cx);
        EXPECT_EQ(r.cy, c.pixels.cy);
    }
    EXPECT_EQ(kTopmostFlags, 0x0050u);
}

}  // namespace
}  // namespace veltro
