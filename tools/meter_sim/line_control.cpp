#include "line_control.h"

#include <charconv>

namespace veltro::sim {

std::optional<LineControl> parseLineControl(const std::string& line) {
    const auto space = line.find(' ');
    if (space == std::string::npos) {
        return std::nullopt;
    }
    const std::string key = line.substr(0, space);
    LineControl control{};
    if (key == "vanish") {
        control.kind = LineControl::Kind::Vanish;
    } else if (key == "flood") {
        control.kind = LineControl::Kind::Flood;
    } else if (key == "turnaround") {
        control.kind = LineControl::Kind::Turnaround;
    } else {
        return std::nullopt;
    }
    const char* begin = line.data() + space + 1;
    const char* end = line.data() + line.size();
    int ms = 0;
    auto [ptr, ec] = std::from_chars(begin, end, ms);
    if (ec != std::errc() || ptr != end || begin == end || ms < 0 || ms > 3600000) {
        return std::nullopt;
    }
    control.duration = std::chrono::milliseconds(ms);
    return control;
}

}  // namespace veltro::sim
