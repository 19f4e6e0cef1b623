#include "platform/qt_serial_port.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMetaObject>

#ifndef Q_OS_WIN
#include <sys/stat.h>
#endif

#include "platform/settings_location.h"

namespace veltro {

namespace {

// Qt opens without waiting for the device, but a link to a regular file, a
// folder or a pipe must fail before anything touches it: only a character
// device is tried. A stat never waits on a device.
bool looksLikeSerialDevice(const QString& path, std::string& why) {
#ifdef Q_OS_WIN
    (void)path;
    (void)why;
    return true;
#else
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0) {
        why = "no such device";
        return false;
    }
    if (!S_ISCHR(info.st_mode)) {
        why = "not a serial device";
        return false;
    }
    return true;
#endif
}

}  // namespace

QtSerialPort::QtSerialPort(QString programDir, QString userDir)
    : programDir_(std::move(programDir)), userDir_(std::move(userDir)) {
    // Between two reads Qt holds at most this much; the rest waits in the
    // driver, so a flooding device cannot grow the panel's memory.
    port_.setReadBufferSize(static_cast<qint64>(4 * kKeptInputBytes));
    QObject::connect(&port_, &QSerialPort::errorOccurred, &port_,
                     [this](QSerialPort::SerialPortError error) { onError(error); });
}

QtSerialPort::~QtSerialPort() {
    if (port_.isOpen()) {
        port_.close();
    }
}

QtSerialPort::ResolvedDevice QtSerialPort::resolveDevice(int number) const {
#ifdef Q_OS_WIN
    return {QStringLiteral("COM%1").arg(number), false};
#else
    for (const QString& folder : portLinkFolders(programDir_, userDir_)) {
        const QString link = QDir(folder).filePath(QStringLiteral("ports/com%1").arg(number));
        // A dangling link still names the operator's device: opening it then
        // fails with a message rather than silently falling back to another.
        const QFileInfo info(link);
        if (info.exists() || info.isSymLink()) {
            return {link, true};
        }
    }
    return {QStringLiteral("/dev/ttyS%1").arg(number - 1), false};
#endif
}

bool QtSerialPort::setCommPort(int number) {
    if (number < 1 || number > kHighestPort) {
        error_ = "Port number " + std::to_string(number) + " is not supported";
        return false;
    }
    if (portOpen() && number != commPort_) {
        error_ = "Port is open";
        return false;
    }
    commPort_ = number;
    linkOnly_ = false;
    return true;
}

bool QtSerialPort::setSettings(const std::string& settings) {
    LineSettings parsed;
    if (!parseLineSettings(settings, parsed)) {
        error_ = "Invalid settings \"" + settings + "\"";
        return false;
    }
    const LineSettings previous = line_;
    line_ = parsed;
    if (port_.isOpen()) {
        applyLineSettings();
        if (!error_.empty()) {
            line_ = previous;
            applyLineSettings();
            return false;
        }
    }
    settingsText_ = settings;
    return true;
}

void QtSerialPort::applyLineSettings() {
    error_.clear();
    const bool ok = port_.setBaudRate(line_.baudRate) && port_.setParity(line_.parity) &&
                    port_.setDataBits(line_.dataBits) && port_.setStopBits(line_.stopBits);
    if (!ok) {
        error_ = port_.errorString().toStdString();
        port_.clearError();
    }
}

void QtSerialPort::setInputLen(int length) {
    inputLen_ = length < 0 ? 0 : length;
}

