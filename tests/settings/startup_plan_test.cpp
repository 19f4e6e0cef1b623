#include "settings/startup_plan.h"

#include <gtest/gtest.h>

#include <functional>

namespace veltro {
namespace {

SettingValues defaultSlots() {
    return {"5130",  "2955", "0", "5145", "True", "False", "False",
            "Com01", "100",  "3", "0",    "0",    "1",     "0"};
}

// A window as created: slider 50 within 50..5000, chkVersion clear.
constexpr WindowBeforeStartup kCreated{50, 5000, 50, 0};

StartupPlan defaultPlan() {
    StartupPlan plan;
    plan.frame = {5130.0f, 2955.0f, 5145.0f};
    plan.setupMark = true;
    plan.smallMark = false;
    plan.vectorMark = false;
    plan.pollSlider = 100;
    plan.timerInterval = 100;
    plan.check1 = 0;
    plan.rangeMode = 3;
    plan.onTop = 0;
    plan.version = 1;
    plan.hiPwr = 0;
    plan.commPort = 1;
    plan.lineSettings = "115200,n,8,1";
    plan.callsignControlsEnabled = false;
    plan.portName = "Com01";
    plan.configuredPortName = "Com01";
    return plan;
}

// Each row changes one slot of the default file (or leaves its line out)
// and says how the plan differs from the default file's.
struct PlanRow {
    const char* name;
    int slot;
    const char* value;
    std::function<void(StartupPlan&)> differs;
    bool lineMissing = false;
};

const PlanRow kRows[] = {
    {"default file", 0, "5130", [](StartupPlan&) {}},
    {"left off screen", 0, "-120", [](StartupPlan& p) { p.frame.left = -120.0f; }},
    {"top text", 1, "high", [](StartupPlan& p) { p.frame.top.reset(); }},
    {"negative height", 3, "-10", [](StartupPlan& p) { p.frame.height.reset(); }},
    {"height text", 3, "tall", [](StartupPlan& p) { p.frame.height.reset(); }},
    {"menu word", 4, "yes", [](StartupPlan& p) { p.setupMark.reset(); }},
    {"lower-case true", 5, "true", [](StartupPlan& p) { p.smallMark = true; }},
    {"menu number", 6, "-2", [](StartupPlan& p) { p.vectorMark = true; }},
    {"second equals in Pollrate", 8, "100=5",
     [](StartupPlan& p) {
         p.pollSlider.reset();
         p.timerInterval = 50;
     }},
    {"Pollrate below the slider", 8, "10",
     [](StartupPlan& p) {
         p.pollSlider.reset();
         p.timerInterval = 50;
     }},
    {"Pollrate above the slider, refused not clamped", 8, "99999",
     [](StartupPlan& p) {
         p.pollSlider.reset();
         p.timerInterval = 50;
     }},
    {"half rounds to even", 8, "200.5",
     [](StartupPlan& p) {
         p.pollSlider = 200;
         p.timerInterval = 200;
     }},
    {"Range 7 unchanged", 9, "7", [](StartupPlan& p) { p.rangeMode = 7; }},
    {"Check1 set", 10, "1", [](StartupPlan& p) { p.check1 = 1; }},
    {"check box value -1", 11, "-1", [](StartupPlan& p) { p.onTop.reset(); }},
    {"Version 2 greyed, fast line", 12, "2", [](StartupPlan& p) { p.version = 2; }},
    {"Version 0, slow line", 12, "0",
     [](StartupPlan& p) {
         p.version = 0;
         p.lineSettings = "38400,n,8,1";
         p.callsignControlsEnabled = true;
     }},
    {"Version 3 refused: the box's value picks the line", 12, "3",
     [](StartupPlan& p) {
         p.version.reset();
         p.lineSettings = "38400,n,8,1";
         p.callsignControlsEnabled = true;
     }},
    {"HiPwr greyed", 13, "2", [](StartupPlan& p) { p.hiPwr = 2; }},
    {"missing port", 7, "Com05",
     [](StartupPlan& p) {
         p.commPort = 5;
         p.configuredPortName = p.portName = "Com05";
     }},
    {"port past the list", 7, "Com99",
     [](StartupPlan& p) {
         p.commPort = 99;
         p.configuredPortName = p.portName = "Com99";
     }},
    {"upper-case COM gives port 0", 7, "COM3",
     [](StartupPlan& p) {
         p.commPort = 0;  // which the port refuses
         p.configuredPortName = p.portName = "COM3";
     }},
    {"no ComPort line: no name to keep", 7, "",
     [](StartupPlan& p) {
         p.commPort = 0;  // which the port refuses
         p.portName = "";
         p.configuredPortName.reset();
     },
     true},
};

TEST(StartupPlan, FromTheSlots) {
    for (const PlanRow& row : kRows) {
        SettingValues slots = defaultSlots();
        slots[row.slot] = row.value;
        std::bitset<kSettingCount> stored;
        stored.set();
        stored.set(row.slot, !row.lineMissing);
        StartupPlan expected = defaultPlan();
        row.differs(expected);
        EXPECT_TRUE(planStartup(slots, stored, kCreated) == expected) << row.name;
    }
}

}  // namespace
}  // namespace veltro
