#pragma once

#include <string>

namespace veltro {

// Help > About: two lines joined by CR LF; the first starts with 23 spaces.
std::string aboutText();

// Help > Index: where the meter's manuals are.
std::string indexText();

}  // namespace veltro
