#include "meter/commands.h"

#include <gtest/gtest.h>

#include <vector>

namespace veltro {
namespace {

TEST(Commands, DialectFollowsTheVersionValue) {
    struct Case {
        int version;
        std::string poll, alarm, powerMode;
    };
    const std::vector<Case> cases = {
        {0, ";P?", ";A?", ";F?"},
        {1, "P", "A", "F"},
        {2, "P", "A", "F"},  // greyed box
        {-1, "P", "A", "F"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(pollCommand(c.version), c.poll);
        EXPECT_EQ(alarmCommand(c.version), c.alarm);
        EXPECT_EQ(powerModeCommand(c.version), c.powerMode);
    }
}

TEST(Commands, CallsignIsCutOrPaddedToSix) {
    struct Case {
        std::string box, prepared;
    };
    const std::vector<Case> cases = {
        {"", "      "},         {"AB", "AB    "},     {"ABCDEF", "ABCDEF"},
        {"ABCDEFGH", "ABCDEF"}, {"dl1x y", "dl1x y"}, {"\xE4\xF6\xFC", "\xE4\xF6\xFC   "},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(prepareCallsign(c.box), c.prepared) << c.box;
    }
    EXPECT_EQ(callsignCommand(prepareCallsign("AB")), ";CAB    ?");
}

}  // namespace
}  // namespace veltro
