// The panel's rules on plain values: a fake port, fake timers, config.ini in
// a temporary folder.
#include "panel/panel.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "meter/fake_serial_port.h"
#include "settings/temp_dir.h"

namespace veltro {
namespace {

using Log = std::vector<std::string>;

class LoggingTimer : public Timer {
  public:
    LoggingTimer(Log& log, std::string name) : log_(log), name_(std::move(name)) {}
    void setInterval(int ms) override { log_.push_back(name_ + " " + std::to_string(ms)); }
    void start() override { log_.push_back(name_ + " start"); }
    void stop() override { log_.push_back(name_ + " stop"); }

  private:
    Log& log_;
    std::string name_;
};

class LoggingStore : public SettingsStore {
  public:
    explicit LoggingStore(Log& log) : log_(log) {}
    void saveSetting(const std::string&, const std::string&, const std::string& name,
                     const std::string& value) override {
        log_.push_back(name + "=" + value);
    }

  private:
    Log& log_;
};

const char* const kDefaults[] = {"Position-Left=5130", "Position-Top=2955", "PwrMode=0",
                                 "Height=5145",        "mnuSetup=True",     "mnuSmall=False",
                                 "mnuVector=False",    "ComPort=Com01",     "Pollrate=100",
                                 "Range=3",            "Check1=0",          "OnTop=0",
                                 "Version=1",          "HiPwr=0"};

class PanelTest : public ::testing::Test {
  protected:
    Log log;
    testing::TempDir dir;
    testing::FakeSerialPort port;
    LoggingStore store{log};
    LoggingTimer timer1{log, "timer"};
    LoggingTimer retryTimer{log, "retry"};
    Panel panel{PanelServices{&port, &store, &timer1, &retryTimer, dir.file("config.ini"),
                              [] { return SavedFrame{1200, 600, 5250}; },
                              [this](bool ok) { log.push_back(ok ? "save" : "failed save"); }, nullptr}};

    void writeConfig(int slot = -1, const std::string& line = "") {
        std::string text;
        for (int k = 0; k < 14; ++k) {
            text += (k == slot ? line : std::string(kDefaults[k])) + "\r\n";
        }
        testing::writeBytes(dir.file("config.ini"), text);
    }
    // The start-up without a window: the frame stays where it is.
    PanelStep startUp() {
        const auto plan = panel.beginStartup();
        return plan ? panel.finishStartup(*plan) : PanelStep{};
    }
};

// Which session each kind of file leads to, and what a save and the window's
// close then do to the file.
TEST_F(PanelTest, SessionStatesAndTheirSaves) {
    struct Row {
        const char* name;
        int file;  // 0 none, 1 a folder in its place (unreadable), 2 the defaults
        SessionState state;
        bool saveWrites;
        bool closeSaves;  // the defaults of a first run survive its close
    };
    const Row rows[] = {
        {"no file", 0, SessionState::DefaultsWritten, true, false},
        {"unreadable", 1, SessionState::UnreadableKept, false, false},
        {"loaded", 2, SessionState::Loaded, true, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        testing::TempDir folder;
        Panel fresh{PanelServices{&port, nullptr, nullptr, nullptr, folder.file("config.ini"),
                                  [] { return SavedFrame{}; }, nullptr, nullptr}};
        EXPECT_EQ(fresh.session().state(), SessionState::NothingLoaded);
        EXPECT_FALSE(fresh.session().savesOnClose());
        if (row.file == 1) {
            std::filesystem::create_directory(folder.file("config.ini"));
        } else if (row.file == 2) {
            testing::writeBytes(folder.file("config.ini"), "Range=1\r\n");
        }
        fresh.beginStartup();
        EXPECT_EQ(fresh.session().state(), row.state);
        EXPECT_EQ(fresh.session().savesOnClose(), row.closeSaves);
        fresh.rangeClicked();
        const auto file = folder.file("config.ini");
        EXPECT_EQ(std::filesystem::is_regular_file(file) &&
                      testing::readBytes(file).find("Range=0") != std::string::npos,
                  row.saveWrites);
    }
}

TEST_F(PanelTest, HeldSavesAreMadeOnceOnRelease) {
    SettingsSession& session = panel.session();
    session.hold();
    panel.rangeClicked();
    panel.check1Changed(1);
    EXPECT_TRUE(log.empty());
    EXPECT_TRUE(session.release());
    EXPECT_FALSE(session.release());
    session.hold();
    EXPECT_FALSE(session.release());  // nothing asked for, nothing due
}

// The start-up's decisions at the slider's limits and for values that do
// not convert.
TEST_F(PanelTest, StartupRows) {
    struct Row {
        int slot;
        const char* line;
        int slider;
        const char* lineSettings;
        int check1, check2;
    };
    const Row rows[] = {
        {8, "Pollrate=5000", 5000, "115200,n,8,1", 0, 1},  // at the maximum
        {8, "Pollrate=4999", 4999, "115200,n,8,1", 0, 1},
        {8, "Pollrate=5001", 50, "115200,n,8,1", 0, 1},  // refused
        {8, "Pollrate=50", 50, "115200,n,8,1", 0, 1},
        {8, "Pollrate=49", 50, "115200,n,8,1", 0, 1},
        {12, "Version=0", 100, "38400,n,8,1", 0, 1},
        {12, "Version=2", 100, "115200,n,8,1", 0, 1},
        {10, "Check1=2", 100, "115200,n,8,1", 0, 1},  // the pair's actions clear it
        {10, "Check1=1", 100, "115200,n,8,1", 1, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.line);
        writeConfig(row.slot, row.line);
        Panel fresh{PanelServices{&port, nullptr, nullptr, nullptr, dir.file("config.ini"),
                                  [] { return SavedFrame{}; }, nullptr, nullptr}};
        const auto plan = fresh.beginStartup();
        ASSERT_TRUE(plan);
        fresh.finishStartup(*plan);
        EXPECT_EQ(fresh.controls().pollSlider, row.slider);
        EXPECT_EQ(port.settings(), row.lineSettings);
        EXPECT_EQ(fresh.controls().check1, row.check1);
        EXPECT_EQ(fresh.controls().check2, row.check2);
    }
}

// A Version that does not convert leaves the box as it is: set by the
// previous start-up, it still selects the fast line.
TEST_F(PanelTest, GarbledVersionKeepsTheBoxAndItsLineSpeed) {
    writeConfig();
    startUp();
    ASSERT_EQ(panel.controls().version, 1);
    port.setSettings("38400,n,8,1");
    writeConfig(12, "Version=x");
    startUp();
    EXPECT_EQ(panel.controls().version, 1);
    EXPECT_EQ(port.settings(), "115200,n,8,1");
}

TEST_F(PanelTest, LostDeviceIsReopenedQuietly) {
    panel.portLost();
    EXPECT_FALSE(port.portOpen());
    EXPECT_TRUE(panel.retrying());
    EXPECT_EQ(log, (Log{"Active=N", "retry start"}));
    log.clear();
    panel.retryPort();
    EXPECT_EQ(log, (Log{"retry stop", "Active=Y"}));
    EXPECT_FALSE(panel.retrying());
}

}  // namespace
}  // namespace veltro
