#pragma once

#include <QString>

namespace veltro {

class MessageBox;
class SerialPort;
class SettingsStore;
class WindowManager;

// The waits of the main window, in milliseconds; tests shorten them.
struct Form1Intervals {
    int activationFallbackMs = 1500;  // start-up when no window manager activates
    int portRetryMs = 1000;           // reopening a lost device
};

// What the main window works with. Any pointer may be null: without a port
// the poll timer's ticks do nothing, without a store "Reading" is not
// published, and with an empty settingsDir nothing is loaded or saved.
struct Form1Services {
    QString settingsDir;  // the folder that holds config.ini
    SerialPort* port = nullptr;
    SettingsStore* store = nullptr;
    MessageBox* messageBox = nullptr;
    WindowManager* windowManager = nullptr;  // always-on-top
    Form1Intervals intervals{};
};

}  // namespace veltro
