#pragma once

#include <QString>

#include "platform/settings_store.h"

namespace veltro {

// Per-user settings on QSettings. On Windows the values live in the registry
// under "HKEY_CURRENT_USER\Software\VB and VBA Program Settings", key
// <application>\<section>, where the programs that read them look.
// Elsewhere they go to <user config folder>/<application>/<application>.ini,
// group <section>.
// Every write reaches the file or the registry at once, for other programs;
// the file is replaced whole and not flushed to the disk.
class QtSettingsStore : public SettingsStore {
  public:
    void saveSetting(const std::string& application, const std::string& section,
                     const std::string& name, const std::string& value) override;

    // Registry path (Windows) or ini file path (elsewhere) used for
    // `application`; follows XDG_CONFIG_HOME at the time of the call.
    static QString storageLocation(const std::string& application);
};

}  // namespace veltro
