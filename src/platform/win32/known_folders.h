#pragma once

#include <filesystem>

namespace veltro::win32 {

// The user's local application-data folder (FOLDERID_LocalAppData), created
// when it does not exist yet; empty when the shell cannot name it.
std::filesystem::path localAppDataFolder();

}  // namespace veltro::win32
