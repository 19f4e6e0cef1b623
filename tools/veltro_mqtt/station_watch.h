#pragma once

#include <chrono>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "chunk_queue.h"
#include "publish_policy.h"
#include "station_values.h"
#include "transmission_record.h"

namespace veltro::tap {

struct WatchSettings {
    std::chrono::milliseconds peakHold{1000};  // 0: no peak in the state
    double tripSwr = 3.0;                      // 0: the trip is off
    double tripMinW = 5;
    std::chrono::milliseconds txHang{1500};    // shorter pauses are bridged
    std::chrono::milliseconds linkTimeout{3000};  // the policy's: the link is lost
};

struct WatchFrame {
    Clock::time_point at;
    WallClock::time_point wall;
    StationValues values;
};

struct WatchOutput {
    std::vector<Message> messages;  // trip, trip/detail
    std::vector<Transmission> ended;
    std::vector<std::string> notes;  // for the log
};

// What the tap makes of the run of frames beyond each single reading: the
// peak hold, the latched SWR trip and the transmissions. Frames and times
// in, messages out; no clock, no I/O.
class StationWatch {
  public:
    explicit StationWatch(WatchSettings settings) : settings_(settings) {}

    // The peak to publish with this frame, empty while the hold is off.
    std::optional<double> onFrame(const WatchFrame& frame, WatchOutput& out);
    void onTime(Clock::time_point now, WatchOutput& out);
    Clock::time_point nextDue() const;

    // A message on trip/set. Only a live "RESET" clears the trip: a retained
    // one would clear it again at every start.
    void onTripCommand(const std::string& payload, bool retained, WatchOutput& out);
    // What the broker kept of an earlier run ("trip", "trip/detail"); taken
    // only while this run has not decided the trip itself.
    void readBack(const std::string& subtopic, const std::string& payload);
    // The broker has sent all it kept: a trip still unknown is OFF.
    void readBackDone(WatchOutput& out);
    bool tripKnown() const { return trip_ != Trip::Unknown; }

    // Everything retained again (a new broker connection, the heartbeat).
    void everything(WatchOutput& out);
    // The tap stops: an open transmission ends at its last frame.
    void finish(WatchOutput& out);

  private:
    enum class Trip { Unknown, Off, On };
    // Frames of a transmission: up to its last frame with power, or after it.
    struct Span {
        int frames = 0;
        double sumW = 0;
        bool alarm = false;
        bool trip = false;
        std::optional<double> highestSwr;
        std::optional<double> lowestReturnLossDb;
        void add(const Span& other);
    };
    struct Open {
        WallClock::time_point start;
        WallClock::time_point lastTxWall;
        Clock::time_point lastTxAt;
        StationValues peak;
        Span through;  // to the last frame with power
        Span after;    // since: counted only if power comes back
    };

    bool updateTrip(const WatchFrame& frame, WatchOutput& out);
    void setTrip(Trip trip, std::string detail, WatchOutput& out);
    void close(TransmissionEnd end, WatchOutput& out);
    std::optional<double> peak(const WatchFrame& frame);

    WatchSettings settings_;
    std::deque<std::pair<Clock::time_point, double>> window_;  // falling power
    Trip trip_ = Trip::Unknown;
    bool tripFromBroker_ = false;
    std::string detail_;
    int overRun_ = 0;
    bool commandNoted_ = false;
    std::optional<Open> open_;
    std::optional<Clock::time_point> lastFrameAt_;
};

}  // namespace veltro::tap
