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
        last = cycle.tick(port, version);
        return port.writes;
    }

    FakeSerialPort port;
    int version = 0;  // chkVersion
    CycleResult last = CycleResult::PortClosed;
    PollCycle cycle;
};

TEST_F(PollCycleTest, AcceptedFrameIsDecodedWithItsDerivedValues) {
    const std::string accepted = frame();
    EXPECT_EQ(tick(accepted), Writes{";P?"});
    EXPECT_EQ(last, CycleResult::Accepted);
    EXPECT_EQ(cycle.record.FrameText, accepted);
    EXPECT_EQ(cycle.record.ReadingText, "40.9");
    EXPECT_EQ(cycle.record.MeterCallsign, "AB    ");
    EXPECT_DOUBLE_EQ(cycle.record.ForwardPower, 12.3);
    EXPECT_GT(cycle.record.Resistance, 43.0);
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
        EXPECT_EQ(last, CycleResult::Rejected);
        EXPECT_TRUE(cycle.record.FrameText.empty());
        EXPECT_DOUBLE_EQ(cycle.record.ForwardPower, 12.3);
        EXPECT_TRUE(cycle.AlarmCommandPending);
    }
}

TEST_F(PollCycleTest, GarbageThatPassesTheTestDecodesByTheFixedPointRule) {
    std::string garbage = ";" + std::string(42, '\0');
    garbage[5] = '7';
    tick(garbage);
    EXPECT_EQ(last, CycleResult::Accepted);
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
        version = c.version;
        EXPECT_EQ(tick(frame()), c.poll);
        cycle.callsignTextChanged("AB");
        cycle.requestCallsign();
        cycle.requestPowerMode();
        cycle.requestAlarm();
        cycle.requestAlarm();  // a second click adds nothing
        EXPECT_EQ(tick(frame()), c.commands);
        EXPECT_FALSE(cycle.anyPending());
        EXPECT_EQ(tick(""), c.poll);
    }
}

TEST_F(PollCycleTest, DialectIsReadAtEachWrite) {
    cycle.requestAlarm();
    version = 1;
    EXPECT_EQ(tick(frame()), Writes{"A"});
    version = 0;
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
    EXPECT_EQ(last, CycleResult::PortClosed);
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
    EXPECT_EQ(last, CycleResult::Accepted);
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
