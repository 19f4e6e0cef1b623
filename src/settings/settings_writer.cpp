#include <QFile>
#include <QSaveFile>
#include <QString>

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

}  // namespace

bool writeSettingsFile(const std::filesystem::path& file, const std::string& contents) {
    // QSaveFile writes a temporary file beside the target, syncs it and
    // renames it over the old one; on any failure it removes the temporary
    // file and the old one stays as it was.
    QSaveFile out(qtPath(file));
    out.setDirectWriteFallback(false);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    const auto size = static_cast<qint64>(contents.size());
    if (out.write(contents.data(), size) != size) {
        out.cancelWriting();
        return false;
    }
    return out.commit();
}

}  // namespace veltro
