// veltro-panel: the control panel's one window, its serial port, the
// per-user settings store and the window manager, wired together.
#include <QApplication>
#include <QStyleFactory>
#include <optional>

#include "close_on_signal.h"
#include "display_check.h"
#include "platform/qt_message_box.h"
#include "platform/qt_serial_port.h"
#include "platform/app_settings_store.h"
#include "platform/qt_window_manager.h"
#include "platform/settings_location.h"
#include "usage.h"
#include "window/form1.h"

int main(int argc, char** argv) {
    holdClosingSignals();
    if (veltro::printUsageIfAsked(argc, argv)) {
        return 0;
    }
    // Beyond --help the panel reads no command line: Qt sees only the program's
    // name, so none of its own options (-style, -reverse ...) can change the window.
    static int qtArgc = 1;
    static char* qtArgv[] = {argc > 0 ? argv[0] : nullptr, nullptr};
    std::optional<veltro::NoDisplayExit> noDisplayExit(std::in_place);
    QApplication app(qtArgc, qtArgv);
    noDisplayExit.reset();
    // One look everywhere, and one that paints a push button's face in its
    // palette colour: the Alarm button turns red through it.
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setApplicationName(QString::fromLatin1(veltro::kApplicationTitle));

    const QString programDir = QCoreApplication::applicationDirPath();
    // One settings file for the whole run; a read-only install uses the
    // per-user folder.
    const QString settingsDir = veltro::settingsFolderFor(programDir);
    // The ports/ links are looked up in both folders, whichever holds config.ini.
    veltro::QtSerialPort port(programDir, veltro::perUserSettingsFolder());
    veltro::AppSettingsStore store;
    veltro::QtMessageBox messageBox;
    veltro::QtWindowManager windowManager;

    veltro::Form1 form(
        veltro::Form1Services{settingsDir, &port, &store, &messageBox, &windowManager});
    messageBox.setParent(&form);
    CloseOnSignal closeOnSignal(form);
    form.show();
    return app.exec();
}
