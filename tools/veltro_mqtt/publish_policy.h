#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "chunk_queue.h"
#include "station_values.h"

namespace veltro::tap {

// How often what goes out; one place, so a test can shorten it.
struct PolicyTiming {
    std::chrono::milliseconds stateMinInterval{250};
    // A change below the thresholds waits at most this long.
    std::chrono::milliseconds heldBackFlush{2000};
    std::chrono::milliseconds linkTimeout{3000};
    std::chrono::milliseconds heartbeat{30000};
};

// Every topic under veltro/<id>/ that may hold a retained message: the one
// list that --forget clears. A new topic is added here.
inline constexpr const char* kRetainedSubtopics[] = {"status", "link", "state", "tx", "alarm"};

// One retained message under veltro/<id>/.
struct Message {
    std::string subtopic;
    std::string payload;
    int qos = 1;
};

// When each topic is published. Every accepted frame is looked at; "tx",
// "alarm" and "link" go out the moment they change; "state" at most every
// stateMinInterval and only for a change beyond the thresholds, while a
// smaller change (or a value held back by the interval) still goes out
// within heldBackFlush, or at once when the link drops. Everything again at
// each heartbeat and whenever the broker connection is (re)made. When the
// link drops, "tx" and "alarm" say OFF: nothing current says otherwise.
class PublishPolicy {
  public:
    explicit PublishPolicy(PolicyTiming timing) : timing_(timing) {}

    void onFrame(Clock::time_point now, const StationValues& values, std::vector<Message>& out);
    void onTime(Clock::time_point now, std::vector<Message>& out);
    void everything(Clock::time_point now, std::vector<Message>& out);
    Clock::time_point nextDue() const;

  private:
    void sendState(Clock::time_point now, std::vector<Message>& out);
    void considerState(Clock::time_point due);

    PolicyTiming timing_;
    std::optional<StationValues> latest_;
    std::optional<StationValues> published_;
    std::optional<Clock::time_point> stateDue_;
    Clock::time_point lastState_{};
    Clock::time_point lastAccepted_{};
    Clock::time_point nextHeartbeat_ = Clock::time_point::max();
    bool link_ = false;
    std::optional<bool> tx_;
    std::optional<bool> alarm_;
};

}  // namespace veltro::tap
