#include "settings/startup.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "settings/save_hold.h"

namespace veltro {
namespace {

using Log = std::vector<std::string>;

SettingValues defaultSlots() {
    return {"5130",  "2955", "0", "5145", "True", "False", "False",
            "Com01", "100",  "3", "0",    "0",    "1",     "0"};
}

class FakePort : public SerialPort {
  public:
    explicit FakePort(Log& log) : log_(log) {}
    bool setCommPort(int number) override {
        if (number < 1 || number > 16)
            return false;
        log_.push_back("CommPort " + std::to_string(number));
        commPort_ = number;
        return true;
    }
    int commPort() const override { return commPort_; }
    bool setSettings(const std::string& settings) override {
        log_.push_back("Settings " + settings);
        return true;
    }
    std::string settings() const override { return {}; }
    void setInputLen(int length) override { log_.push_back("InputLen " + std::to_string(length)); }
    bool setPortOpen(bool open) override {
        log_.push_back(open ? "open" : "close");
        open_ = open && present.count(commPort_) > 0;
        return open_ == open;
    }
    bool portOpen() const override { return open_; }
    std::string errorString() const override { return {}; }
    void setInBufferCount(int count) override {
        log_.push_back("InBufferCount " + std::to_string(count));
    }
    void setOutBufferCount(int) override {}
    void output(std::string_view) override {}
    std::string input() override { return {}; }

    std::set<int> present = {1, 2, 3};
    int commPort_ = 1;
    bool open_ = false;

  private:
    Log& log_;
};

// Models the window: handlers run only on real changes and ask for a save;
// the save records the port name it would write.
class FakeWindow : public StartupTarget {
  public:
    void writeActive(const std::string& value) override { log.push_back("Active " + value); }
    LoadOutcome loadSettings() override {
        log.push_back("load");
        if (!fileExists)
            return LoadOutcome::Created;
        slots = file;
        return LoadOutcome::Loaded;
    }
    const SettingValues& settingValues() const override { return slots; }
    void beginApplying() override {
        log.push_back("begin");
        hold.begin();
    }
    void endApplying() override {
        log.push_back("end");
        if (hold.end())
            saveSettings();
    }
    void rememberConfiguredPortName(const std::string& name) override {
        log.push_back("remember " + name);
        portName.remember(name);
    }
    bool settingStored(int slot) const override { return !slots[slot].empty(); }
    void placeWindow(std::optional<float> left, std::optional<float> top,
                     std::optional<float> height) override {
        for (const auto& [name, value] : {std::pair{"left ", left}, {"top ", top}, {"height ", height}})
            if (value)
                log.push_back(name + std::to_string(*value));
    }
    void setMenuChecked(MenuMark which, bool checked) override {
        log.push_back("menu " + std::to_string(static_cast<int>(which)) +
                      (checked ? " on" : " off"));
    }
    bool setPollSlider(int value) override {
        if (value < 50 || value > 5000)
            return false;
        if (value != slider) {
            slider = value;
            log.push_back("HScroll1_Change " + std::to_string(value));
            requestSave();
        }
        return true;
    }
    int pollSlider() const override { return slider; }
    void setTimerInterval(int ms) override { log.push_back("interval " + std::to_string(ms)); }
    void enableTimer() override { log.push_back("timer on"); }
    void disableTimer() override { log.push_back("timer off"); }
    void setCheckValue(CheckBox which, int value) override {
        int& current = checks[static_cast<int>(which)];
        if (current == value)
            return;
        current = value;
        log.push_back("click " + std::to_string(static_cast<int>(which)) + "=" +
                      std::to_string(value));
        if (which != CheckBox::HiPwr)
            requestSave();
    }
    int checkValue(CheckBox which) const override { return checks[static_cast<int>(which)]; }
    void setRangeMode(int value) override { log.push_back("RangeMode " + std::to_string(value)); }
    void setRangeIndex(int value) override { log.push_back("RangeIndex " + std::to_string(value)); }
    void setCallsignControlsEnabled(bool enabled) override {
        log.push_back(enabled ? "callsign on" : "callsign off");
    }
    SerialPort& serialPort() override { return port; }
    void showMessage(const std::string& text) override { log.push_back("message " + text); }
    void setPortBoxText(const std::string& text) override {
        log.push_back("box " + text);
        boxText = text;
        portName.forget();
    }
    void clearPendingCommands() override { log.push_back("clear pending"); }
    void saveSettings() override {
        saves.push_back(portName.nameToSave(boxText) +
                        " HiPwr=" + std::to_string(checkValue(CheckBox::HiPwr)));
        log.push_back("save");
    }

    void requestSave() {
        if (hold.saveNow())
            saveSettings();
    }
    bool logged(const std::string& entry) const {
        return std::find(log.begin(), log.end(), entry) != log.end();
    }

