#pragma once

#include <QString>

namespace veltro {

class MessageBox;
class SerialPort;
class SettingsStore;
class WindowManager;

// What the main window works with. Any pointer may be null: without a port
// the poll timer's ticks do nothing, without a store "Reading" is not
// published, and with an empty settingsDir nothing is loaded or saved.
struct Form1Services {
    QString settingsDir;  // the folder that holds config.ini
    SerialPort* port = nullptr;
    SettingsStore* store = nullptr;
    MessageBox* messageBox = nullptr;
    WindowManager* windowManager = nullptr;  // always-on-top
};

}  // namespace veltro
