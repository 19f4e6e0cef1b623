// The window's start-up from config.ini, the connection handlers and the
// window's unloading, on a real file in a temporary program folder.
#include <sys/stat.h>
#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <cmath>
#include <ostream>

#include "meter/status_frame.h"
#include "window/check_mark_menu.h"
#include "window/colour_button.h"
#include "window/startup_fixture.h"
#include "window/value_check_box.h"

namespace veltro {
namespace {

using testing::kDefaultLines;
using testing::Log;

class Form1Startup : public testing::StartupFixture {};

TEST_F(Form1Startup, NoFileWritesTheDefaultsAndAppliesNothing) {
    const QPoint before = form.frameGeometry().topLeft();
    start();

    std::string expected;
    for (const auto& line : kDefaultLines) {
        expected += line + "\r\n";
    }
    EXPECT_EQ(configText(), expected);
    EXPECT_EQ(log, (Log{"Active=N"}));
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_FALSE(port.portOpen());
    EXPECT_EQ(form.frameGeometry().topLeft(), before);
    EXPECT_GT(std::abs(storedHeightTwips() - 5145), 30.0);
    EXPECT_FALSE(isMarked(form.mnuSetup));
    EXPECT_EQ(form.HScroll1->value(), 50);
    EXPECT_EQ(form.chkVersion->value(), 0);
    EXPECT_EQ(form.Combo1->currentText(), "Com1");
    EXPECT_EQ(saves.size(), 0);
}

TEST_F(Form1Startup, DefaultFileIsApplied) {
    writeConfig();
    form.panel().pollCycle().AlarmCommandPending = true;
    start();

    const QRect frame = form.frameGeometry();
    EXPECT_NEAR(frame.left() * twipsPerPixelX(), 5130, twipsPerPixelX());
    EXPECT_NEAR(frame.top() * twipsPerPixelY(), 2955, twipsPerPixelY());
    EXPECT_NEAR(storedHeightTwips(), 5145, twipsPerPixelY());
    EXPECT_TRUE(isMarked(form.mnuSetup));
    EXPECT_FALSE(isMarked(form.mnuSmall));
    EXPECT_FALSE(isMarked(form.mnuVector));
    EXPECT_EQ(form.HScroll1->value(), 100);
    EXPECT_EQ(form.Timer1->interval(), 100);
    EXPECT_TRUE(form.Timer1->isActive());
    EXPECT_EQ(form.TxtPollRate->text(), "100");
    EXPECT_EQ(form.panel().rangeMode(), 3);
    EXPECT_EQ(form.panel().rangeIndex(), 2);
    EXPECT_EQ(form.Check1->value(), 0);
    EXPECT_EQ(form.Check2->value(), 1);
    EXPECT_EQ(form.chkOnTop->value(), 0);
    EXPECT_TRUE(windowManager.calls.empty());
    EXPECT_EQ(form.chkVersion->value(), 1);
    EXPECT_EQ(port.settings(), "115200,n,8,1");
    EXPECT_FALSE(form.CmdCallsignSet->isEnabled());
    EXPECT_FALSE(form.TxtCallsignSet->isEnabled());
    EXPECT_EQ(form.Text3->text(), "1");
    EXPECT_TRUE(port.portOpen());
    EXPECT_EQ(port.commPort(), 1);
    EXPECT_EQ(form.Combo1->currentText(), "Com01");
    EXPECT_TRUE(messages.shown.empty());
    // The slider, Check2 and chkVersion each asked for a save: one was made.
    EXPECT_EQ(log, (Log{"Active=N", "save ComPort=Com01", "open 1", "Active=Y"}));
    EXPECT_EQ(configLine(7), "ComPort=Com01");
    EXPECT_EQ(port.inputLen, 0);
    EXPECT_EQ(port.inBufferClears, 1);
    EXPECT_FALSE(form.panel().pollCycle().anyPending());
}

struct StartupCase {
    const char* name;
    std::map<int, std::string> changes;
    std::set<int> missingPorts;
    std::function<void(testing::StartupFixture&)> check;
    bool withoutConfig = false;
    std::vector<std::string> filesBefore = {};
};

// Test listings show the case's name rather than its bytes.
void PrintTo(const StartupCase& c, std::ostream* out) {
    *out << c.name;
}

class Form1StartupCases : public testing::StartupFixture,
                          public ::testing::WithParamInterface<StartupCase> {};

TEST_P(Form1StartupCases, Applies) {
    port.missing = GetParam().missingPorts;
    if (!GetParam().withoutConfig) {
        writeConfig(GetParam().changes);
    }
    for (const std::string& name : GetParam().filesBefore) {
        QFile(dir.filePath(QString::fromStdString(name))).open(QIODevice::WriteOnly);
    }
    start();
    GetParam().check(*this);
}

const StartupCase kStartupCases[] = {
    {"MissingPort",
     {{7, "ComPort=Com05"}},
     {5},
     [](testing::StartupFixture& t) {
         auto& form = t.form;
         ASSERT_EQ(t.messages.shown.size(), 1u);
         EXPECT_EQ(t.messages.shown[0], "Com Port 5 is not available. Check Com Port setting.");
         EXPECT_EQ(t.lastActive(), "N");
         EXPECT_FALSE(t.port.portOpen());
         EXPECT_EQ(form.Combo1->currentText(), "Com1");
         EXPECT_EQ(t.configLine(7), "ComPort=Com05");
     }},
    {"UpperCasePortKeepsPortOne",
     {{7, "ComPort=COM3"}},
     {1},
     [](testing::StartupFixture& t) {
         ASSERT_EQ(t.messages.shown.size(), 1u);
         EXPECT_EQ(t.messages.shown[0], "Com Port 1 is not available. Check Com Port setting.");
         EXPECT_EQ(t.configLine(7), "ComPort=COM3");
     }},
    {"EmptyPortLineStaysEmpty",
     {{7, "ComPort="}},
     {1},
     [](testing::StartupFixture& t) {
         ASSERT_EQ(t.messages.shown.size(), 1u);
         EXPECT_EQ(t.messages.shown[0], "Com Port 1 is not available. Check Com Port setting.");
         t.form.close();
         EXPECT_EQ(t.configLine(7), "ComPort=");
     }},
    {"GreyedVersion",
     {{12, "Version=2"}},
     {},
     [](testing::StartupFixture& t) {
         auto& form = t.form;
         EXPECT_EQ(form.chkVersion->value(), 2);
         EXPECT_EQ(form.chkVersion->checkState(), Qt::PartiallyChecked);
         EXPECT_EQ(t.port.settings(), "115200,n,8,1");
         EXPECT_FALSE(form.TxtCallsignSet->isEnabled());
         EXPECT_EQ(form.Text3->text(), "2");
         EXPECT_EQ(t.configLine(12), "Version=2");
     }},
    {"OlderFirmware",
     {{12, "Version=0"}},
     {},
     [](testing::StartupFixture& t) {
         auto& form = t.form;
         EXPECT_EQ(t.port.settings(), "38400,n,8,1");
         EXPECT_TRUE(form.CmdCallsignSet->isEnabled());
         EXPECT_TRUE(form.TxtCallsignSet->isEnabled());
         EXPECT_EQ(form.Text3->text(), "Text3") << "no change, no chkVersion_Click";
     }},
    {"RangeOutsideTheScales",
     {{9, "Range=7"}},
     {},
     [](testing::StartupFixture& t) {
         auto& form = t.form;
         EXPECT_EQ(form.panel().rangeMode(), 7);
         EXPECT_EQ(form.panel().rangeIndex(), 2);
     }},
    {"PollrateAtTheSliderPosition",
     {{8, "Pollrate=50"}},
     {},
     [](testing::StartupFixture& t) {
         auto& form = t.form;
         EXPECT_EQ(form.TxtPollRate->text(), "");
         EXPECT_EQ(form.Timer1->interval(), 50);
         EXPECT_TRUE(form.Timer1->isActive());
     }},
    {"PollrateOutsideTheLimits",
     {{8, "Pollrate=20"}},
     {},
     [](testing::StartupFixture& t) {
         auto& form = t.form;
         EXPECT_EQ(form.HScroll1->value(), 50);
         EXPECT_EQ(form.Timer1->interval(), 50);
     }},
    {"PollrateAboveTheLimitsIsRefusedNotClamped",
     {{8, "Pollrate=9000"}},
     {},
     [](testing::StartupFixture& t) { EXPECT_EQ(t.form.HScroll1->value(), 50); }},
    {"NegativePositionIsApplied",
     {{0, "Position-Left=-120"}, {1, "Position-Top=-60"}},
     {},
     [](testing::StartupFixture& t) {
         // Applied, not refused; the offscreen platform nudges a client area
         // that would start off the screen back by its pretend frame.
         const QRect frame = t.form.frameGeometry();
         EXPECT_LT(frame.left(), 0);
         EXPECT_LT(frame.top(), 0);
     }},
    {"SmallStyleMarksOnly",
     {{3, "Height=3200"}, {4, "mnuSetup=false"}, {5, "mnuSmall=TRUE"}},
     {},
     [](testing::StartupFixture& t) {
         auto& form = t.form;
         EXPECT_FALSE(isMarked(form.mnuSetup));
         EXPECT_TRUE(isMarked(form.mnuSmall));
         EXPECT_NEAR(t.storedHeightTwips(), 3200, t.twipsPerPixelY());
     }},
    {"FirstRunClosedLeavesTheDefaultsForTheNext",
     {},
     {},
     [](testing::StartupFixture& t) {
         const std::string defaults = t.configText();
         t.form.close();
         EXPECT_EQ(t.log, (Log{"Active=N", "Active=N"}));
         EXPECT_EQ(t.configText(), defaults);
     },
     true},
    {"TemporariesOfAKilledSaveGo",
     {},
     {},
     [](testing::StartupFixture& t) {
         const QStringList kept{"config.ini",        "config.ini.AbCd3f", "config.ini.AbCdE",
                                "config.ini.AbCdEfG", "config.ini.BACKUP", "config.ini.backup"};
         EXPECT_EQ(QDir(t.dir.path()).entryList(QDir::Files, QDir::Name), kept);
     },
     false,
     {"config.ini.AbCdEf", "config.ini.aBcdef", "config.ini.backup", "config.ini.BACKUP",
      "config.ini.AbCd3f", "config.ini.AbCdE", "config.ini.AbCdEfG"}},
};

INSTANTIATE_TEST_SUITE_P(Table, Form1StartupCases, ::testing::ValuesIn(kStartupCases),
                         [](const auto& info) { return std::string(info.param.name); });

// A start-up that cannot open its port, then a close: nothing configured may
// be lost to the saves set off while applying, nor to the last save.
TEST_F(Form1Startup, FailedStartAndCloseKeepEveryConfiguredValue) {
    port.missing = {5};
    writeConfig({{7, "ComPort=Com05"},
                 {9, "Range=1"},
                 {10, "Check1=1"},
                 {11, "OnTop=1"},
                 {12, "Version=0"},
                 {13, "HiPwr=1"}});
    start();
    EXPECT_EQ(windowManager.calls, (std::vector<bool>{true}));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(log, (Log{"Active=N", "save ComPort=Com05", "open 5 failed"}));
    form.close();

    for (const char* line : {"ComPort=Com05", "Range=1", "Check1=1", "OnTop=1", "Version=0",
                             "HiPwr=1", "Pollrate=100", "mnuSetup=True", "PwrMode=0"}) {
        EXPECT_NE(configText().find(std::string(line) + "\r\n"), std::string::npos) << line;
    }
    EXPECT_EQ(lastActive(), "N");
}

// Something in config.ini's place that cannot be read (here a folder, which
// even root cannot read as a file) is never replaced: not by the start-up,
// not by a later save, not at close. No save is even tried.
TEST_F(Form1Startup, UnreadableSettingsFileIsNeverReplaced) {
    ASSERT_TRUE(QDir(dir.path()).mkdir("config.ini"));
    start();
    EXPECT_EQ(log, (Log{"Active=N"}));
    EXPECT_TRUE(messages.shown.empty());
    QTest::mouseClick(form.CmdRange, Qt::LeftButton);
    form.close();
    EXPECT_TRUE(QFileInfo(dir.filePath("config.ini")).isDir());
    EXPECT_EQ(saves.size(), 0);
}

// Coordinates no screen reaches are refused, not handed to the window system.
TEST_F(Form1Startup, AbsurdWindowGeometryIsRefused) {
    writeConfig({{0, "Position-Left=1e30"}, {1, "Position-Top=-3e9"}, {3, "Height=1e9"}});
    const QRect before = form.frameGeometry();
    start();
    EXPECT_EQ(form.frameGeometry().topLeft(), before.topLeft());
    EXPECT_LT(form.frameGeometry().height(), 2 * before.height());
    EXPECT_EQ(lastActive(), "Y");
}

TEST_F(Form1Startup, ChoosingAPortStopsClosesSavesAndStartsAgain) {
    writeConfig();
    start();
    port.closeNote = [this] { return form.Timer1->isActive() ? " timer on" : " timer off"; };
    log.clear();

    form.Combo1->setCurrentIndex(7);  // no activation: the program's change
    ASSERT_TRUE(log.empty());
    QTest::keyClick(form.Combo1, Qt::Key_Down);  // the operator's choice: "Com09 "

    EXPECT_EQ(log,
              (Log{"close timer off", "save ComPort=Com09 ", "Active=N", "open 9", "Active=Y"}));
    EXPECT_EQ(port.commPort(), 9);
    EXPECT_EQ(form.Combo1->currentText(), "Com09 ");
    EXPECT_TRUE(form.Timer1->isActive());
    EXPECT_EQ(configLine(7), "ComPort=Com09 ");
}

TEST_F(Form1Startup, ChoosingAMissingPortLeavesTheChoiceInTheFile) {
    writeConfig();
    start();
    port.missing = {3};
    port.incoming = buildFrame(FrameFields{});
    form.Timer1_Timer();  // the lamp green
    ASSERT_FALSE(form.Picture5->isHidden());
    log.clear();
    form.Combo1->setCurrentIndex(1);
    QTest::keyClick(form.Combo1, Qt::Key_Down);
    EXPECT_TRUE(form.Picture5->isHidden());

    EXPECT_EQ(log, (Log{"close", "save ComPort=Com03", "Active=N", "open 3 failed"}));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0], "Com Port 3 is not available. Check Com Port setting.");
    EXPECT_FALSE(form.Timer1->isActive());
    form.close();
    EXPECT_EQ(configLine(7), "ComPort=Com03");
}

