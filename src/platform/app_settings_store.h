#pragma once

#include <QString>

#include "platform/settings_store.h"

#ifndef Q_OS_WIN
#include "platform/ini_publisher.h"
#endif

namespace veltro {

// The per-user application settings other programs read. On Windows the
// values live in the registry under "HKEY_CURRENT_USER\Software\VB and VBA
// Program Settings", key <application>\<section>, where those programs look.
// Elsewhere they go to <runtime folder>/<application>/<application>.ini,
// group <section>: the user's runtime folder ($XDG_RUNTIME_DIR) is in memory,
// so publishing many times a second writes nothing to a disk, and it is
// emptied at reboot, so no "Active" = "Y" outlives the session.
// Every write reaches the file or the registry at once.
class AppSettingsStore : public SettingsStore {
  public:
    // The runtime folder is looked up here, once.
    AppSettingsStore();

    void saveSetting(const std::string& application, const std::string& section,
                     const std::string& name, const std::string& value) override;

    // Registry path (Windows) or ini file path (elsewhere) used for `application`.
    QString storageLocation(const std::string& application) const;

  private:
    QString folder_;
#ifndef Q_OS_WIN
    IniPublisher publisher_;
    // The file name of the application last written, as the publisher takes it.
    std::string lastApplication_;
    std::string lastFileName_;
#endif
};

}  // namespace veltro
