#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace veltro::sim {

// What the meter understands, in either dialect: long ";P?", ";A?", ";F?",
// ";C" + six characters + "?", or short "P", "A", "F".
struct MeterCommand {
    enum class Kind { Poll, Alarm, PowerMode, Callsign, Unknown };
    Kind kind = Kind::Unknown;
    std::string text;      // the bytes as received
    std::string callsign;  // the six characters of a call-sign command
};

// Splits the incoming byte stream into commands. Commands arrive back to back
// with no separators and may be cut anywhere between reads; bytes that start
// no command are reported as Unknown, a run of them as one.
class CommandParser {
  public:
    std::vector<MeterCommand> feed(std::string_view bytes);
    // A long command begun but not finished (waiting for more bytes).
    bool hasPartial() const { return !buffer_.empty(); }

  private:
    bool takeOne(std::vector<MeterCommand>& out, std::string& unknown);

    std::string buffer_;
};

const char* describe(MeterCommand::Kind kind);

}  // namespace veltro::sim
