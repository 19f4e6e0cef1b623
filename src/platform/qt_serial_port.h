#pragma once

#include <QSerialPort>
#include <QString>
#include <cstddef>
#include <functional>
#include <string>

#include "platform/serial_port.h"

namespace veltro {

// Line parameters parsed from a Settings text such as "38400,n,8,1".
struct LineSettings {
    qint32 baudRate = 9600;
    QSerialPort::Parity parity = QSerialPort::NoParity;
    QSerialPort::DataBits dataBits = QSerialPort::Data8;
    QSerialPort::StopBits stopBits = QSerialPort::OneStop;
};
// False for text that is not "baud,parity,data,stop" with values a port can use.
bool parseLineSettings(const std::string& text, LineSettings& out);

// The serial control on Qt SerialPort. Port numbers map to devices: COM<n> on
// Windows; elsewhere <programDir>/ports/com<n> when that entry exists (a link
// to the real device, or one the simulated meter makes), then the same in
// settingsDir (the per-user folder of a read-only install), else
// /dev/ttyS<n-1>.
class QtSerialPort : public SerialPort {
  public:
    static constexpr int kHighestPort = 255;
    // What a read keeps of a flood: the tail, still far longer than any
    // reply, so an overlong read stays overlong and is rejected as before.
    static constexpr std::size_t kKeptInputBytes = 4096;

    explicit QtSerialPort(QString programDir, QString settingsDir = {});
    ~QtSerialPort() override;

    bool setCommPort(int number) override;
    int commPort() const override { return commPort_; }
    bool setSettings(const std::string& settings) override;
    std::string settings() const override { return settingsText_; }
    void setInputLen(int length) override;
    bool setPortOpen(bool open) override;
    bool portOpen() const override;
    // Open and its device still there.
    bool deviceUsable() const;
    std::string errorString() const override { return error_; }
    void setInBufferCount(int count) override;
    void setOutBufferCount(int count) override;
    void output(std::string_view data) override;
    std::string input() override;
    void onDeviceLost(std::function<void()> handler) override;

    // The device that port number n opens.
    QString devicePath(int number) const;

  private:
    bool isPortLink(const QString& path) const;
    void applyLineSettings();
    void onError(QSerialPort::SerialPortError error);
    void pullArrivedBytes();
    void closeLostDevice();
    void reportLoss();
    std::string boundedInput();

    QString programDir_;
    QString settingsDir_;
    QSerialPort port_;
    int commPort_ = 1;
    int inputLen_ = 0;
    std::string settingsText_ = "9600,n,8,1";
    LineSettings line_;
    std::string error_;
    bool deviceLost_ = false;  // gone while open; reads as open and silent
    bool openedThroughLink_ = false;
    bool sameLinkOnly_ = false;  // reopening a lost linked device: its link or nothing
    std::function<void()> lostHandler_;
};

}  // namespace veltro
