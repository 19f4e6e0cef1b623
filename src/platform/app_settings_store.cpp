#include "platform/app_settings_store.h"

#include <QFile>
#include <QStandardPaths>

#ifdef Q_OS_WIN
#include "platform/win32/app_settings_registry.h"
#endif

namespace veltro {
namespace {

// The meter's texts are single-byte; Latin-1 keeps every byte as one character.
QString fromBytes(const std::string& text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

#ifdef Q_OS_WIN

AppSettingsStore::AppSettingsStore()
    : folder_(QStringLiteral("HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings")) {}

QString AppSettingsStore::storageLocation(const std::string& application) const {
    return folder_ + QLatin1Char('\\') + fromBytes(application);
}

void AppSettingsStore::saveSetting(const std::string& application, const std::string& section,
                                   const std::string& name, const std::string& value) {
    win32::saveAppSetting(application, section, name, value);
}

#else

// Qt's runtime location: $XDG_RUNTIME_DIR when it is a private folder of
// this user, else a private folder Qt makes under the temporary folder.
AppSettingsStore::AppSettingsStore()
    : folder_(QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation)) {}

QString AppSettingsStore::storageLocation(const std::string& application) const {
    const QString app = fromBytes(application);
    return folder_ + QLatin1Char('/') + app + QLatin1Char('/') + app + QStringLiteral(".ini");
}

void AppSettingsStore::saveSetting(const std::string& application, const std::string& section,
                                   const std::string& name, const std::string& value) {
    if (folder_.isEmpty()) {
        return;  // no runtime folder to be had: nothing to publish into
    }
    // Called on every reading: the file name is built only when it changes.
    if (lastFileName_.empty() || application != lastApplication_) {
        lastFileName_ = QFile::encodeName(storageLocation(application)).toStdString();
        lastApplication_ = application;
    }
    publisher_.publish(lastFileName_, section, name, value);
}

#endif

}  // namespace veltro
