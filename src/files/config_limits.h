#pragma once

#include <cstddef>

namespace veltro {

// config.ini's bounds, for its loader and for the copy that seeds a per-user
// folder. The longest value a line may carry, and the most of a file that is
// read: room for two values of the longest length (PwrMode and ComPort, the
// two the panel writes back as it found them) plus the other lines.
inline constexpr std::size_t kMaxSettingValueBytes = std::size_t{1} << 20;
inline constexpr std::size_t kMaxSettingsReadBytes = 2 * kMaxSettingValueBytes + 4096;

}  // namespace veltro
