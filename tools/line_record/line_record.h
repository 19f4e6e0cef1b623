#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace veltro::record {

// One chunk of line traffic as it was read from one side, one line of the
// file: "<ms> <direction> <bytes>", ms counted from the start of the
// recording, '>' for bytes going to the meter, '<' for bytes coming from it.
enum class Direction { ToMeter, FromMeter };

struct Chunk {
    std::int64_t ms = 0;
    Direction direction = Direction::ToMeter;
    std::string bytes;
};

// The first line of every recording.
inline constexpr std::string_view kHeader =
    "# veltro line recording: ms since start, > to meter or < from meter, bytes "
    "(\\\\ a backslash, \\xHH any other byte outside 0x20-0x7e and a final space)";

// Bytes 0x20..0x7e stand for themselves except the backslash ("\\"); every
// other byte, and a space that would end the line, is "\xHH" (lower-case
// hex). So any byte sequence round-trips and no line ends in white space.
std::string escapeBytes(std::string_view bytes);
std::optional<std::string> unescapeBytes(std::string_view text);

// Without the line's end.
std::string formatChunk(const Chunk& chunk);
// Empty for a malformed line.
std::optional<Chunk> parseChunk(std::string_view line);

// All chunks of a recording; comment lines ("#...") and empty lines are
// skipped. False with a message naming the first bad line.
bool readRecording(const std::string& path, std::vector<Chunk>& chunks, std::string& error);

}  // namespace veltro::record
