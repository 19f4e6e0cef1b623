#include "meter/poll_cycle.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <random>
#include <string>
#include <vector>

#include "meter/fake_serial_port.h"
#include "meter/status_frame.h"

namespace veltro {
namespace {

using testing::FakeSerialPort;
using Writes = std::vector<std::string>;

// Records the display calls in order, with what each was given.
class RecordingDisplay : public PollDisplay {
  public:
    int versionValue() const override { return version; }
    void setLinkLamp(bool green) override { calls.push_back(green ? "lamp green" : "lamp red"); }
    void showInputString(const std::string& text) override { calls.push_back("text1 " + text); }
    void publishReading(const std::string& text) override { calls.push_back("publish " + text); }
    void showCallsign(const std::string& callsign) override {
        calls.push_back("callsign " + callsign);
    }
    void updateReadout(ReadingRecord& record) override {
        calls.push_back("readout");
        resistanceAtReadout = record.Resistance;
    }
    void updateBargraphs(ReadingRecord&) override { calls.push_back("bargraphs"); }

    int version = 0;
    std::vector<std::string> calls;
    double resistanceAtReadout = -1;
};

class PollCycleTest : public ::testing::Test {
  protected:
    std::string frame(double watts = 12.3) {
        FrameFields fields;
        fields.forwardPower = watts;
        fields.phase = 30;
        fields.callsign = "AB";
        fields.powerDbm = 40.9;
        fields.swr = 1.5;
        return buildFrame(fields);
    }
    // One tick; returns what it wrote.
    Writes tick(std::string reply = "") {
        port.replies.push_back(std::move(reply));
        port.writes.clear();
        display.calls.clear();
        cycle.tick(port, display);
        return port.writes;
    }

