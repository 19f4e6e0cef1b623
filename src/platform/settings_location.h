#pragma once

#include <QString>
#include <QStringList>

namespace veltro {

// The per-user folder for config.ini and ports/ when the program's own folder
// is read-only (an installed package): veltro-panel in the platform's per-user
// configuration folder ($XDG_CONFIG_HOME, normally ~/.config, on Linux; the
// local application-data folder on Windows). Empty when the platform names
// no such folder.
QString perUserSettingsFolder();

// Whether a file can be created in the folder. Tried rather than read from
// permission bits, which say nothing of read-only mounts or Windows ACLs.
bool folderWritable(const QString& folder);

// The folder whose config.ini a run uses: the program's folder while it is
// writable, else the per-user folder, created when missing (silently, if it
// can be) and, when it holds no config.ini, given a copy of the program
// folder's one. The program's folder again when there is no per-user folder,
// or one that can neither hold a config.ini nor has one. Decided once at
// start-up.
QString settingsFolderFor(const QString& programDir);

// Where ports/com<n> is looked for, in order: the program's folder, then the
// per-user folder when that is another one, whichever of them holds config.ini.
QStringList portLinkFolders(const QString& programDir, const QString& userDir);

}  // namespace veltro
