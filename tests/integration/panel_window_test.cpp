// The real window on the real serial layer, against the simulated meter on a
// pseudo-terminal linked as port 1 in the program folder.
#include <gtest/gtest.h>

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

#include "platform/qt_serial_port.h"
#include "window/colour_button.h"
#include "window/fakes.h"
#include "window/form1.h"

namespace veltro {
namespace {

// Waits in small steps until `done` holds; false when the bound runs out.
bool waitFor(const std::function<bool()>& done, int steps = 200) {
    for (int i = 0; i < steps && !done(); ++i) {
        QTest::qWait(25);
    }
    return done();
}

class PanelWithMeter : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        sim.setProgram(QStringLiteral(VELTRO_SIM_PATH));
        sim.setArguments({"--dir", dir.path(), "--port", "1", "--steady"});
        sim.start();
        ASSERT_TRUE(sim.waitForStarted(5000));
        while (!sim.canReadLine() && sim.waitForReadyRead(5000)) {
        }
        ASSERT_TRUE(sim.canReadLine()) << "the simulator prints its device path";
    }
    void TearDown() override {
        sim.terminate();
        EXPECT_TRUE(sim.waitForFinished(5000));
    }
    void writeConfig(const std::string& version) {
        const std::string text =
            "Position-Left=600\r\nPosition-Top=300\r\nPwrMode=0\r\nHeight=5145\r\n"
            "mnuSetup=True\r\nmnuSmall=False\r\nmnuVector=False\r\nComPort=Com01\r\n"
            "Pollrate=100\r\nRange=3\r\nCheck1=0\r\nOnTop=0\r\nVersion=" +
            version + "\r\nHiPwr=0\r\n";
        QFile file(dir.filePath("config.ini"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text.data(), static_cast<qint64>(text.size()));
    }
    std::string simLog() {
        log += sim.readAllStandardError().toStdString();
        return log;
    }
    bool logged(const std::string& command) {
        return simLog().find("received \"" + command + "\"") != std::string::npos;
    }

    QTemporaryDir dir;
    QProcess sim;
    std::string log;
};

TEST_F(PanelWithMeter, StartsPollsAndSendsTheButtonsCommands) {
    writeConfig("0");
    QtSerialPort port(dir.path());
    testing::RecordingStore store;
    Form1 form(Form1Services{dir.path(), &port, &store, nullptr, nullptr});
    form.show();

    ASSERT_TRUE(waitFor([&] { return form.Picture5->isVisibleTo(&form); }))
        << "a frame was accepted; simulator log:\n"
        << simLog();
    EXPECT_TRUE(port.portOpen());
    EXPECT_EQ(port.settings(), "38400,n,8,1");
    EXPECT_EQ(form.Timer1->interval(), 100);
    EXPECT_TRUE(logged(";P?"));
    EXPECT_FALSE(logged("P"));
    EXPECT_EQ(form.Text1->text().size(), 43);
    ASSERT_TRUE(form.TxtCallsignSet->isEnabled());

    const QString alarmBefore = form.LblAlarmMode->text();
    const QString modeBefore = form.Label35->text();
    form.TxtCallsignSet->selectAll();
    QTest::keyClicks(form.TxtCallsignSet, "AB");
    QTest::mouseClick(form.CmdAlarm, Qt::LeftButton);
    QTest::mouseClick(form.CmdPower, Qt::LeftButton);
    QTest::mouseClick(form.CmdCallsignSet, Qt::LeftButton);

    ASSERT_TRUE(waitFor([&] { return logged(";CAB    ?"); })) << simLog();
    EXPECT_TRUE(logged(";A?"));
    EXPECT_TRUE(logged(";F?"));
    EXPECT_TRUE(waitFor([&] {
        return form.Label2->text().trimmed() == "AB" && form.LblAlarmMode->text() != alarmBefore &&
               form.Label35->text() != modeBefore;
    })) << "later frames show the commands' effect: "
        << form.Label2->text().toStdString() << " / " << form.LblAlarmMode->text().toStdString()
        << " / " << form.Label35->text().toStdString();
    form.close();
}

}  // namespace
}  // namespace veltro
