#pragma once

#include <QSerialPort>
#include <string>

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

}  // namespace veltro
