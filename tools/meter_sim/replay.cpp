#include "replay.h"

#include "command_parser.h"
#include "line_record.h"

namespace veltro::sim {

bool Replay::load(const std::string& path, std::string& error) {
    std::vector<record::Chunk> chunks;
    if (!record::readRecording(path, chunks, error)) {
        return false;
    }
    // The panel's writes, parsed as the meter would; a reply belongs to the
    // poll before it and ends at the panel's next write.
    CommandParser parser;
    std::int64_t pollMs = 0;
    bool inReply = false;
    for (const auto& chunk : chunks) {
        if (chunk.direction == record::Direction::ToMeter) {
            inReply = false;
            for (const auto& command : parser.feed(chunk.bytes)) {
                if (command.kind == MeterCommand::Kind::Poll) {
                    replies_.emplace_back();
                    pollMs = chunk.ms;
                    inReply = true;
                }
            }
        } else if (inReply) {
            const auto after = std::chrono::milliseconds(std::max<std::int64_t>(0, chunk.ms - pollMs));
            replies_.back().push_back({after, chunk.bytes});
        }
    }
    if (replies_.empty()) {
        error = path + " holds no poll to answer";
        return false;
    }
    return true;
}

MeterBehaviour::Outcome Replay::answerPoll(Clock::time_point now) {
    MeterBehaviour::Outcome outcome;
    if (next_ >= replies_.size()) {
        outcome.note = "not answered: the recording is used up";
        return outcome;
    }
    for (const Part& part : replies_[next_]) {
        outcome.writes.push_back({now + part.after, part.bytes});
    }
    ++next_;
    outcome.note = "replayed reply " + std::to_string(next_) + " of " + std::to_string(replies_.size());
    return outcome;
}

}  // namespace veltro::sim
