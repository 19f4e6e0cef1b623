// The real poll cycle over the Qt serial layer against the simulated meter on
// a pseudo-terminal.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "integration/simulated_meter.h"
#include "meter/poll_cycle.h"
#include "platform/qt_serial_port.h"

namespace veltro {
namespace {

constexpr int kPort = 7;
constexpr int kTickMs = 150;

// What the cycles showed: the lamp each time, the accepted frames, the last
// reading and call sign.
struct RecordingDisplay {
    void show(CycleResult result, const ReadingRecord& record) {
        if (result == CycleResult::PortClosed) {
            return;
        }
        lamps.push_back(result == CycleResult::Accepted);
        if (result == CycleResult::Accepted) {
            frames.push_back(record.FrameText);
            reading = record.ReadingText;
            callsign = record.MeterCallsign;
        }
    }

    int version = 0;
    std::vector<bool> lamps;
    std::vector<std::string> frames;
    std::string reading;
    std::string callsign;
};

// The serial layer, keeping what each cycle read.
class RecordingPort : public QtSerialPort {
  public:
    using QtSerialPort::QtSerialPort;
    std::string input() override {
        std::string got = QtSerialPort::input();
        inputs.push_back(got);
        if (inputs.size() > 6) {
            inputs.erase(inputs.begin());
        }
        return got;
    }
    std::vector<std::string> inputs;
};

class SerialEndToEndTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        // A split reply's halves lie far more than a tick apart, even when a
        // loaded machine delays a tick.
        sim.start(dir.path(), kPort, {"--steady", "--gap", "2000"});
        ASSERT_TRUE(sim.devicePath.startsWith("/dev/"));
        ASSERT_TRUE(QFileInfo(linkPath()).isSymLink());
    }
    void TearDown() override {
        if (sim.process.state() != QProcess::NotRunning) {
            sim.stop();
            EXPECT_FALSE(QFileInfo(linkPath()).isSymLink()) << "the link goes with the simulator";
        }
    }
    QString linkPath() const { return dir.filePath(QStringLiteral("ports/com%1").arg(kPort)); }

    // Opens at `settings` with a meter of the generation that speed belongs to.
    void openPort(const std::string& settings) {
        const std::string generation =
            settings.starts_with("38400") ? "generation older" : "generation newer";
        control(generation.c_str());
        ASSERT_TRUE(
            testing::waitFor([&] { return simLog().find(generation) != std::string::npos; }));
        ASSERT_TRUE(port.setCommPort(kPort));
        ASSERT_TRUE(port.setSettings(settings));
        port.setInputLen(0);
        ASSERT_TRUE(port.setPortOpen(true)) << port.errorString();
        port.setInBufferCount(0);
        cycle.clearPending();
    }
    void tick() {
        display.show(cycle.tick(port, display.version), cycle.record);
        QTest::qWait(kTickMs);
    }
    // What the last cycles read, for failure messages.
    std::string recentInputs() const {
        std::string text;
        for (const auto& input : port.inputs) {
            text += "[" + input + "]\n";
        }
        return text;
    }
    // Ticks until a cycle accepts a frame; false if none within the bound.
    bool tickUntilAccepted(int maxTicks = 40) {
        for (int i = 0; i < maxTicks; ++i) {
            tick();
            if (display.lamps.back()) {
                return true;
            }
        }
        return false;
    }
    void control(const char* line) { sim.control(line); }
    std::string simLog() { return sim.log(); }

    QTemporaryDir dir;
    testing::SimulatedMeter sim;
    RecordingPort port{dir.path()};
    PollCycle cycle;
    RecordingDisplay display;
};

struct DialectCase {
    int version;
    std::string settings;
    std::string poll;
    std::string alarm;
    std::string powerMode;
};
const DialectCase kDialects[] = {
    {0, "38400,n,8,1", ";P?", ";A?", ";F?"},
    {1, "115200,n,8,1", "P", "A", "F"},
};

TEST_F(SerialEndToEndTest, PollsInBothDialectsAndDecodesTheMetersFrames) {
    for (const auto& d : kDialects) {
        SCOPED_TRACE(d.settings);
        display.version = d.version;
        openPort(d.settings);
        ASSERT_TRUE(tickUntilAccepted());
        EXPECT_EQ(display.frames.back().size(), 43u);
        EXPECT_DOUBLE_EQ(cycle.record.ForwardPower, 100.0);
        EXPECT_DOUBLE_EQ(cycle.record.ImpedanceMagnitude, 75.0);
        EXPECT_DOUBLE_EQ(cycle.record.PhaseAngle, 0.0);
        EXPECT_DOUBLE_EQ(cycle.record.PowerDbm, 50.0);
        EXPECT_DOUBLE_EQ(cycle.record.Swr, 1.5);
        EXPECT_DOUBLE_EQ(cycle.record.MeterRange, 1.0);
        EXPECT_EQ(display.reading, "50.0");
        // Steady polling goes on accepting frames; on a loaded machine a
        // reply can slip past a tick and pair up with the next one, so only
        // the frames accepted count, not the ticks they took.
        for (int frames = 0; frames < 3; ++frames) {
            ASSERT_TRUE(tickUntilAccepted()) << recentInputs();
        }
        EXPECT_NE(simLog().find("received \"" + d.poll + "\" (poll)"), std::string::npos);
        port.setPortOpen(false);
    }
}

