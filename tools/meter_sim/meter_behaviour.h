#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "command_parser.h"
#include "firmware_generation.h"
#include "reading_model.h"
#include "sim_options.h"

namespace veltro::sim {

using Clock = std::chrono::steady_clock;

struct ScheduledWrite {
    Clock::time_point due;
    std::string bytes;
};

// The meter's answers to commands, with the fault currently switched on.
class MeterBehaviour {
  public:
    struct Outcome {
        std::vector<ScheduledWrite> writes;
        std::string note;  // for the log line, e.g. "ignored: busy"
    };

    explicit MeterBehaviour(const SimOptions& options);

    Outcome handle(const MeterCommand& command, Clock::time_point now);

    // A control line from stdin ("split", "steady", "gap 300",
    // "generation older", ...); returns
    // what it did, or an empty text for a line it does not understand.
    std::string control(const std::string& line);

    ReadingModel& model() { return model_; }
    Fault fault() const { return fault_; }
    Generation generation() const { return generation_; }

  private:
    Outcome answerPoll(Clock::time_point now);

    ReadingModel model_;
    Fault fault_;
    Generation generation_;
    std::chrono::milliseconds gap_;
    std::chrono::milliseconds delay_;
    Clock::time_point busyUntil_{};
};

}  // namespace veltro::sim
