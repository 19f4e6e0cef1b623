// SaveSettings and the actions that save, on a real config.ini in a
// temporary program folder.
#include <gtest/gtest.h>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "meter/status_frame.h"
#include "platform/app_settings_store.h"
#include "window/check_mark_menu.h"
#include "window/colour_button.h"
#include "window/fakes.h"
#include "window/form1.h"
#include "window/value_check_box.h"

namespace veltro {
namespace {

using veltro::testing::FakePort;

class Form1Settings : public ::testing::Test {
  protected:
    QTemporaryDir dir;
    FakePort port;
    Form1 form{Form1Services{dir.path(), &port, nullptr, nullptr}};
    QSignalSpy saves{&form, &Form1::settingsSaved};

    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        form.Timer1->stop();
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
        QCoreApplication::processEvents();  // the start-up at the first activation
        // Each test starts from no file; the start-up wrote the default one.
        QFile::remove(dir.filePath("config.ini"));
        saves.clear();
    }
    QString configText() const {
        QFile file(dir.filePath("config.ini"));
        return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll()) : QString();
    }
    bool configHas(const QString& line) const { return configText().split("\r\n").contains(line); }
    void click(QAbstractButton* button) {
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, 6));
    }
};

TEST_F(Form1Settings, SaveWritesTheWindowsState) {
    form.move(120, 45);
    form.panel().session().values()[2] = "7";
    form.panel().styleChosen(ViewStyle::Vector);  // the marks, not the height
    form.Combo1->setCurrentIndex(8);
    form.HScroll1->setValue(250);
    form.chkVersion->setValue(1);
    form.chkHiPwr->setValue(2);
    saves.clear();  // the slider and firmware box saved on their own
    form.SaveSettings();

    ASSERT_EQ(saves.size(), 1);
    EXPECT_TRUE(saves.front().front().toBool());
    const double tppX = 1440.0 / form.logicalDpiX();
    const double tppY = 1440.0 / form.logicalDpiY();
    const QString expected =
        QString("Position-Left=%1\r\nPosition-Top=%2\r\nPwrMode=7\r\nHeight=%3\r\n")
            .arg(qRound(form.frameGeometry().left() * tppX))
            .arg(qRound(form.frameGeometry().top() * tppY))
            .arg(qRound(form.clientArea()->height() * tppY + 795)) +
        "mnuSetup=False\r\nmnuSmall=False\r\nmnuVector=True\r\nComPort=Com09 \r\n"
        "Pollrate=250\r\nRange=3\r\nCheck1=0\r\nOnTop=0\r\nVersion=1\r\nHiPwr=2\r\n";
    EXPECT_EQ(configText().toStdString(), expected.toStdString());
}

TEST_F(Form1Settings, EachSavingActionRewritesTheFile) {
    form.Check2->setValue(1);  // the pair as the start-up leaves it
    EXPECT_EQ(saves.size(), 1);
    saves.clear();
    click(form.Check1);  // Check1_Click, then Check2_Click from the flip
    EXPECT_EQ(saves.size(), 2);
    EXPECT_EQ(form.Check2->value(), 0);
    EXPECT_TRUE(configHas("Check1=1"));

    saves.clear();
    click(form.Check2);
    EXPECT_EQ(saves.size(), 2);
    EXPECT_EQ(form.Check1->value(), 0);
    EXPECT_TRUE(configHas("Check1=0"));

    saves.clear();
    click(form.CmdRange);
    EXPECT_EQ(saves.size(), 1);
    EXPECT_EQ(form.panel().rangeMode(), 0);
    EXPECT_TRUE(configHas("Range=0"));

    // Only real changes run the handlers.
    saves.clear();
    form.Check2->setValue(1);
    click(form.CmdAlarm);
    form.chkHiPwr->setValue(1);
    EXPECT_EQ(saves.size(), 0);
}

TEST_F(Form1Settings, RangeStepsThroughAllFourAndWrapsBadValues) {
    const std::pair<int, int> steps[] = {{3, 0}, {0, 1}, {1, 2}, {2, 3}, {-1, 0}, {7, 0}, {6, 3}};
    for (const auto& [from, to] : steps) {
        form.panel().setRangeMode(from);
        form.CmdRange_Click();
        EXPECT_EQ(form.panel().rangeMode(), to) << from;
        EXPECT_TRUE(configHas(QString("Range=%1").arg(to)));
    }
}

TEST_F(Form1Settings, FrameReassertingTheSourcePairSavesOnce) {
    EXPECT_EQ(form.Check1->value(), 0);
    EXPECT_EQ(form.Check2->value(), 0);  // as created: the pair is not yet set up
    port.incoming = buildFrame(FrameFields{});
    form.Timer1_Timer();
    EXPECT_EQ(form.Check2->value(), 1);
    EXPECT_EQ(saves.size(), 1);
    port.incoming = buildFrame(FrameFields{});
    form.Timer1_Timer();
    EXPECT_EQ(saves.size(), 1);
}

TEST_F(Form1Settings, ConfiguredPortNameIsSavedUntilTheOperatorChooses) {
    form.panel().session().rememberPortName("Com09 ");
    form.SaveSettings();
    EXPECT_TRUE(configHas("ComPort=Com09 "));
    QTest::keyClicks(form.Combo1->lineEdit(), "5");
    form.SaveSettings();
    EXPECT_TRUE(configHas("ComPort=Com15"));
}

TEST(Form1SettingsFailure, UnwritableFolderKeepsThePanelRunning) {
    QTemporaryDir dir;
    FakePort port;
    Form1 form{Form1Services{dir.filePath("missing/folder"), &port, nullptr, nullptr}};
    QSignalSpy saves{&form, &Form1::settingsSaved};
    form.CmdRange_Click();
    ASSERT_EQ(saves.size(), 1);
    EXPECT_FALSE(saves.front().front().toBool());
    EXPECT_EQ(form.panel().rangeMode(), 0);
    port.incoming = buildFrame(FrameFields{});
    form.Timer1_Timer();
    EXPECT_TRUE(form.Picture5->isVisibleTo(&form));
}

TEST(Form1Registry, ReadingGoesToTheUsersSettings) {
    QTemporaryDir config;
    const QByteArray previous = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", config.path().toLocal8Bit());
    {
        AppSettingsStore store;
        FakePort port;
        Form1 form{Form1Services{QString(), &port, &store, nullptr}};
        FrameFields fields;
        fields.powerDbm = 43.9;
        port.incoming = buildFrame(fields);
        form.Timer1_Timer();
        QSettings written(store.storageLocation("RAREduzo"), QSettings::IniFormat);
        EXPECT_EQ(written.value("Settings/Reading").toString(), "43.9");
    }
    qputenv("XDG_RUNTIME_DIR", previous);
}

}  // namespace
}  // namespace veltro
