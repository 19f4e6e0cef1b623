#pragma once

#include <QSerialPort>
#include <QString>
#include <cstddef>
#include <functional>
#include <string>

#include "platform/line_settings.h"
#include "platform/serial_port.h"

namespace veltro {

// The serial control on Qt SerialPort. Port numbers map to devices: COM<n> on
// Windows; elsewhere <programDir>/ports/com<n> when that entry exists (a link
// to the real device, or one the simulated meter makes), then the same in
// userDir (the per-user folder), else /dev/ttyS<n-1>.
class QtSerialPort : public SerialPort {
  public:
    static constexpr int kHighestPort = 255;
    // What a read keeps of a flood: the tail, still far longer than any
    // reply, so an overlong read stays overlong and is rejected as before.
    static constexpr std::size_t kKeptInputBytes = 4096;

    explicit QtSerialPort(QString programDir, QString userDir = {});
    ~QtSerialPort() override;

    bool setCommPort(int number) override;
    int commPort() const override { return commPort_; }
    bool setSettings(const std::string& settings) override;
    std::string settings() const override { return settingsText_; }
    void setInputLen(int length) override;
    bool setPortOpen(bool open) override;
    // Also while a lost device waits for the program to close the port.
    bool portOpen() const override;
    std::string errorString() const override { return error_; }
    void setInBufferCount(int count) override;
    void setOutBufferCount(int count) override;
    void output(std::string_view data) override;
    std::string input() override;
    void onDeviceLost(std::function<void()> handler) override;

    // The device that port number n opens, and whether a ports/com<n> link
    // named it.
    struct ResolvedDevice {
        QString path;
        bool throughLink = false;
    };
    ResolvedDevice resolveDevice(int number) const;

  private:
    // Open: the device is there. Lost: it went away while open; the port
    // reads as open and silent until the program closes it.
    enum class State { Closed, Open, Lost };
    static constexpr int kReadRounds = 64;

    void applyLineSettings();
    void onError(QSerialPort::SerialPortError error);
    void closeLostDevice();
    std::string readArrived();

    QString programDir_;
    QString userDir_;
    QSerialPort port_;
    int commPort_ = 1;
    int inputLen_ = 0;
    std::string settingsText_ = "9600,n,8,1";
    LineSettings line_;
    std::string error_;
    State state_ = State::Closed;
    ResolvedDevice device_;  // the one last opened
    // A device lost from its link reopens through that link or not at all.
    bool linkOnly_ = false;
    // Whether anything was written (or the device opened) since output was
    // last discarded: only then can the driver hold output to discard.
    bool outputMayBeQueued_ = false;
    std::function<void()> lostHandler_;
};

}  // namespace veltro
