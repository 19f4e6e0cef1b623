#pragma once

#include <chrono>
#include <optional>
#include <string>

namespace veltro::sim {

// Control lines about the line itself rather than the meter's answers:
// "vanish MS" (gone for MS, then back as a new device), "flood MS" and
// "turnaround MS" (from the end of a command to the first character sent).
struct LineControl {
    enum class Kind { Vanish, Flood, Turnaround };
    Kind kind;
    std::chrono::milliseconds duration;
};

std::optional<LineControl> parseLineControl(const std::string& line);

}  // namespace veltro::sim
