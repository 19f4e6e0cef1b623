// The simulated meter's own logic: command stream, readings, fault replies.
#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "command_parser.h"
#include "line_control.h"
#include "line_pacing.h"
#include "meter/status_frame.h"
#include "meter_behaviour.h"
#include "reading_model.h"

namespace veltro::sim {
namespace {

using Kind = MeterCommand::Kind;

struct ParseCase {
    std::vector<std::string> reads;  // as they arrive, cut anywhere
    std::vector<std::string> commands;
};

TEST(CommandParserTest, SplitsBackToBackCommandsInBothDialects) {
    const ParseCase cases[] = {
        {{";P?"}, {";P?"}},
        {{"P"}, {"P"}},
        {{";A?;F?"}, {";A?", ";F?"}},
        {{"AFP"}, {"A", "F", "P"}},
        {{";", "P", "?"}, {";P?"}},
        {{";CAB", "    ?;P?"}, {";CAB    ?", ";P?"}},
        {{";C;P?AF??"}, {";C;P?AF??"}},  // six characters are taken as they come
        {{"xx;P?"}, {"xx", ";P?"}},
        {{";Q?P"}, {";Q?", "P"}},
        {{";PX;F?"}, {";", "P", "X", ";F?"}},
    };
    for (const auto& c : cases) {
        CommandParser parser;
        std::vector<std::string> got;
        for (const auto& read : c.reads) {
            for (const auto& command : parser.feed(read)) {
                got.push_back(command.text);
            }
        }
        EXPECT_EQ(got, c.commands) << c.reads.front();
    }
}

TEST(CommandParserTest, ReportsKindsAndTheCallsign) {
    CommandParser parser;
    const auto commands = parser.feed(";CW1AW  ?A;F?P~");
    ASSERT_EQ(commands.size(), 5u);
    EXPECT_EQ(commands[0].kind, Kind::Callsign);
    EXPECT_EQ(commands[0].callsign, "W1AW  ");
    EXPECT_EQ(commands[1].kind, Kind::Alarm);
    EXPECT_EQ(commands[2].kind, Kind::PowerMode);
    EXPECT_EQ(commands[3].kind, Kind::Poll);
    EXPECT_EQ(commands[4].kind, Kind::Unknown);
    EXPECT_FALSE(parser.hasPartial());
}

TEST(ReadingModelTest, MovingStationCoversEveryRangeAndStaysConsistent) {
    ReadingModel model;
    std::set<int> ranges;
    double lowest = 1e9, highest = 0, swrLow = 9, swrHigh = 0;
    bool carrierOff = false, phaseBelow = false, phaseAbove = false;
    for (int step = 0; step < 400; ++step) {
        const FrameFields f = model.nextReading();
        ASSERT_EQ(buildFrame(f).size(), kFrameLength);
        ranges.insert(f.meterRange);
        EXPECT_EQ(f.meterRange, ReadingModel::rangeFor(f.forwardPower));
        swrLow = std::min(swrLow, f.swr);
        swrHigh = std::max(swrHigh, f.swr);
        phaseBelow |= f.phase < -1;
        phaseAbove |= f.phase > 1;
        if (f.forwardPower == 0) {
            carrierOff = true;
            continue;
        }
        lowest = std::min(lowest, f.forwardPower);
        highest = std::max(highest, f.forwardPower);
        EXPECT_NEAR(f.powerDbm, 10 * std::log10(f.forwardPower * 1000), 1e-9);
    }
    EXPECT_EQ(ranges, (std::set<int>{0, 1, 2}));
    EXPECT_LT(lowest, 0.05);
    EXPECT_GT(highest, 5000);
    EXPECT_LE(highest, 9999.99);
    EXPECT_EQ(swrLow, 1.0);
    EXPECT_GT(swrHigh, 3.0);
    EXPECT_LE(swrHigh, 3.5);
    EXPECT_TRUE(carrierOff);
    EXPECT_TRUE(phaseBelow && phaseAbove);
}

TEST(ReadingModelTest, RangeDigitAtTheEdgesOfEachRange) {
    const struct {
        double watts;
        int digit;
    } rows[] = {{25.0, 2}, {25.01, 1}, {250.0, 1}, {250.01, 0}};
    for (const auto& row : rows) {
        EXPECT_EQ(ReadingModel::rangeFor(row.watts), row.digit) << row.watts << " W";
    }
}

TEST(ReadingModelTest, SettingsStepRoundAndSteadyReadingIsFixed) {
    ReadingModel model;
    model.setSteady(true);
    const int alarm = model.alarm();
    for (int i = 0; i < 6; ++i) {
        model.stepAlarm();
    }
    EXPECT_EQ(model.alarm(), alarm);
    model.stepPowerMode();
    model.stepPowerMode();
    model.stepPowerMode();
    EXPECT_EQ(model.powerMode(), 0);
    model.setCallsign("AB    ");
    EXPECT_EQ(buildFrame(model.nextReading()), buildFrame(model.nextReading()));
    const FrameFields f = model.nextReading();
    EXPECT_EQ(f.callsign, "AB    ");
    EXPECT_DOUBLE_EQ(f.forwardPower, 100);
    EXPECT_NEAR(f.impedance, 75, 1e-9);
    EXPECT_NEAR(f.phase, 0, 1e-9);
    EXPECT_NEAR(f.powerDbm, 50, 1e-9);
    EXPECT_EQ(f.meterRange, 1);
}

struct FaultCase {
    Fault fault;
    std::vector<std::size_t> writeSizes;
    std::vector<int> delaysMs;
};

TEST(MeterBehaviourTest, EachFaultShapesTheReplyToOnePoll) {
    const FaultCase cases[] = {
        {Fault::None, {43}, {0}},           {Fault::Silent, {}, {}},
        {Fault::TrailingCr, {44}, {0}},     {Fault::Double, {86}, {0}},
        {Fault::Split, {21, 22}, {0, 300}}, {Fault::Late, {43}, {700}},
    };
    for (const auto& c : cases) {
        SimOptions options;
        options.fault = c.fault;
        options.gapMs = 300;
        options.delayMs = 700;
        MeterBehaviour meter(options);
        const auto now = Clock::now();
        const auto outcome = meter.handle({Kind::Poll, "P", {}}, now);
        ASSERT_EQ(outcome.writes.size(), c.writeSizes.size()) << faultName(c.fault);
        for (std::size_t i = 0; i < outcome.writes.size(); ++i) {
            EXPECT_EQ(outcome.writes[i].bytes.size(), c.writeSizes[i]) << faultName(c.fault);
            EXPECT_EQ(outcome.writes[i].due - now, std::chrono::milliseconds(c.delaysMs[i]));
        }
    }
}

TEST(MeterBehaviourTest, SplitMeterIgnoresCommandsUntilItHasSentAndControlLinesSwitch) {
    SimOptions options;
    options.fault = Fault::Split;
    MeterBehaviour meter(options);
    const auto now = Clock::now();
    meter.handle({Kind::Poll, "P", {}}, now);
    EXPECT_TRUE(meter.handle({Kind::Poll, "P", {}}, now).writes.empty());
    EXPECT_EQ(meter.handle({Kind::Poll, "P", {}}, now + std::chrono::seconds(1)).writes.size(), 2u);

    EXPECT_FALSE(meter.control("cr").empty());
    EXPECT_EQ(meter.fault(), Fault::TrailingCr);
    EXPECT_FALSE(meter.control("normal").empty());
    EXPECT_EQ(meter.fault(), Fault::None);
    EXPECT_FALSE(meter.control("gap 250").empty());
    EXPECT_TRUE(meter.control("gap -4").empty());
    EXPECT_TRUE(meter.control("explode").empty());
}

// A reading told on stdin: the frame's power, SWR and range columns, or "",
// refused.
TEST(MeterBehaviourTest, ReadingLinesHoldWhatTheFrameCanShow) {
    const struct {
        const char* line;
        const char* columns;  // power | range | swr
    } rows[] = {
        {"reading watts=250 swr=3.5", " 250.00 1 3.50"}, {"reading watts=250.01", " 250.01 0 1.50"},
        {"reading watts=0", "   0.00 2 1.50"},           {"reading watts=9999.99", "9999.99 0 1.50"},
        {"reading watts=10000", ""},                     {"reading watts=-0.01", ""},
        {"reading swr=1", " 100.00 1 1.00"},             {"reading swr=0.99", ""},
        {"reading swr=9.99", " 100.00 1 9.99"},          {"reading swr=10", ""},
        {"reading swr=nan", ""},                         {"reading watts=1e400", ""},
        {"reading", ""},                                 {"reading volts=3", ""},
        {"reading watts=", ""},                          {"reading watts=5x", ""},
    };
    for (const auto& row : rows) {
        MeterBehaviour meter(SimOptions{});
        const std::string done = meter.control(row.line);
        const std::string frame = buildFrame(meter.model().nextReading());
        const std::string columns = frame.substr(1, 7) + " " + frame.substr(30, 1) + " " + frame.substr(39, 4);
        EXPECT_EQ(done.starts_with("reading refused") ? "" : columns, row.columns) << row.line << ": " << done;
    }
}

TEST(SimOptionsTest, ParsesSwitches) {
    const char* argv[] = {"sim",      "--port",        "7",     "--dir", "/tmp/x",
                          "--steady", "--trailing-cr", "--gap", "250"};
    SimOptions options;
    std::string error;
    ASSERT_TRUE(parseOptions(9, const_cast<char**>(argv), options, error)) << error;
    EXPECT_EQ(options.port, 7);
    EXPECT_EQ(options.folder, "/tmp/x");
    EXPECT_TRUE(options.steady);
    EXPECT_EQ(options.fault, Fault::TrailingCr);
    EXPECT_EQ(options.gapMs, 250);
    for (const char* bad : {"--port=3", "--bogus"}) {
        const char* args[] = {"sim", bad};
        EXPECT_FALSE(parseOptions(2, const_cast<char**>(args), options, error)) << bad;
    }
    const char* noNumber[] = {"sim", "--port", "256"};
    EXPECT_FALSE(parseOptions(3, const_cast<char**>(noNumber), options, error));

    const char* vanish[] = {"sim", "--vanish-after", "1500", "--vanish-for", "300"};
    ASSERT_TRUE(parseOptions(5, const_cast<char**>(vanish), options, error)) << error;
    EXPECT_EQ(options.vanishAfterMs, 1500);
    EXPECT_EQ(options.vanishForMs, 300);
    EXPECT_EQ(options.generation, Generation::Newer);
    const char* line[] = {"sim", "--generation", "older", "--turnaround", "7", "--generation"};
    ASSERT_TRUE(parseOptions(5, const_cast<char**>(line), options, error)) << error;
    EXPECT_TRUE(options.generation == Generation::Older && options.turnaroundMs == 7);
    EXPECT_FALSE(parseOptions(6, const_cast<char**>(line), options, error)) << "no generation";
}

TEST(LineControlTest, VanishAndFloodTakeMilliseconds) {
    using Kind = LineControl::Kind;
    const auto vanish = parseLineControl("vanish 250");
    ASSERT_TRUE(vanish);
    EXPECT_EQ(vanish->kind, Kind::Vanish);
    EXPECT_EQ(vanish->duration.count(), 250);
    EXPECT_EQ(parseLineControl("flood 12000")->kind, Kind::Flood);
    EXPECT_EQ(parseLineControl("turnaround 5")->kind, Kind::Turnaround);
    for (const char* bad : {"vanish", "vanish ", "vanish -1", "vanish 2s", "flood x", "gap 5"}) {
        EXPECT_FALSE(parseLineControl(bad)) << bad;
    }
}

// The meter of one generation answering one command sent at the panel's line
// speed: when the reply's last character has arrived, counted from the moment
// the command was handed over.
struct LineCase {
    Generation meter;
    int panelBaud;
    std::string command;
    double replyEndsMs;  // the command's characters + 2 ms turnaround + 43 characters; 0: none
    std::size_t frames = 1;
};

TEST(MeterLineTest, RepliesTakeTheirTimeOnTheWireAndAWrongSpeedGarbles) {
    using namespace std::chrono_literals;
    const LineCase cases[] = {
        {Generation::Older, 38400, ";P?", 0.78125 + 2 + 11.19792},
        {Generation::Newer, 115200, "P", 0.08681 + 2 + 3.73264},
        {Generation::Newer, 115200, ";P?", 0.26042 + 2 + 3.73264},
        // Two replies due almost at once: the second waits for the line.
        {Generation::Newer, 115200, "PP", 0.08681 + 2 + 2 * 3.73264, 2},
        {Generation::Older, 38400, "P", 0},  // the short commands came later
        {Generation::Newer, 38400, ";P?", 0},
        {Generation::Older, 115200, "P", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command + " at " + std::to_string(c.panelBaud));
        SimOptions options;
        options.generation = c.meter;
        MeterBehaviour meter(options);
        CommandParser parser;
        PacedLine line;
        const int meterBaud = lineSpeedOf(c.meter);
        const auto sent = Clock::now();
        std::string noise;
        for (const auto& [command, end] :
             hearCommands(parser, c.command, sent, c.panelBaud, meterBaud, noise)) {
            for (auto& write : meter.handle(command, end + 2ms).writes) {
                line.send(write.bytes, write.due, meterBaud);
            }
        }
        EXPECT_EQ(noise.empty(), c.panelBaud == meterBaud);
        const auto ends = sent + std::chrono::round<std::chrono::nanoseconds>(
                                     std::chrono::duration<double, std::milli>(c.replyEndsMs));
        const std::string early = line.takeArrived(ends - 5us);
        EXPECT_EQ(early.size(), c.replyEndsMs > 0 ? c.frames * kFrameLength - 1 : 0) << "the last one is late";
        const std::string all = early + line.takeArrived(ends + 5us);
        EXPECT_EQ(isStatusFrame(all.substr(0, kFrameLength)), c.replyEndsMs > 0);
        EXPECT_EQ(all.size(), c.replyEndsMs > 0 ? c.frames * kFrameLength : 0);
    }
    // A flood at 115200 baud: 115 characters in 10 ms, no more.
    PacedLine flood;
    const auto start = Clock::now();
    flood.keepBusy('#', start + 10ms, start, 115200);
    EXPECT_EQ(flood.takeArrived(start + 10ms).size(), 115u);

    // What the panel's end makes of characters sent at the other speed.
    const std::string frame = buildFrame(ReadingModel{}.nextReading());
    EXPECT_EQ(receivedAtSpeed("P", 115200, 38400), "\xfe");
    EXPECT_EQ(receivedAtSpeed("P", 38400, 115200), std::string("\0\x1c", 2));
    EXPECT_EQ(receivedAtSpeed(frame, 115200, 38400).size(), 14u);
    EXPECT_FALSE(isStatusFrame(receivedAtSpeed(frame, 38400, 115200)));
}

}  // namespace
}  // namespace veltro::sim
