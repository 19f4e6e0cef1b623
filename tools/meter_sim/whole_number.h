#pragma once

#include <charconv>
#include <string_view>

namespace veltro::sim {

// `text` as a whole number from low to high, nothing before or after it.
inline bool parseWholeNumber(std::string_view text, int low, int high, int& value) {
    int parsed = 0;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, parsed);
    if (ec != std::errc() || ptr != end || text.empty() || parsed < low || parsed > high) {
        return false;
    }
    value = parsed;
    return true;
}

}  // namespace veltro::sim
