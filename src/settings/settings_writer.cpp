#include <QFile>
#include <QSaveFile>
#include <QString>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

#include "settings/config_file.h"

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

}  // namespace

bool writeSettingsFile(const std::filesystem::path& file, const std::string& contents) {
    // QSaveFile writes a temporary file beside the target and renames it over
    // the old one; on any failure it removes the temporary file and the old
    // one stays as it was. Unbuffered: a buffered write always succeeds, and
    // the error of its late flush (ENOSPC) is lost inside commit(), which
    // then renames a short file over config.ini.
    QSaveFile out(qtPath(file));
    out.setDirectWriteFallback(false);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    const auto size = static_cast<qint64>(contents.size());
    if (out.write(contents.data(), size) != size || out.error() != QFileDevice::NoError ||
        !syncedToDisk(out)) {
        out.cancelWriting();
        return false;
    }
    return out.commit();
}

}  // namespace veltro