TEST_F(Form1Startup, ChoosingFromTheOpenListWithTheMouse) {
    writeConfig();
    start();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    form.Combo1->lineEdit()->setFocus();
    QTest::keyClicks(form.Combo1->lineEdit(), "x");  // typed first, then the list
    log.clear();
    form.Combo1->showPopup();
    QAbstractItemView* list = form.Combo1->view();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(list->window()));
    const QRect item = list->visualRect(list->model()->index(2, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, item.center());

    EXPECT_EQ(log, (Log{"close", "save ComPort=Com03", "Active=N", "open 3", "Active=Y"}));
}

TEST_F(Form1Startup, TypingIntoThePortBoxRunsNothing) {
    writeConfig();
    start();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    log.clear();

    form.Combo1->lineEdit()->setFocus();
    form.Combo1->lineEdit()->selectAll();
    for (const char* typed : {"Com03", "com04", "Com1"}) {
        QTest::keyClicks(form.Combo1->lineEdit(), typed);
        QTest::keyClick(form.Combo1->lineEdit(), Qt::Key_Return);
        form.TxtPollRate->setFocus();  // focus leaves the box
        QCoreApplication::processEvents();
        form.Combo1->lineEdit()->setFocus();
        form.Combo1->lineEdit()->selectAll();
    }
    EXPECT_TRUE(log.empty()) << log.front();
    EXPECT_TRUE(port.portOpen());
    EXPECT_EQ(port.commPort(), 1);
    // The typed name reaches the file with the next save.
    form.close();
    EXPECT_EQ(configLine(7), "ComPort=Com1") << "typed text is not completed to an item";
}

