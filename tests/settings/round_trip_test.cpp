// Whatever the panel saves, it loads back whole: generated files, loaded,
// saved the way the panel saves (PwrMode and ComPort passed through), and
// loaded again.
#include <gtest/gtest.h>

#include <random>

#include "files/whole_file.h"
#include "settings/config_file.h"
#include "temp_dir.h"

namespace veltro {
namespace {

using testing::TempDir;

// Lengths from empty to the longest a value may have, the extremes often.
size_t randomLength(std::mt19937& random) {
    switch (random() % 5) {
        case 0:
            return random() % 3;
        case 1:
            return random() % 64;
        case 2:
            return random() % 5000;
        case 3:
            return kMaxSettingValueBytes - random() % 3;
        default:
            return random() % (kMaxSettingValueBytes + 1);
    }
}

// Any bytes a line can carry: everything but the two line-end bytes.
std::string randomValue(std::mt19937& random) {
    std::string value(randomLength(random), '\0');
    for (char& c : value) {
        do {
            c = static_cast<char>(random() % 256);
        } while (c == '\r' || c == '\n');
    }
    return value;
}

SettingsSnapshot randomSnapshot(std::mt19937& random, const SettingValues& loaded) {
    std::uniform_real_distribution<float> twips(-1e6f, 1e7f);
    std::uniform_int_distribution<int> number(-32768, 32767);
    SettingsSnapshot s;
    s.left = twips(random);
    s.top = twips(random);
    s.height = twips(random);
    s.pwrMode = loaded[2];
    s.comPort = loaded[7];
    s.setupChecked = random() % 2;
    s.smallChecked = random() % 2;
    s.vectorChecked = random() % 2;
    s.pollrate = number(random);
    s.range = number(random);
    s.check1 = number(random);
    s.onTop = number(random);
    s.version = number(random);
    s.hiPwr = number(random);
    return s;
}

SettingValues loadFrom(const std::filesystem::path& file) {
    SettingValues slots;
    slots.fill("\n unset");  // no line can hold this
    EXPECT_EQ(LoadSettings(file, slots, {}), LoadOutcome::Loaded);
    return slots;
}

// The values of the panel's own file, read independently of the loader.
SettingValues valuesIn(const std::string& saved) {
    SettingValues values;
    size_t at = 0;
    for (int k = 0; k < kSettingCount; ++k) {
        const size_t end = saved.find("\r\n", at);
        const size_t equals = saved.find('=', at);
        values[k] = saved.substr(equals + 1, end - equals - 1);
        at = end + 2;
    }
    return values;
}

TEST(SettingsRoundTrip, WhatThePanelSavesLoadsBackWhole) {
    TempDir dir;
    const auto file = dir.file("config.ini");
    std::mt19937 random(20261209);
    for (int round = 0; round < 40; ++round) {
        // A hand-edited file: short keys, PwrMode and ComPort of any length.
        std::string edited;
        for (int k = 0; k < kSettingCount; ++k) {
            const bool passedThrough = k == 2 || k == 7;
            edited += "k=" + (passedThrough ? randomValue(random) : std::to_string(k)) + "\r\n";
        }
        testing::writeBytes(file, edited);
        const SettingValues first = loadFrom(file);
        SCOPED_TRACE("round " + std::to_string(round) + ": PwrMode " +
                     std::to_string(first[2].size()) + " bytes, ComPort " +
                     std::to_string(first[7].size()));

        const SettingsSnapshot snapshot = randomSnapshot(random, first);
        const std::string saved = formatSettings(snapshot);
        ASSERT_TRUE(replaceWholeFile(file, saved));
        const SettingValues again = loadFrom(file);
        ASSERT_EQ(again, valuesIn(saved));
        EXPECT_EQ(again[2], first[2]);
        EXPECT_EQ(again[7], first[7]);
    }
}

}  // namespace
}  // namespace veltro
