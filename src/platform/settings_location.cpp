#include "platform/settings_location.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <filesystem>

#include "files/config_limits.h"
#include "files/whole_file.h"

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

namespace {

std::filesystem::path nativePath(const QString& file) {
#ifdef Q_OS_WIN
    return std::filesystem::path(file.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(file).toStdString());
#endif
}

// The operator's config.ini beside a read-only program starts the per-user
// one, so it applies from the first run. A file longer than any the panel
// reads whole is not copied: a cut copy could end in half a line.
void seedSettings(const QString& programDir, const QString& folder) {
    const QFileInfo target(QDir(folder).filePath(QStringLiteral("config.ini")));
    QFile source(QDir(programDir).filePath(QStringLiteral("config.ini")));
    if (target.exists() || target.isSymLink() || !QFileInfo(source).isFile() ||
        !source.open(QIODevice::ReadOnly)) {
        return;
    }
    const QByteArray bytes = source.read(static_cast<qint64>(kMaxSettingsReadBytes) + 1);
    if (static_cast<size_t>(bytes.size()) <= kMaxSettingsReadBytes) {
        replaceWholeFile(nativePath(target.filePath()), bytes.toStdString());
    }
}

}  // namespace

QString settingsFolderFor(const QString& programDir) {
    if (folderWritable(programDir)) {
        return programDir;
    }
    const QString folder = perUserSettingsFolder();
    if (folder.isEmpty()) {
        return programDir;  // saves then fail there, silently
    }
    QDir().mkpath(folder);
    seedSettings(programDir, folder);
    // A per-user folder that cannot hold a config.ini would start the panel
    // from nothing: the program's own file, read-only, is better.
    if (!folderWritable(folder) && !QFileInfo::exists(QDir(folder).filePath("config.ini"))) {
        return programDir;
    }
    return folder;
}

QStringList portLinkFolders(const QString& programDir, const QString& userDir) {
    QStringList folders{programDir};
    if (!userDir.isEmpty() && QDir(userDir) != QDir(programDir)) {
        folders.append(userDir);
    }
    return folders;
}

}  // namespace veltro
