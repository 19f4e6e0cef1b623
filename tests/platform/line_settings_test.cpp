#include "platform/line_settings.h"

#include <gtest/gtest.h>

namespace veltro {
namespace {

struct SettingsCase {
    std::string text;
    bool valid;
    qint32 baud;
};

TEST(LineSettingsTest, ParsesTheSerialControlNotation) {
    const SettingsCase cases[] = {
        {"38400,n,8,1", true, 38400},
        {"115200,n,8,1", true, 115200},
        {"9600,E,7,2", true, 9600},
        {"1200, o ,5,1.5", true, 1200},
        {"", false, 0},
        {"38400,n,8", false, 0},
        {"38400,x,8,1", false, 0},
        {"38400,n,9,1", false, 0},
        {"38400,n,8,3", false, 0},
        {"-5,n,8,1", false, 0},
        {"fast,n,8,1", false, 0},
        {"38400,n,8,1,1", false, 0},
        {"99999999999,n,8,1", false, 0},
    };
    for (const auto& c : cases) {
        LineSettings parsed;
        EXPECT_EQ(parseLineSettings(c.text, parsed), c.valid) << c.text;
        if (c.valid) {
            EXPECT_EQ(parsed.baudRate, c.baud) << c.text;
        }
    }
}

}  // namespace
}  // namespace veltro