    Log log;
    FakePort port{log};
    bool fileExists = true;
    SettingValues file = defaultSlots();
    SettingValues slots;
    int slider = 50;
    int checks[5] = {0, 0, 0, 0, 0};
    std::string boxText = "Com1";
    std::vector<std::string> saves;
    SaveHold hold;
    ConfiguredPortName portName;
};

TEST(Startup, AppliesTheDefaultFileInOrderAndConnects) {
    FakeWindow window;
    runStartup(window);
    const Log expected = {"Active N",
                          "load",
                          "remember Com01",
                          "begin",
                          "left 5130.000000",
                          "top 2955.000000",
                          "height 5145.000000",
                          "menu 0 on",
                          "menu 1 off",
                          "menu 2 off",
                          "HScroll1_Change 100",
                          "interval 100",
                          "click 1=1",
                          "RangeMode 3",
                          "click 3=1",
                          "CommPort 1",
                          "end",
                          "save",
                          "Settings 115200,n,8,1",
                          "callsign off",
                          "InputLen 0",
                          "open",
                          "box Com01",
                          "InBufferCount 0",
                          "clear pending",
                          "RangeIndex 2",
                          "Active Y",
                          "timer on"};
    EXPECT_EQ(window.log, expected);
    EXPECT_EQ(window.saves, std::vector<std::string>{"Com01 HiPwr=0"});
}

TEST(Startup, NoFileStopsAfterLoading) {
    FakeWindow window;
    window.fileExists = false;
    runStartup(window);
    EXPECT_EQ(window.log, (Log{"Active N", "load"}));
}

TEST(Startup, FailedOpenNamesThePortAndStaysInactive) {
    const struct {
        const char* comPort;
        int previousPort;
        const char* message;
    } cases[] = {
        {"Com05", 1, "message Com Port 5 is not available. Check Com Port setting."},
        {"COM3", 7, "message Com Port 7 is not available. Check Com Port setting."},
        {"Com99", 9, "message Com Port 9 is not available. Check Com Port setting."},
    };
    for (const auto& c : cases) {
        FakeWindow window;
        window.port.commPort_ = c.previousPort;
        window.file[7] = c.comPort;
        runStartup(window);
        EXPECT_EQ(window.log.back(), c.message) << c.comPort;
        EXPECT_FALSE(window.logged("Active Y")) << c.comPort;
        EXPECT_FALSE(window.logged("box " + std::string(c.comPort))) << c.comPort;
        EXPECT_EQ(window.boxText, "Com1");
    }
}

TEST(Startup, ConfiguredPortNameSurvivesAFailedOpen) {
    FakeWindow window;
    window.file[7] = "Com05";
    window.file[13] = "1";
    runStartup(window);
    runShutdown(window);
    // The save held back during the apply steps and the last save both
    // write the configured name and HiPwr, not the box's "Com1" or 0.
    EXPECT_EQ(window.saves, (std::vector<std::string>{"Com05 HiPwr=1", "Com05 HiPwr=1"}));
    EXPECT_EQ(window.log.back(), "Active N");
}

TEST(Startup, SavesDuringApplyingAreMergedIntoOne) {
    FakeWindow window;
    window.file[10] = "1";
    window.file[11] = "1";
    window.file[12] = "2";
    runStartup(window);
    EXPECT_EQ(window.saves.size(), 1u);
    const auto end = std::find(window.log.begin(), window.log.end(), "end");
    EXPECT_EQ(std::count(window.log.begin(), end, "save"), 0);
}

TEST(Startup, ValuesThatDoNotConvertOrAreRefusedLeaveTheTarget) {
    const struct {
        const char* name;
        int slot;
        const char* value;
        const char* absent;
    } cases[] = {
        {"negative height", 3, "-10", "height -10.000000"},
        {"height text", 3, "tall", "height"},
        {"second equals in Pollrate", 8, "100=5", "HScroll1_Change 100"},
        {"Pollrate below the slider", 8, "10", "interval 10"},
        {"check box value 3", 12, "3", "click 3=3"},
        {"check box value -1", 11, "-1", "click 2=-1"},
        {"menu word", 4, "yes", "menu 0 on"},
    };
    for (const auto& c : cases) {
        FakeWindow window;
        window.file[c.slot] = c.value;
        runStartup(window);
        for (const auto& entry : window.log) EXPECT_NE(entry, c.absent) << c.name;
        EXPECT_TRUE(window.logged("Active Y")) << c.name;
    }
}

TEST(Startup, PollrateAtTheSliderPositionStillSetsTheInterval) {
    FakeWindow window;
    window.slider = 100;
    runStartup(window);
    EXPECT_FALSE(window.logged("HScroll1_Change 100"));
    EXPECT_TRUE(window.logged("interval 100"));

    FakeWindow refused;
    refused.file[8] = "99999";
    runStartup(refused);
    EXPECT_TRUE(refused.logged("interval 50"));
}

TEST(Startup, AppliedValues) {
    const struct {
        const char* name;
        int slot;
        const char* value;
        std::vector<std::string> present;
    } cases[] = {
        {"Range 7 unchanged", 9, "7", {"RangeMode 7"}},
        {"Version 2 greyed, fast line",
         12,
         "2",
         {"click 3=2", "Settings 115200,n,8,1", "callsign off"}},
        {"Version 0, slow line", 12, "0", {"Settings 38400,n,8,1", "callsign on"}},
        {"Check1 set clears Check2", 10, "1", {"click 0=1"}},
        {"left off screen", 0, "-120", {"left -120.000000"}},
        {"lower-case true", 5, "true", {"menu 1 on"}},
        {"half rounds to even", 8, "200.5", {"HScroll1_Change 200", "interval 200"}},
    };
    for (const auto& c : cases) {
        FakeWindow window;
        window.file[c.slot] = c.value;
        runStartup(window);
        for (const auto& entry : c.present) EXPECT_TRUE(window.logged(entry)) << c.name << entry;
    }
}

TEST(Startup, PortChoiceStopsClosesSavesThenStartsAgain) {
    FakeWindow window;
    runStartup(window);
    window.log.clear();
    runPortChoice(window);
    ASSERT_GE(window.log.size(), 4u);
    EXPECT_EQ(Log(window.log.begin(), window.log.begin() + 4),
              (Log{"timer off", "close", "save", "Active N"}));
    EXPECT_EQ(window.log.back(), "timer on");
}

}  // namespace
}  // namespace veltro
