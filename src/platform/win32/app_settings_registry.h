#pragma once

#include <windows.h>

#include <string>

namespace veltro::win32 {

// Where the platform's per-user application-settings call keeps
// <application>\<section>, below HKEY_CURRENT_USER.
std::string appSettingsKeyPath(const std::string& application, const std::string& section);

// Writes `value` as a REG_SZ value `name` in that key, creating the key as
// needed. The text goes in byte for byte, read in the ANSI code page as the
// settings call stores it, up to its first NUL (where a REG_SZ ends for every
// reader). A key that cannot be created or written is silently left alone.
void saveAppSetting(const std::string& application, const std::string& section,
                    const std::string& name, const std::string& value);

// The same below `root` instead of HKEY_CURRENT_USER.
void saveAppSetting(HKEY root, const std::string& application, const std::string& section,
                    const std::string& name, const std::string& value);

}  // namespace veltro::win32