TEST_F(Form1Startup, FirmwareBoxSetsTheLineAtOnceAndSaves) {
    writeConfig();
    start();
    saves.clear();
    struct Step {
        int value;
        const char* settings;
        bool callsignEnabled;
    };
    for (const Step& step : {Step{0, "38400,n,8,1", true}, Step{1, "115200,n,8,1", false}}) {
        SCOPED_TRACE(step.value);
        QTest::mouseClick(form.chkVersion, Qt::LeftButton, {}, QPoint(6, 6));
        EXPECT_EQ(form.chkVersion->value(), step.value);
        EXPECT_TRUE(port.portOpen());
        EXPECT_EQ(port.settings(), step.settings);
        EXPECT_EQ(form.CmdCallsignSet->isEnabled(), step.callsignEnabled);
        EXPECT_EQ(form.TxtCallsignSet->isEnabled(), step.callsignEnabled);
        EXPECT_EQ(form.Text3->text(), QString::number(step.value));
        EXPECT_EQ(configLine(12), "Version=" + std::to_string(step.value));
    }
    EXPECT_EQ(saves.size(), 2);
}

TEST_F(Form1Startup, PollRateSliderRetimesSavesAndRestartsTheTimer) {
    writeConfig();
    start();
    for (bool portOpen : {true, false}) {
        SCOPED_TRACE(portOpen);
        port.setPortOpen(portOpen);
        form.Timer1->stop();
        saves.clear();
        const int value = portOpen ? 250 : 4990;
        form.HScroll1->setValue(value);
        EXPECT_EQ(form.Timer1->interval(), value);
        EXPECT_EQ(form.TxtPollRate->text(), QString::number(value));
        EXPECT_TRUE(form.Timer1->isActive());
        EXPECT_EQ(saves.size(), 1);
        EXPECT_EQ(configLine(8), "Pollrate=" + std::to_string(value));
    }
    saves.clear();
    form.HScroll1->triggerAction(QAbstractSlider::SliderSingleStepAdd);  // an arrow click
    EXPECT_EQ(form.HScroll1->value(), 5000);
    EXPECT_EQ(form.TxtPollRate->text(), "5000");
    EXPECT_EQ(saves.size(), 1);
}

