#include "platform/qt_settings_store.h"

#include <QFile>
#include <QStandardPaths>

#ifdef Q_OS_WIN
#include "platform/win32/app_settings_registry.h"
#else
#include "platform/ini_publisher.h"
#endif

namespace veltro {
namespace {

// The meter's texts are single-byte; Latin-1 keeps every byte as one character.
QString fromBytes(const std::string& text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

QString QtSettingsStore::storageLocation(const std::string& application) {
    const QString app = fromBytes(application);
#ifdef Q_OS_WIN
    return QStringLiteral("HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\") + app;
#else
    // Resolved on every call (QSettings caches its own default paths), so a
    // changed XDG_CONFIG_HOME takes effect at once.
    const QString configDir =
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return configDir + QLatin1Char('/') + app + QLatin1Char('/') + app + QStringLiteral(".ini");
#endif
}

#ifdef Q_OS_WIN

void QtSettingsStore::saveSetting(const std::string& application, const std::string& section,
                                  const std::string& name, const std::string& value) {
    win32::saveAppSetting(application, section, name, value);
}

#else

void QtSettingsStore::saveSetting(const std::string& application, const std::string& section,
                                  const std::string& name, const std::string& value) {
    // One publisher for the process: every store writing a file carries the
    // values the others have written to it.
    static IniPublisher publisher;
    publisher.publish(QFile::encodeName(storageLocation(application)).toStdString(), section, name,
                      value);
}

#endif

}  // namespace veltro
