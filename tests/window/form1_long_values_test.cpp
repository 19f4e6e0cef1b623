// Long values a hand-edited config.ini may hold survive the panel's own save
// and the next start whole.
#include <QScrollBar>

#include "window/startup_fixture.h"
#include "window/value_check_box.h"

namespace veltro {
namespace {

struct LongValueCase {
    const char* name;
    int slot;
    std::string line;
};

class Form1LongValues : public testing::StartupFixture,
                        public ::testing::WithParamInterface<LongValueCase> {};

// Short keys, so the saved file (with the panel's longer keys) grows.
std::map<int, std::string> editedFile(const LongValueCase& row) {
    std::map<int, std::string> lines{{7, "c=Com01"}, {8, "p=700"},  {9, "r=1"},
                                     {12, "v=1"},    {0, "l=1500"}, {1, "t=1500"}};
    lines[row.slot] = row.line;
    for (int k = 0; k < kSettingCount; ++k) {
        lines.emplace(k, "k=0");
    }
    return lines;
}

void PrintTo(const LongValueCase& row, std::ostream* out) {
    *out << row.name;
}

TEST_P(Form1LongValues, SavedFileStartsTheNextRunWithEveryValue) {
    const LongValueCase& row = GetParam();
    writeConfig(editedFile(row));
    start();
    ASSERT_TRUE(port.portOpen());
    const SettingValues loaded = form.panel().session().values();
    form.close();  // the last save

    testing::Log secondLog;
    testing::LoggingPort secondPort{secondLog};
    Form1 second{Form1Services{dir.path(), &secondPort, nullptr, nullptr, nullptr}};
    second.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&second));
    for (int i = 0; i < 500 && !secondPort.portOpen(); ++i) {
        QTest::qWait(10);
    }
    // Compared whole, reported by length: the values are megabytes long.
    for (const int k : {2, 7}) {
        EXPECT_TRUE(second.panel().session().values()[k] == loaded[k])
            << "slot " << k << ": " << second.panel().session().values()[k].size() << " bytes, not "
            << loaded[k].size();
    }
    EXPECT_EQ(second.HScroll1->value(), 700);
    EXPECT_EQ(second.panel().rangeMode(), 1);
    EXPECT_EQ(second.chkVersion->value(), 1);
    second.close();
    const std::string key = row.slot == 2 ? "PwrMode=" : "ComPort=";
    EXPECT_TRUE(configLine(row.slot) == key + row.line.substr(2));
}

const LongValueCase kLongValues[] = {
    // A 1,048,575-byte file; the save adds 92 bytes of keys.
    {"PwrModeNearOneMiB", 2, "m=" + std::string(1048494, 'P')},
    // Longer than a line edit holds by default.
    {"ComPortPastTheBoxLimit", 7, "c=Com01" + std::string(100000, ' ')},
};

INSTANTIATE_TEST_SUITE_P(Rows, Form1LongValues, ::testing::ValuesIn(kLongValues),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace veltro
