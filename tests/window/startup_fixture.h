#pragma once
// A main window on a temporary program folder with a port, a settings store,
// a message box and a window manager that write what happens into one log.
#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <array>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/message_box.h"
#include "platform/window_manager.h"
#include "window/fakes.h"
#include "window/form1.h"

namespace veltro::testing {

// The window's waits (activation fallback, device retry) in these tests.
inline constexpr int kShortWaitMs = 100;

inline const std::array<std::string, 14> kDefaultLines = {
    "Position-Left=5130", "Position-Top=2955", "PwrMode=0",     "Height=5145",  "mnuSetup=True",
    "mnuSmall=False",     "mnuVector=False",   "ComPort=Com01", "Pollrate=100", "Range=3",
    "Check1=0",           "OnTop=0",           "Version=1",     "HiPwr=0"};

using Log = std::vector<std::string>;

// Ports listed in `missing` cannot be opened; opens and closes are logged.
class LoggingPort : public FakePort {
  public:
    explicit LoggingPort(Log& log) : log_(log) { open = false; }
    std::set<int> missing;
    std::function<std::string()> closeNote;  // appended to the "close" entry

    // Like a real port, numbers below 1 are refused.
    bool setCommPort(int number) override { return number >= 1 && FakePort::setCommPort(number); }
    bool setPortOpen(bool wanted) override {
        if (wanted && missing.count(commPort()) != 0) {
            log_.push_back("open " + std::to_string(commPort()) + " failed");
            return false;
        }
        if (wanted) {
            log_.push_back("open " + std::to_string(commPort()));
        } else {
            log_.push_back("close" + (closeNote ? closeNote() : std::string()));
        }
        return FakePort::setPortOpen(wanted);
    }

  private:
    Log& log_;
};

// Logs "Active=<value>" and keeps the settings file as it was at that moment.
class LoggingStore : public SettingsStore {
  public:
    LoggingStore(Log& log, std::function<std::string()> configText)
        : log_(log), configText_(std::move(configText)) {}
    std::vector<std::string> configAtActive;

    void saveSetting(const std::string& application, const std::string& section,
                     const std::string& name, const std::string& value) override {
        if (name == "Active") {
            EXPECT_EQ(application, "RAREduzo");
            EXPECT_EQ(section, "Settings");
            log_.push_back("Active=" + value);
            configAtActive.push_back(configText_());
        }
    }

  private:
    Log& log_;
    std::function<std::string()> configText_;
};

class RecordingMessageBox : public MessageBox {
  public:
    std::vector<std::string> shown;
    void show(const std::string& text) override { shown.push_back(text); }
};

class RecordingWindowManager : public WindowManager {
  public:
    std::vector<bool> calls;
    void setTopmost(QWidget&, bool onTop) override { calls.push_back(onTop); }
};

class StartupFixture : public ::testing::Test {
  public:  // table-driven checks read the parts
    QTemporaryDir dir;
    Log log;
    LoggingPort port{log};
    LoggingStore store{log, [this] { return configText(); }};
    RecordingMessageBox messages;
    RecordingWindowManager windowManager;
    Form1 form{Form1Services{dir.path(), &port, &store, &messages, &windowManager,
                             Form1Intervals{kShortWaitMs, kShortWaitMs}}};
    QSignalSpy saves{&form, &Form1::settingsSaved};

    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        QObject::connect(&form, &Form1::settingsSaved, [this](bool ok) {
            log.push_back(std::string(ok ? "save " : "failed save ") + configLine(7));
        });
    }

    std::string configPath() const { return dir.filePath("config.ini").toStdString(); }
    std::string configText() const {
        QFile file(dir.filePath("config.ini"));
        return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
    }
    // Line k of the file without its CR LF; empty when there is none.
    std::string configLine(std::size_t k) const {
        const std::string text = configText();
        std::size_t from = 0;
        for (std::size_t i = 0; i < k; ++i) {
            from = text.find("\r\n", from);
            if (from == std::string::npos) {
                return {};
            }
            from += 2;
        }
        const std::size_t end = text.find("\r\n", from);
        return end == std::string::npos ? std::string() : text.substr(from, end - from);
    }
    void writeConfig(const std::map<int, std::string>& changes = {}) {
        std::string text;
        for (std::size_t k = 0; k < kDefaultLines.size(); ++k) {
            const auto changed = changes.find(static_cast<int>(k));
            text += (changed != changes.end() ? changed->second : kDefaultLines[k]) + "\r\n";
        }
        QFile file(dir.filePath("config.ini"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text.data(), static_cast<qint64>(text.size()));
    }
    // Shows the window and lets its first activation run the start-up.
    void start() {
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
        for (int i = 0; i < 100 && log.empty(); ++i) {
            QTest::qWait(10);
        }
        ASSERT_FALSE(log.empty()) << "the start-up ran";
    }
    std::string lastActive() const {
        for (auto it = log.rbegin(); it != log.rend(); ++it) {
            if (it->rfind("Active=", 0) == 0) {
                return it->substr(7);
            }
        }
        return {};
    }
    double twipsPerPixelX() const { return 1440.0 / form.logicalDpiX(); }
    double twipsPerPixelY() const { return 1440.0 / form.logicalDpiY(); }
    // Height as config.ini keeps it: the client area below the menu bar and
    // 795 twips of frame and menu bar.
    double storedHeightTwips() const {
        return form.clientArea()->height() * twipsPerPixelY() + 795;
    }
};

}  // namespace veltro::testing
