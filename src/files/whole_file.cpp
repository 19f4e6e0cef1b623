#include "files/whole_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QString>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace veltro {
namespace {

QString qtPath(const std::filesystem::path& file) {
#ifdef _WIN32
    return QString::fromStdWString(file.native());
#else
    return QFile::decodeName(QByteArray::fromStdString(file.native()));
#endif
}

// QSaveFile syncs before it renames but ignores a failed sync, and some file
// systems (network, quota) only report a full disk there.
bool syncedToDisk([[maybe_unused]] const QSaveFile& out) {
#ifdef Q_OS_UNIX
    return ::fsync(out.handle()) == 0;
#else
    return true;
#endif
}

// QSaveFile names its temporary with six random letters. A name of one case
// only ("config.ini.backup") is far likelier an operator's own copy, so it
// stays: losing a rare leftover costs nothing, losing a backup costs settings.
bool isTemporaryName(const QString& name, qsizetype fileNameLength) {
    if (name.size() != fileNameLength + 7) {
        return false;
    }
    bool upper = false;
    bool lower = false;
    for (qsizetype i = fileNameLength + 1; i < name.size(); ++i) {
        const char16_t c = name.at(i).unicode();
        upper = upper || (c >= u'A' && c <= u'Z');
        lower = lower || (c >= u'a' && c <= u'z');
        if (!((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'))) {
            return false;
        }
    }
    return upper && lower;
}

}  // namespace

bool replaceWholeFile(const std::filesystem::path& file, std::string_view contents) {
    // On any failure QSaveFile removes its temporary and the old file stays.
    // Unbuffered: a buffered write always succeeds, and the error of its late
    // flush (ENOSPC) is lost inside commit(), which then renames a short file
    // over the old one. Never written in place, where a failure would tear it.
    QSaveFile out(qtPath(file));
    out.setDirectWriteFallback(false);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        return false;
    }
    const auto size = static_cast<qint64>(contents.size());
    if (out.write(contents.data(), size) != size || out.error() != QFileDevice::NoError ||
        !syncedToDisk(out)) {
        out.cancelWriting();
        return false;
    }
    return out.commit();
}

void removeLeftTemporaries(const std::filesystem::path& file) {
    const QFileInfo info(qtPath(file));
    QDir folder = info.dir();
    const QString name = info.fileName();
    const QStringList candidates = folder.entryList({name + QStringLiteral(".??????")},
                                                    QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& candidate : candidates) {
        if (isTemporaryName(candidate, name.size())) {
            folder.remove(candidate);
        }
    }
}

}  // namespace veltro