TEST_F(SerialEndToEndTest, CommandsReachTheMeterAndShowInLaterFrames) {
    for (const auto& d : kDialects) {
        SCOPED_TRACE(d.settings);
        display.version = d.version;
        openPort(d.settings);
        ASSERT_TRUE(tickUntilAccepted());
        const double alarmBefore = cycle.record.AlarmSetting;
        const double modeBefore = cycle.record.MeterMode;
        const std::string callsign = d.version == 0 ? "AB" : "W1XYZ9";

        cycle.callsignTextChanged(callsign);
        cycle.requestAlarm();
        cycle.requestPowerMode();
        cycle.requestCallsign();
        for (int i = 0; i < 100 && cycle.anyPending(); ++i) {
            tick();
        }
        ASSERT_FALSE(cycle.anyPending()) << "commands went out\n" << recentInputs() << simLog();
        // The cycle after the commands may read nothing, and on a loaded
        // machine the first frame after them may be a late answer to an
        // earlier poll; the new settings show within a few frames.
        const double alarmAfter = std::fmod(alarmBefore + 1, 6);
        const double modeAfter = std::fmod(modeBefore + 1, 3);
        const std::string callsignAfter = (callsign + "      ").substr(0, 6);
        for (int frames = 0; frames < 4; ++frames) {
            ASSERT_TRUE(tickUntilAccepted());
            if (cycle.record.AlarmSetting == alarmAfter && cycle.record.MeterMode == modeAfter &&
                display.callsign == callsignAfter) {
                break;
            }
        }
        EXPECT_EQ(cycle.record.AlarmSetting, alarmAfter);
        EXPECT_EQ(cycle.record.MeterMode, modeAfter);
        EXPECT_EQ(display.callsign, callsignAfter);

        const std::string log = simLog();
        for (const auto& sent : {d.alarm, d.powerMode, ";C" + cycle.CallsignToSend + "?"}) {
            EXPECT_NE(log.find("received \"" + sent + "\""), std::string::npos) << sent;
        }
        port.setPortOpen(false);
    }
}

TEST_F(SerialEndToEndTest, FaultyRepliesAreRejectedAndPollingRecovers) {
    openPort("38400,n,8,1");
    ASSERT_TRUE(tickUntilAccepted());
    for (const char* fault : {"split", "cr", "double", "garbage"}) {
        SCOPED_TRACE(fault);
        control(fault);
        // Judged from the switch on: replies to polls it saw before may be sound.
        ASSERT_TRUE(testing::waitFor(
            [&] { return simLog().find(std::string("fault ") + fault) != std::string::npos; }));
        tick();
        tick();
        const std::size_t from = display.lamps.size();
        for (int i = 0; i < 4; ++i) {
            tick();
        }
        const std::vector<bool> during(display.lamps.begin() + from, display.lamps.end());
        EXPECT_EQ(std::count(during.begin(), during.end(), true), 0);
        control("normal");
        EXPECT_TRUE(tickUntilAccepted()) << "recovers once the meter answers properly";
        EXPECT_DOUBLE_EQ(cycle.record.ForwardPower, 100.0);
    }
}

TEST_F(SerialEndToEndTest, MeterVanishingWhilePollingShowsTheRedLampWithoutACrash) {
    openPort("115200,n,8,1");
    display.version = 1;
    ASSERT_TRUE(tickUntilAccepted());
    sim.process.kill();  // no clean-up: the pseudo-terminal just goes away
    ASSERT_TRUE(sim.process.waitForFinished(5000));
    const std::size_t from = display.lamps.size();
    for (int i = 0; i < 5; ++i) {
        tick();
    }
    // The cycles go on against a silent port: the lamp turns red.
    EXPECT_TRUE(port.portOpen());
    const std::vector<bool> after(display.lamps.begin() + from, display.lamps.end());
    EXPECT_EQ(after.size(), 5u);
    EXPECT_EQ(std::count(after.begin(), after.end(), true), 0);
    QFile::remove(linkPath());
}

}  // namespace
}  // namespace veltro
