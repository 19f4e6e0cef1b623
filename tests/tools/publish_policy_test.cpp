// When veltro-mqtt publishes what, and what its state JSON leaves out.
#include <gtest/gtest.h>

#include "chunk_queue.h"
#include "meter/derived.h"
#include "discovery.h"
#include "publish_policy.h"

namespace veltro::tap {
namespace {

// A frame with this forward power at `ms`, or (watts < 0) time passing.
struct Event {
    int ms;
    double watts;
    std::optional<bool> alarm = {};
};

struct PolicyCase {
    const char* name;
    std::vector<Event> events;
    std::vector<std::string> published;  // "ms topic payload"; state by its power
};

std::string shortened(const Message& m) {
    if (m.subtopic != "state") {
        return m.payload;
    }
    const auto at = m.payload.find(':') + 1;
    return m.payload.substr(at, m.payload.find(',') - at);
}

TEST(PublishPolicyTest, RatesAndHeldBackValues) {
    const PolicyCase cases[] = {
        {"first frame", {{0, 100}}, {"0 link online", "0 tx ON", "0 state 100.00"}},
        {"a big change waits for the interval",
         {{0, 100}, {100, 150}, {400, -1}},
         {"0 link online", "0 tx ON", "0 state 100.00", "250 state 150.00"}},
        {"a small change still goes out",
         {{0, 100}, {500, 100.5}, {2500, -1}},
         {"0 link online", "0 tx ON", "0 state 100.00", "2000 state 100.50"}},
        {"a big jump right after a small drift waits only for the interval",
         {{0, 100}, {100, 100.5}, {200, 150}, {400, -1}},
         {"0 link online", "0 tx ON", "0 state 100.00", "250 state 150.00"}},
        {"a lost link takes tx and alarm to OFF",
         {{0, 100, true}, {3500, -1}},
         {"0 link online", "0 tx ON", "0 alarm ON", "0 state 100.00", "3000 link offline", "3000 tx OFF",
          "3000 alarm OFF"}},
        {"tx at once, silence turns the link offline",
         {{0, 100}, {100, 0.5}, {3500, -1}},
         {"0 link online", "0 tx ON", "0 state 100.00", "100 tx OFF", "250 state 0.50",
          "3100 link offline"}},
    };
    const auto start = Clock::time_point{} + std::chrono::hours(1);
    for (const auto& c : cases) {
        PublishPolicy policy(PolicyTiming{});
        std::vector<std::string> got;
        std::vector<Message> out;
        auto note = [&](int ms) {
            for (const auto& m : out) {
                got.push_back(std::to_string(ms) + " " + m.subtopic + " " + shortened(m));
            }
            out.clear();
        };
        for (const Event& e : c.events) {
            const auto at = start + std::chrono::milliseconds(e.ms);
            while (policy.nextDue() <= at) {
                const auto due = policy.nextDue();
                policy.onTime(due, out);
                note(static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(due - start).count()));
            }
            if (e.watts >= 0) {
                StationValues values;
                values.forwardW = e.watts;
                values.tx = e.watts >= 1;
                values.alarm = e.alarm;
                policy.onFrame(at, values, out);
                note(e.ms);
            }
        }
        EXPECT_EQ(got, c.published) << c.name;
    }
}

TEST(StationValuesTest, UnknownValuesAreLeftOutNeverZero) {
    const struct {
        double watts, dbm, swr, alarm, mode;
        const char* json;
        bool tx;  // from exactly 1 W
    } cases[] = {
        {100, 50, 1.5, 2, 0,
         R"({"forward_w":100.00,"dbm":50.0,"swr":1.50,"reflected_w":4.00,"return_loss_db":14.0,)"
         R"("z_ohm":50.0,"phase_deg":0.0,"r_ohm":50.0,"x_ohm":0.0,"alarm_setting":"2.0","range":1,)"
         R"("mode":"Norm","callsign":"AB"})", true},
        {0, 0, 0, 7, 5, R"({"forward_w":0.00,"range":1,"callsign":"AB"})", false},
        {0.99, 0, 0, 7, 5, R"({"forward_w":0.99,"dbm":0.0,"range":1,"callsign":"AB"})", false},
        {5, 37, 1.0, 0, 2,
         R"({"forward_w":5.00,"dbm":37.0,"swr":1.00,"reflected_w":0.00,"z_ohm":50.0,"phase_deg":0.0,)"
         R"("r_ohm":50.0,"x_ohm":0.0,"alarm_setting":"Off","range":1,"mode":"Tune","callsign":"AB"})", true},
        {1, 15, 1.2, 1, 1,
         R"({"forward_w":1.00,"dbm":15.0,"swr":1.20,"reflected_w":0.01,"return_loss_db":20.8,)"
         R"("alarm_setting":"1.5","range":1,"mode":"Peak","callsign":"AB"})", true},
    };
    for (const auto& c : cases) {
        ReadingRecord record;
        record.ForwardPower = c.watts;
        record.PowerDbm = c.dbm;
        record.Swr = c.swr;
        record.ImpedanceMagnitude = 50;
        record.AlarmSetting = c.alarm;
        record.MeterMode = c.mode;
        record.MeterRange = 1;
        record.MeterCallsign = "AB    ";
        ComputeDerived(record);
        EXPECT_EQ(stateJson(stationValues(record)), c.json);
        EXPECT_EQ(stationValues(record).tx, c.tx) << c.watts << " W";
    }
}

// Ids that differ, even only in '-' against '_', never share a device.
TEST(DiscoveryTest, EachIdHasItsOwnTopicAndUniqueIds) {
    const struct {
        const char* id;
        const char* object;
        const char* formerTopic;  // where an earlier version put it, to clear
    } cases[] = {
        {"chain", "veltro_chain", ""},
        {"tx-1", "veltro_tx_2d1", "ha/device/veltro_tx_1/config"},
        {"tx_1", "veltro_tx_5f1", "ha/device/veltro_tx_1/config"},
        {"tx_2d1", "veltro_tx_5f2d1", "ha/device/veltro_tx_2d1/config"},
        {"TX1", "veltro_TX1", ""},
    };
    for (const auto& c : cases) {
        const Discovery d = discoveryFor("ha", "veltro/x", c.id);
        EXPECT_EQ(d.topic, "ha/device/" + std::string(c.object) + "/config");
        EXPECT_NE(d.payload.find("\"unique_id\":\"" + std::string(c.object) + "_tx\""), std::string::npos) << c.id;
        EXPECT_EQ(d.formerTopic, c.formerTopic);
    }
}

// A ring of four: pushed chunks come out in order; one too many is dropped
// and counted, never written over an unread one.
TEST(ChunkQueueTest, AFullRingDropsTheNewestAndCountsIt) {
    const struct {
        int pushes;
        std::string taken;
        std::size_t dropped;
    } rows[] = {{3, "012", 0}, {4, "0123", 0}, {5, "0123", 1}, {9, "0123", 5}};
    for (const auto& row : rows) {
        ChunkQueue queue(4);
        for (int i = 0; i < row.pushes; ++i) {
            queue.push({Clock::now(), record::Direction::FromMeter, std::to_string(i)});
        }
        std::string taken;
        for (const auto& chunk : queue.takeAll(Clock::now())) {
            taken += chunk.bytes;
        }
        EXPECT_EQ(taken, row.taken) << row.pushes;
        EXPECT_EQ(queue.takeDropped(), row.dropped) << row.pushes;
    }
}

}  // namespace
}  // namespace veltro::tap