TEST_F(Form1Startup, ClosingSavesThenClearsActive) {
    writeConfig();
    start();
    form.chkHiPwr->setValue(1);  // no action: reaches the file with the last save
    form.move(form.x() + 30, form.y());  // the operator's move
    log.clear();
    form.close();

    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(log, (Log{"save ComPort=Com01", "Active=N"}));
    ASSERT_FALSE(store.configAtActive.empty());
    const std::string atActive = store.configAtActive.back();
    EXPECT_NE(atActive.find("HiPwr=1\r\n"), std::string::npos) << "saved before Active";
    EXPECT_EQ(atActive, configText());
    const double left = std::stod(configLine(0).substr(std::string("Position-Left=").size()));
    EXPECT_NEAR(left, 5130 + 30 * twipsPerPixelX(), twipsPerPixelX());
}

TEST_F(Form1Startup, FileExitClosesLikeTheCloseBox) {
    writeConfig();
    start();
    form.chkHiPwr->setValue(2);
    log.clear();
    form.mnuExit->trigger();

    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(log, (Log{"save ComPort=Com01", "Active=N"}));
    EXPECT_EQ(configLine(13), "HiPwr=2");
}

}  // namespace
}  // namespace veltro

namespace veltro {
namespace {

class Form1Activation : public testing::StartupFixture {};

TEST_F(Form1Activation, HidingShowingAndMinimisingNeverRunTheStartupAgain) {
    writeConfig();
    start();
    const std::size_t afterStart = log.size();
    form.hide();
    form.show();
    form.showMinimized();
    form.showNormal();
    form.activateWindow();
    QTest::qWait(3 * testing::kShortWaitMs);  // longer than the fallback for a missing activation
    EXPECT_EQ(log.size(), afterStart);
    EXPECT_TRUE(port.portOpen());
}

TEST_F(Form1Activation, ClosedBeforeItsQueuedStartupOpensNothing) {
    writeConfig();
    form.show();
    form.close();
    QTest::qWait(3 * testing::kShortWaitMs);  // past the queued start-up and the fallback
    EXPECT_EQ(log, (Log{"Active=N"}));
    EXPECT_FALSE(port.portOpen());
}

}  // namespace
}  // namespace veltro
