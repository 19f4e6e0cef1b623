// The line recording's escaping: any bytes round-trip; bad lines are refused.
#include <gtest/gtest.h>

#include "line_record.h"

namespace veltro::record {
namespace {

TEST(LineRecordTest, EscapingRoundTripsAnyBytes) {
    const struct {
        std::string bytes;
        std::string escaped;
    } cases[] = {
        {";P?", ";P?"},
        {"a\\b", "a\\\\b"},
        {"\r\n\t", "\\x0d\\x0a\\x09"},
        {" 12 ", " 12\\x20"},
        {std::string("\x00\x7f\x80\xff", 4), "\\x00\\x7f\\x80\\xff"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(escapeBytes(c.bytes), c.escaped);
        EXPECT_EQ(unescapeBytes(c.escaped), c.bytes) << c.escaped;
    }
    std::string all;
    for (int b = 0; b < 256; ++b) {
        all += static_cast<char>(b);
    }
    const auto line = formatChunk({1234, Direction::FromMeter, all});
    const auto back = parseChunk(line);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->ms, 1234);
    EXPECT_EQ(back->direction, Direction::FromMeter);
    EXPECT_EQ(back->bytes, all);
}

TEST(LineRecordTest, MalformedLinesAreRefused) {
    // The last is cut inside its escape with a hex digit lying just past the end.
    const std::string_view lines[] = {"",       "12 >",       "12 > ",     "x > P",
                                      "-1 > P", "12 ? P",     "12>P",      "12 > \\x4",
                                      "12 > \\q", "12 > \\xg0", std::string_view("12 > \\x4f", 8)};
    for (std::string_view line : lines) {
        EXPECT_FALSE(parseChunk(line)) << line;
    }
}

}  // namespace
}  // namespace veltro::record
