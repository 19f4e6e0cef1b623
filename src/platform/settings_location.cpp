#include "platform/settings_location.h"

#include <QDir>
#include <QStandardPaths>
#include <QTemporaryFile>

#ifdef Q_OS_WIN
#include "platform/win32/known_folders.h"
#endif

namespace veltro {

QString perUserSettingsFolder() {
#ifdef Q_OS_WIN
    const QString base = QString::fromStdWString(win32::localAppDataFolder().wstring());
#else
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
#endif
    // No base folder: no per-user folder either, rather than one relative to
    // wherever the program was started.
    return base.isEmpty() ? QString() : QDir(base).filePath(QStringLiteral("veltro-panel"));
}

bool folderWritable(const QString& folder) {
    if (folder.isEmpty()) {
        return false;
    }
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".veltro-probe-XXXXXX")));
    return probe.open();  // removed again when probe goes
}

QString settingsFolderFor(const QString& programDir) {
    if (folderWritable(programDir)) {
        return programDir;
    }
    const QString folder = perUserSettingsFolder();
    if (folder.isEmpty()) {
        return programDir;  // saves then fail there, silently
    }
    QDir().mkpath(folder);
    return folder;
}

QStringList portLinkFolders(const QString& programDir, const QString& settingsDir) {
    QStringList folders{programDir};
    if (!settingsDir.isEmpty() && QDir(settingsDir) != QDir(programDir)) {
        folders.append(settingsDir);
    }
    return folders;
}

}  // namespace veltro
