// Peak hold, SWR trip and transmissions: frames and times in, messages out.
#include <gtest/gtest.h>

#include <cstdio>

#include "station_watch.h"

namespace veltro::tap {
namespace {

// A frame (watts >= 0) or, with watts < 0, a message on trip/set ("RESET"),
// one the broker kept ("kept trip ON", "kept done") or just time passing.
struct Step {
    int ms;
    double watts;
    double swr = 0;  // 0: unknown; from 2.0 the alarm (set at 2.0) is on
    const char* message = "";
};

struct WatchCase {
    const char* name;
    std::vector<Step> steps;
    std::vector<std::string> expected;  // "ms what"
};

std::string shortened(const Transmission& t, WallClock::time_point origin) {
    const auto ms = [&](WallClock::time_point at) {
        return std::to_string(std::chrono::duration_cast<std::chrono::milliseconds>(at - origin).count());
    };
    char figures[96];
    std::snprintf(figures, sizeof figures, " peak %.2f mean %.2f frames %d swr %.2f", t.peakForwardW,
                  t.meanForwardW, t.frames, t.highestSwr.value_or(0));
    const char* ends[] = {"", " link lost", " tap stopped"};
    return "transmission " + ms(t.start) + "-" + ms(t.end) + figures + (t.alarmSeen ? " alarm" : "") +
           (t.tripSeen ? " trip" : "") + ends[static_cast<int>(t.ended)];
}

const WatchCase kCases[] = {
    {"peak kept just under the window, gone at it",
     {{0, 100}, {500, 10}, {999, 10}, {1000, 10}},
     {"0 peak 100.00", "1000 peak 10.00"}},
    {"trip needs power and SWR at the thresholds two frames in a row",
     {{0, 100, 3.0}, {50, 100, 2.99}, {100, 100, 3.0}, {150, 4.99, 4.0}, {200, 5, 3.0}, {250, 5, 3.5}},
     {"0 peak 100.00", "250 trip ON",
      R"(250 trip/detail {"at":"2026-12-09T13:00:00.250Z","swr":3.50,"forward_w":5.00})"}},
    {"the trip stays until a live RESET, other payloads logged once",
     {{0, 100, 4}, {50, 100, 4}, {100, 100, 1.2}, {150, -1, 0, "reset"}, {160, -1, 0, "retained RESET"},
      {200, -1, 0, "RESET"}, {250, 100, 4}, {300, 100, 4}, {5000, -1}},
     {"0 peak 100.00", "50 trip ON", R"(50 trip/detail {"at":"2026-12-09T13:00:00.050Z","swr":4.00,"forward_w":100.00})",
      "150 log trip/set takes only RESET; ignored \"reset\" (logged once)", "200 trip OFF", "200 trip/detail {}",
      "300 trip ON", R"(300 trip/detail {"at":"2026-12-09T13:00:00.300Z","swr":4.00,"forward_w":100.00})",
      "3300 transmission 0-300 peak 100.00 mean 100.00 frames 5 swr 4.00 alarm trip link lost"}},
    {"a pause just under the hang is bridged, one at it ends the transmission; exactly 1 W transmits",
     {{0, 100, 1.5}, {1000, 0}, {1499, 50, 1.8}, {1600, 0}, {2500, 0.99}, {3000, 1}, {3100, 0}, {4700, 0}},
     {"0 peak 100.00", "1000 peak 0.00", "1499 peak 50.00", "2500 peak 0.99",
      "2999 transmission 0-1499 peak 100.00 mean 50.00 frames 3 swr 1.80", "3000 peak 1.00",
      "4500 transmission 3000-3000 peak 1.00 mean 1.00 frames 1 swr 0.00", "4700 peak 0.00"}},
    {"silence past the hang then power is a new transmission; silence past the link's time cuts it",
     {{0, 20}, {1500, 30}, {5000, -1}},
     {"0 peak 20.00", "1500 transmission 0-0 peak 20.00 mean 20.00 frames 1 swr 0.00", "1500 peak 30.00",
      "4500 transmission 1500-1500 peak 30.00 mean 30.00 frames 1 swr 0.00 link lost"}},
    {"frames on both sides of a lost link are not two in a row",
     {{0, 100, 4}, {3000, 100, 4}, {3050, 100, 4}},
     {"0 peak 100.00", "3000 transmission 0-0 peak 100.00 mean 100.00 frames 1 swr 4.00 alarm link lost",
      "3050 trip ON", R"(3050 trip/detail {"at":"2026-12-09T13:00:03.050Z","swr":4.00,"forward_w":100.00})"}},
    {"a trip the broker kept stays ON after a restart",
     {{0, -1, 0, "kept trip ON"}, {10, -1, 0, "kept done"}, {20, -1, 0, "everything"}},
     {"20 trip ON"}},
    {"nothing kept: OFF once the broker has said all",
     {{0, -1, 0, "everything"}, {10, -1, 0, "kept done"}, {20, -1, 0, "kept trip ON"}, {30, -1, 0, "everything"}},
     {"10 trip OFF", "30 trip OFF"}},
};

TEST(StationWatchTest, Timeline) {
    const auto start = Clock::time_point{} + std::chrono::hours(1);
    const auto origin = WallClock::from_time_t(1796821200);  // 2026-12-09T13:00:00Z
    for (const auto& c : kCases) {
        StationWatch watch(WatchSettings{});
        WatchOutput out;
        std::vector<std::string> got;
        std::optional<double> shownPeak;
        auto note = [&](int ms) {
            for (const auto& m : out.messages) {
                got.push_back(std::to_string(ms) + " " + m.subtopic + " " + m.payload);
            }
            for (const auto& t : out.ended) {
                got.push_back(std::to_string(ms) + " " + shortened(t, origin));
            }
            for (const auto& line : out.notes) {
                got.push_back(std::to_string(ms) + " log " + line);
            }
            out = {};
        };
        for (const Step& s : c.steps) {
            const auto at = start + std::chrono::milliseconds(s.ms);
            while (watch.nextDue() <= at) {
                const auto due = watch.nextDue();
                watch.onTime(due, out);
                note(static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(due - start).count()));
            }
            const std::string message = s.message;
            if (s.watts >= 0) {
                WatchFrame frame{at, origin + std::chrono::milliseconds(s.ms), {}};
                frame.values.forwardW = s.watts;
                frame.values.tx = s.watts >= 1;
                frame.values.swr = s.swr > 0 ? std::optional(s.swr) : std::nullopt;
                frame.values.alarm = s.swr >= 2.0;
                const auto peak = watch.onFrame(frame, out);
                note(s.ms);
                if (peak != shownPeak) {
                    char text[32];
                    std::snprintf(text, sizeof text, "%d peak %.2f", s.ms, peak.value_or(-1));
                    got.push_back(text);
                    shownPeak = peak;
                }
            } else if (message == "kept trip ON") {
                watch.readBack("trip", "ON");
            } else if (message == "kept done") {
                watch.readBackDone(out);
            } else if (message == "everything") {
                watch.everything(out);
            } else if (!message.empty()) {
                const bool retained = message.starts_with("retained ");
                watch.onTripCommand(retained ? message.substr(9) : message, retained, out);
            } else {
                watch.onTime(at, out);
            }
            note(s.ms);
        }
        EXPECT_EQ(got, c.expected) << c.name;
    }
}

TEST(StationWatchTest, RecordAsJsonAndAsJournalLine) {
    Transmission t;
    t.start = WallClock::from_time_t(1796821200) + std::chrono::milliseconds(5);
    t.end = t.start + std::chrono::milliseconds(12340);
    t.peakForwardW = 100;
    t.meanForwardW = 62.5;
    t.highestSwr = 1.5;
    t.callsign = "A\"B,\xe9";
    t.mode = "Norm";
    t.frames = 3;
    t.ended = TransmissionEnd::LinkLost;
    EXPECT_EQ(transmissionJson(t),
              R"({"start":"2026-12-09T13:00:00.005Z","end":"2026-12-09T13:00:12.345Z","duration_s":12.340,)"
              R"("peak_forward_w":100.00,"mean_forward_w":62.50,"max_swr":1.50,"alarm":false,"trip":false,)"
              R"("callsign":"A\"B,\u00e9","mode":"Norm","frames":3,"ended":"link lost"})");
    EXPECT_EQ(journalLine(t), "2026-12-09T13:00:00.005Z,2026-12-09T13:00:12.345Z,12.340,100.00,62.50,1.50,,"
                              "false,false,\"A\"\"B,\xc3\xa9\",,Norm,3,link lost\r\n");
}

}  // namespace
}  // namespace veltro::tap
