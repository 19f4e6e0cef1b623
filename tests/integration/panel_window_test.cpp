// The real window on the real serial layer, against the simulated meter on a
// pseudo-terminal linked as port 1 in the program folder.
#include <gtest/gtest.h>

#include <QElapsedTimer>

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "integration/simulated_meter.h"
#include "platform/qt_serial_port.h"
#include "support/process_cpu.h"
#include "window/colour_button.h"
#include "window/fakes.h"
#include "window/form1.h"
#include "window/value_check_box.h"

namespace veltro {
namespace {

using testing::cpuSeconds;
using testing::waitFor;

class PanelWithMeter : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        sim.start(dir.path(), 1);
    }
    void TearDown() override { sim.stop(); }
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
    std::string simLog() { return sim.log(); }
    bool logged(const std::string& command) { return sim.received(command); }

    QTemporaryDir dir;
    testing::SimulatedMeter sim;
};

TEST_F(PanelWithMeter, StartsPollsAndSendsTheButtonsCommands) {
    sim.control("generation older");
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

std::string lastWritten(const testing::RecordingStore& store, const std::string& name,
                        std::size_t* count = nullptr) {
    std::string value;
    std::size_t seen = 0;
    for (const auto& [application, section, valueName, text] : store.writes) {
        if (valueName == name) {
            value = text;
            ++seen;
        }
    }
    if (count != nullptr) {
        *count = seen;
    }
    return value;
}

TEST_F(PanelWithMeter, LostDeviceReadsInactiveAndComesBackByItself) {
    writeConfig("1");
    QtSerialPort port(dir.path());
    testing::RecordingStore store;
    constexpr int kRetryMs = 200;
    Form1 form(Form1Services{dir.path(), &port, &store, nullptr, nullptr,
                             Form1Intervals{1500, kRetryMs}});
    form.show();
    ASSERT_TRUE(waitFor([&] { return form.Picture5->isVisibleTo(&form); })) << simLog();
    ASSERT_EQ(lastWritten(store, "Active"), "Y");
    int ticks = 0;
    QObject::connect(form.Timer1, &QTimer::timeout, [&] { ++ticks; });

    sim.control("vanish 1000");
    ASSERT_TRUE(waitFor([&] { return simLog().find("vanished") != std::string::npos; }));
    ticks = 0;
    ASSERT_TRUE(waitFor([&] { return lastWritten(store, "Active") == "N"; }));
    EXPECT_LE(ticks, 2) << "the loss is noticed at once";
    EXPECT_FALSE(form.Picture5->isVisibleTo(&form));

    // Gone: no spinning on the hung-up device, no message.
    const double cpuBefore = cpuSeconds();
    QElapsedTimer gone;
    gone.start();
    ASSERT_TRUE(sim.waitForReturn()) << simLog();
    const double cpuShare = (cpuSeconds() - cpuBefore) / (gone.elapsed() / 1000.0);
    EXPECT_LT(cpuShare, 0.2) << "a spin would take the whole core";

    std::size_t readingsBefore = 0;
    lastWritten(store, "Reading", &readingsBefore);
    QElapsedTimer back;
    back.start();
    ASSERT_TRUE(waitFor([&] { return lastWritten(store, "Active") == "Y"; })) << simLog();
    EXPECT_LT(back.elapsed(), 5 * kRetryMs) << "the next retry finds the new device";
    ASSERT_TRUE(waitFor([&] {
        std::size_t readings = 0;
        lastWritten(store, "Reading", &readings);
        return readings > readingsBefore && form.Picture5->isVisibleTo(&form);
    })) << simLog();
    form.close();
    EXPECT_EQ(lastWritten(store, "Active"), "N");
}

// A meter of the other generation hears and sends noise: the red lamp and no
// "Reading" until the firmware box matches it, then green within two polls.
TEST_F(PanelWithMeter, WrongLineSpeedShowsRedUntilTheFirmwareBoxMatches) {
    for (const auto& [version, meter] :
         {std::pair{"0", "generation newer"}, std::pair{"1", "generation older"}}) {
        SCOPED_TRACE(meter);
        sim.control(meter);
        ASSERT_TRUE(waitFor([&] { return simLog().find(meter) != std::string::npos; }));
        writeConfig(version);
        QtSerialPort port(dir.path());
        testing::RecordingStore store;
        Form1 form(Form1Services{dir.path(), &port, &store, nullptr, nullptr});
        int ticks = 0;
        QObject::connect(form.Timer1, &QTimer::timeout, [&] { ++ticks; });
        form.show();
        const std::size_t heard = simLog().size();
        ASSERT_TRUE(waitFor([&] {
            return ticks >= 6 && simLog().find("understood nothing", heard) != std::string::npos;
        })) << simLog();
        EXPECT_FALSE(form.Picture5->isVisibleTo(&form));
        EXPECT_EQ(lastWritten(store, "Reading"), "") << "nothing published";

        ticks = 0;
        QTest::mouseClick(form.chkVersion, Qt::LeftButton);
        ASSERT_TRUE(waitFor([&] { return form.Picture5->isVisibleTo(&form); })) << simLog();
        EXPECT_LE(ticks, 2);
        EXPECT_EQ(lastWritten(store, "Reading"), "50.0");
        form.close();
    }
}

}  // namespace
}  // namespace veltro