    FakeSerialPort port;
    RecordingDisplay display;
    PollCycle cycle;
};

TEST_F(PollCycleTest, AcceptedFrameDrivesTheDisplayInOrder) {
    const std::string accepted = frame();
    EXPECT_EQ(tick(accepted), Writes{";P?"});
    const std::vector<std::string> expected = {
        "lamp green",      "text1 " + accepted, "publish 40.9",
        "callsign AB    ", "readout",           "bargraphs",
    };
    EXPECT_EQ(display.calls, expected);
    EXPECT_EQ(cycle.record.FrameText, accepted);
    EXPECT_DOUBLE_EQ(cycle.record.ForwardPower, 12.3);
    EXPECT_GT(display.resistanceAtReadout, 43.0);  // derived before the readout
    EXPECT_EQ(port.outBufferClears, 2);
}

TEST_F(PollCycleTest, RejectedReplyChangesNothingButTheLamp) {
    const std::string first = frame(12.3);
    tick(first);
    cycle.requestAlarm();
    const std::vector<std::string> rejected = {"",
                                               first + "\r",
                                               first.substr(1),
                                               "," + first.substr(1),
                                               first + first,
                                               ";" + std::string(1 << 20, '\xFF')};
    for (const auto& reply : rejected) {
        cycle.clearPending();
        cycle.requestAlarm();
        EXPECT_EQ(tick(reply), Writes{});
        EXPECT_EQ(display.calls, std::vector<std::string>{"lamp red"});
        EXPECT_TRUE(cycle.record.FrameText.empty());
        EXPECT_DOUBLE_EQ(cycle.record.ForwardPower, 12.3);
        EXPECT_TRUE(cycle.AlarmCommandPending);
    }
}

TEST_F(PollCycleTest, GarbageThatPassesTheTestDecodesByTheFixedPointRule) {
    std::string garbage = ";" + std::string(42, '\0');
    garbage[5] = '7';
    tick(garbage);
    EXPECT_EQ(display.calls.front(), "lamp green");
    EXPECT_DOUBLE_EQ(cycle.record.ForwardPower, 0);
    EXPECT_EQ(cycle.record.MeterCallsign, std::string(6, '\0'));

    std::mt19937 random(7);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int i = 0; i < 200; ++i) {
        std::string noise(kFrameLength, ';');
        for (std::size_t k = 1; k < noise.size(); ++k) {
            noise[k] = static_cast<char>(byte(random));
        }
        tick(noise);
        EXPECT_EQ(cycle.record.FrameText, noise);
        EXPECT_EQ(cycle.record.FrameText.size(), kFrameLength);
    }
}

TEST_F(PollCycleTest, BothDialectsAndCommandOrder) {
    struct Case {
        int version;
        Writes poll, commands;
    };
    const std::vector<Case> cases = {
        {0, {";P?"}, {";A?", ";F?", ";CAB    ?"}},
        {1, {"P"}, {"A", "F", ";CAB    ?"}},
    };
    for (const auto& c : cases) {
        display.version = c.version;
        EXPECT_EQ(tick(frame()), c.poll);
        cycle.callsignTextChanged("AB");
        cycle.requestCallsign();
        cycle.requestPowerMode();
        cycle.requestAlarm();
        cycle.requestAlarm();  // a second click adds nothing
        EXPECT_EQ(tick(frame()), c.commands);
        EXPECT_EQ(display.calls.back(), "bargraphs");  // commands after the displays
        EXPECT_FALSE(cycle.anyPending());
        EXPECT_EQ(tick(""), c.poll);
    }
}

TEST_F(PollCycleTest, DialectIsReadAtEachWrite) {
    cycle.requestAlarm();
    display.version = 1;
    EXPECT_EQ(tick(frame()), Writes{"A"});
    display.version = 0;
    EXPECT_EQ(tick(frame()), Writes{";P?"});
}

TEST_F(PollCycleTest, CallsignCommandCarriesTheTextAtWriteTime) {
    cycle.callsignTextChanged("AB");
    cycle.requestCallsign();
    cycle.callsignTextChanged("ABCDEFGH");
    EXPECT_EQ(tick(frame()), Writes{";CABCDEF?"});
}

TEST_F(PollCycleTest, CallsignNeverEditedSendsNothingAndKeepsPolling) {
    cycle.requestCallsign();
    EXPECT_FALSE(cycle.CallsignCommandPending);
    EXPECT_EQ(tick(frame()), Writes{";P?"});
}

TEST_F(PollCycleTest, WhatArrivedIsReadBeforeThePollGoesOut) {
    EXPECT_EQ(tick(frame()), Writes{";P?"});
    EXPECT_EQ(port.writesBeforeInput, 0u);
}

TEST_F(PollCycleTest, ClosedPortDoesOnlyTheFirstSteps) {
    tick(frame());
    const std::string shown = cycle.record.FrameText;
    cycle.requestPowerMode();
    port.setPortOpen(false);
    port.outBufferClears = 0;
    EXPECT_EQ(tick(frame(99)), Writes{});
    EXPECT_TRUE(display.calls.empty());
    EXPECT_EQ(port.outBufferClears, 1);
    EXPECT_EQ(port.inputReads, 1);  // only the first, open tick read input
    EXPECT_TRUE(cycle.record.FrameText.empty());
    EXPECT_DOUBLE_EQ(cycle.record.ForwardPower, 12.3);
    EXPECT_TRUE(cycle.PowerModeCommandPending);
}

TEST_F(PollCycleTest, SilentMeterWithPendingCommandKeepsPolling) {
    cycle.requestAlarm();
    // Two rejected cycles without a poll, then a recovery poll; each further
    // recovery poll waits one cycle longer.
    const std::vector<Writes> expected = {{}, {}, {";P?"}, {}, {}, {}, {";P?"}, {}};
    for (const auto& writes : expected) {
        EXPECT_EQ(tick(""), writes);
    }
    EXPECT_TRUE(cycle.AlarmCommandPending);
}

TEST_F(PollCycleTest, CommandFollowsTheAnswerToARecoveryPoll) {
    cycle.requestAlarm();
    tick("garbage");
    tick("garbage");
    // The recovery poll's cycle happens to read a stale frame: no command yet.
    EXPECT_EQ(tick(frame()), Writes{";P?"});
    EXPECT_EQ(display.calls.front(), "lamp green");
    EXPECT_TRUE(cycle.AlarmCommandPending);
    // The answer to the recovery poll: command, no poll.
    EXPECT_EQ(tick(frame()), Writes{";A?"});
    EXPECT_FALSE(cycle.AlarmCommandPending);
    EXPECT_EQ(tick(""), Writes{";P?"});
}

// A meter that answers each poll two ticks late: the pending command still
// goes out, never in a cycle that polled.
TEST_F(PollCycleTest, LateMeterStillGetsThePendingCommand) {
    std::deque<int> answerDue;  // tick numbers at which an answer arrives
    cycle.requestAlarm();
    bool sent = false;
    for (int n = 0; n < 30 && !sent; ++n) {
        const bool answerNow = !answerDue.empty() && answerDue.front() == n;
        if (answerNow) {
            answerDue.pop_front();
        }
        const Writes writes = tick(answerNow ? frame() : "");
        const bool polled = std::find(writes.begin(), writes.end(), ";P?") != writes.end();
        sent = std::find(writes.begin(), writes.end(), ";A?") != writes.end();
        EXPECT_FALSE(polled && sent) << "tick " << n;
        if (polled) {
            answerDue.push_back(n + 3);
        }
    }
    EXPECT_TRUE(sent);
    EXPECT_FALSE(cycle.AlarmCommandPending);
}

TEST_F(PollCycleTest, ClearPendingRestartsTheRecoveryCount) {
    cycle.requestAlarm();
    tick("");
    tick("");
    cycle.clearPending();
    cycle.requestAlarm();
    EXPECT_EQ(tick(""), Writes{});
    EXPECT_EQ(tick(""), Writes{});
    EXPECT_EQ(tick(""), Writes{";P?"});
}

}  // namespace
}  // namespace veltro
