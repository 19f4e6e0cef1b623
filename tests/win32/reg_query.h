#pragma once

#include <optional>
#include <string>

namespace veltro::testing {

// The text `reg query <key> /v <name>` prints as the data of a REG_SZ value;
// nothing when reg finds no such value or cannot be run.
std::optional<std::string> regQuery(const std::string& key, const std::string& name);

}  // namespace veltro::testing
