#include "reply_splitter.h"

#include "meter/status_frame.h"

namespace veltro::tap {

std::optional<std::string> ReplySplitter::feed(record::Direction direction, const std::string& bytes) {
    if (direction == record::Direction::FromMeter) {
        if (panelHasWritten_ && reply_.size() <= kFrameLength) {
            reply_.append(bytes, 0, kFrameLength + 1 - reply_.size());
        }
        return std::nullopt;
    }
    panelHasWritten_ = true;
    if (reply_.empty()) {
        return std::nullopt;
    }
    std::optional<std::string> done = std::move(reply_);
    reply_.clear();
    return done;
}

}  // namespace veltro::tap
