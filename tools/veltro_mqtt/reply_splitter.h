#pragma once

#include <optional>
#include <string>

#include "line_record.h"

namespace veltro::tap {

// Cuts the meter's bytes into replies the way the panel's poll cycle reads
// them: everything the meter sends between two writes of the panel is one
// reply, tested whole. Only the first 44 bytes are kept: a longer reply can
// never be a frame.
class ReplySplitter {
  public:
    // The finished reply when a panel write closes one that holds bytes.
    std::optional<std::string> feed(record::Direction direction, const std::string& bytes);
    void reset() { *this = ReplySplitter{}; }

  private:
    bool panelHasWritten_ = false;
    std::string reply_;
};

}  // namespace veltro::tap
