#include "platform/settings_location.h"

#include <QDir>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace veltro {

QString perUserSettingsFolder() {
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return QDir(base).filePath(QStringLiteral("veltro-panel"));
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
