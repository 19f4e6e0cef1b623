#pragma once

#include <optional>
#include <string>

#include "command_parser.h"

namespace veltro::sim {

// The meter's firmware generation fixes its line speed and the commands it
// knows: the older one runs at 38400 baud and knows only the long commands
// (";P?"); the newer one runs at 115200 baud, added the short ones ("P") and
// kept the long ones, since the call-sign command has only a long form.
enum class Generation { Older, Newer };

std::optional<Generation> generationByName(const std::string& name);
const char* generationName(Generation generation);
int lineSpeedOf(Generation generation);
bool understands(Generation generation, const MeterCommand& command);

}  // namespace veltro::sim
