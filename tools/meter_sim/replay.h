#pragma once

#include <optional>
#include <string>
#include <vector>

#include "meter_behaviour.h"

namespace veltro::sim {

// A line recording played back as the meter: each poll is answered with the
// next reply recorded after a poll, in order, its chunks as far apart as
// they were on the line. Once the recording is used up the meter is silent.
class Replay {
  public:
    // False with a message for a file that is no line recording.
    bool load(const std::string& path, std::string& error);

    MeterBehaviour::Outcome answerPoll(Clock::time_point now);
    std::size_t replies() const { return replies_.size(); }

  private:
    struct Part {
        std::chrono::milliseconds after;  // since the poll
        std::string bytes;
    };
    std::vector<std::vector<Part>> replies_;
    std::size_t next_ = 0;
};

}  // namespace veltro::sim