bool QtSerialPort::setPortOpen(bool open) {
    if (open && state_ == State::Open) {
        return true;
    }
    if (port_.isOpen()) {  // a lost device still held is let go before reopening
        port_.close();
    }
    state_ = State::Closed;
    if (!open) {
        return true;
    }
    const ResolvedDevice device = resolveDevice(commPort_);
    const std::string path = device.path.toStdString();
    // While a linked device is away its link is gone too; /dev/ttyS<n-1>
    // would then be some other device.
    if (linkOnly_ && !device.throughLink) {
        error_ = "Device lost: " + path + " is not its link";
        return false;
    }
    if (std::string why; !looksLikeSerialDevice(device.path, why)) {
        error_ = "Cannot open " + path + ": " + why;
        return false;
    }
    port_.setPortName(device.path);
    port_.setBaudRate(line_.baudRate);
    port_.setParity(line_.parity);
    port_.setDataBits(line_.dataBits);
    port_.setStopBits(line_.stopBits);
    if (!port_.open(QIODevice::ReadWrite)) {
        error_ = "Cannot open " + path + ": " + port_.errorString().toStdString();
        port_.clearError();
        return false;
    }
    state_ = State::Open;
    outputMayBeQueued_ = true;
    device_ = device;
    linkOnly_ = false;
    error_.clear();
    return true;
}

bool QtSerialPort::portOpen() const {
    // A lost device stays open to the program until it closes the port: the
    // poll cycle then reads a silent meter and shows the red lamp, rather
    // than a closed port, which would freeze the last displays, green lamp
    // included.
    return state_ != State::Closed;
}

void QtSerialPort::onError(QSerialPort::SerialPortError error) {
    if (error != QSerialPort::ResourceError || state_ != State::Open) {
        return;
    }
    // The device went away (adapter pulled, far end closed). Qt may still be
    // inside its own read handler, so close from the event loop; from now on
    // the port is silent.
    state_ = State::Lost;
    linkOnly_ = device_.throughLink;
    error_ = "Device lost: " + port_.errorString().toStdString();
    QMetaObject::invokeMethod(
        &port_,
        [this] {
            closeLostDevice();
            // A close or reopen in the meantime has dealt with the loss already.
            if (state_ == State::Lost && lostHandler_) {
                lostHandler_();
            }
        },
        Qt::QueuedConnection);
}

void QtSerialPort::onDeviceLost(std::function<void()> handler) {
    lostHandler_ = std::move(handler);
}

void QtSerialPort::closeLostDevice() {
    if (state_ == State::Lost && port_.isOpen()) {
        port_.close();
    }
}

void QtSerialPort::setInBufferCount(int count) {
    if (count == 0 && state_ == State::Open) {
        port_.clear(QSerialPort::Input);
    }
}

void QtSerialPort::setOutBufferCount(int count) {
    // A poll cycle discards output twice with nothing written in between;
    // the second discard would be a system call for nothing.
    if (count == 0 && state_ == State::Open && outputMayBeQueued_) {
        port_.clear(QSerialPort::Output);
        outputMayBeQueued_ = false;
    }
}

void QtSerialPort::output(std::string_view data) {
    if (state_ != State::Open || data.empty()) {
        return;
    }
    port_.write(data.data(), static_cast<qint64>(data.size()));
    outputMayBeQueued_ = true;
    port_.flush();
}

std::string QtSerialPort::input() {
    std::string got = state_ == State::Open ? readArrived() : std::string();
    if (state_ != State::Open) {  // lost before or during the read
        closeLostDevice();
        return {};
    }
    return got;
}

std::string QtSerialPort::readArrived() {
    // Takes what the driver holds now, without waiting for the event loop to
    // deliver it; a zero timeout reports TimeoutError when nothing is there.
    // With InputLen 0 that is everything, less the front of a flood: only the
    // last kKeptInputBytes are kept. The rounds are bounded too, so a device
    // that never stops sending cannot hold the window here.
    std::string kept;
    for (int round = 0;; ++round) {
        if (inputLen_ == 0) {
            const QByteArray bytes = port_.readAll();
            kept.append(bytes.constData(), static_cast<std::size_t>(bytes.size()));
            if (kept.size() > kKeptInputBytes) {
                kept.erase(0, kept.size() - kKeptInputBytes);
            }
        }
        if (round == kReadRounds || state_ != State::Open || !port_.waitForReadyRead(0)) {
            break;
        }
    }
    if (port_.error() == QSerialPort::TimeoutError) {
        port_.clearError();
    }
    if (inputLen_ > 0 && state_ == State::Open) {
        return port_.read(inputLen_).toStdString();
    }
    return kept;
}

}  // namespace veltro
