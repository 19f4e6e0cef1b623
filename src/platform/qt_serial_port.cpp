#include "platform/qt_serial_port.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMetaObject>
#include <charconv>
#include <string_view>
#include <vector>

#ifndef Q_OS_WIN
#include <sys/stat.h>
#endif

#include "platform/settings_location.h"

namespace veltro {

namespace {

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && text.front() == ' ') {
        text.remove_prefix(1);
    }
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    return text;
}

std::vector<std::string_view> splitFields(std::string_view text) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    for (std::size_t comma = text.find(','); comma != std::string_view::npos;
         comma = text.find(',', start)) {
        fields.push_back(trimmed(text.substr(start, comma - start)));
        start = comma + 1;
    }
    fields.push_back(trimmed(text.substr(start)));
    return fields;
}

bool parseWhole(std::string_view text, int& value) {
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end && !text.empty();
}

bool parseParity(std::string_view text, QSerialPort::Parity& parity) {
    if (text.size() != 1) {
        return false;
    }
    switch (text.front()) {
        case 'n':
        case 'N':
            parity = QSerialPort::NoParity;
            return true;
        case 'e':
        case 'E':
            parity = QSerialPort::EvenParity;
            return true;
        case 'o':
        case 'O':
            parity = QSerialPort::OddParity;
            return true;
        case 'm':
        case 'M':
            parity = QSerialPort::MarkParity;
            return true;
        case 's':
        case 'S':
            parity = QSerialPort::SpaceParity;
            return true;
        default:
            return false;
    }
}

bool parseStopBits(std::string_view text, QSerialPort::StopBits& stop) {
    if (text == "1") {
        stop = QSerialPort::OneStop;
    } else if (text == "1.5") {
        stop = QSerialPort::OneAndHalfStop;
    } else if (text == "2") {
        stop = QSerialPort::TwoStop;
    } else {
        return false;
    }
    return true;
}

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

bool parseLineSettings(const std::string& text, LineSettings& out) {
    const auto fields = splitFields(text);
    if (fields.size() != 4) {
        return false;
    }
    LineSettings parsed;
    int baud = 0;
    int dataBits = 0;
    if (!parseWhole(fields[0], baud) || baud <= 0 || !parseParity(fields[1], parsed.parity) ||
        !parseWhole(fields[2], dataBits) || dataBits < 5 || dataBits > 8 ||
        !parseStopBits(fields[3], parsed.stopBits)) {
        return false;
    }
    parsed.baudRate = baud;
    parsed.dataBits = static_cast<QSerialPort::DataBits>(dataBits);
    out = parsed;
    return true;
}

QtSerialPort::QtSerialPort(QString programDir, QString settingsDir)
    : programDir_(std::move(programDir)), settingsDir_(std::move(settingsDir)) {
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

bool QtSerialPort::isPortLink(const QString& path) const {
    return path.contains(QStringLiteral("/ports/com"));
}

QString QtSerialPort::devicePath(int number) const {
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(number);
#else
    for (const QString& folder : portLinkFolders(programDir_, settingsDir_)) {
        const QString link = QDir(folder).filePath(QStringLiteral("ports/com%1").arg(number));
        // A dangling link still names the operator's device: opening it then
        // fails with a message rather than silently falling back to another.
        const QFileInfo info(link);
        if (info.exists() || info.isSymLink()) {
            return link;
        }
    }
    return QStringLiteral("/dev/ttyS%1").arg(number - 1);
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
    sameLinkOnly_ = false;
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
    if (!open) {
        if (port_.isOpen()) {
            port_.close();
        }
        deviceLost_ = false;
        return true;
    }
    if (deviceUsable()) {
        return true;
    }
    if (port_.isOpen()) {  // lost device still held: let go before reopening
        port_.close();
    }
    deviceLost_ = false;
    const QString path = devicePath(commPort_);
    // While a linked device is away its link is gone too; /dev/ttyS<n-1>
    // would then be some other device.
    if (sameLinkOnly_ && !isPortLink(path)) {
        error_ = "Device lost: " + path.toStdString() + " is not its link";
        return false;
    }
    if (std::string why; !looksLikeSerialDevice(path, why)) {
        error_ = "Cannot open " + path.toStdString() + ": " + why;
        return false;
    }
    port_.setPortName(path);
    port_.setBaudRate(line_.baudRate);
    port_.setParity(line_.parity);
    port_.setDataBits(line_.dataBits);
    port_.setStopBits(line_.stopBits);
    if (!port_.open(QIODevice::ReadWrite)) {
        error_ = "Cannot open " + path.toStdString() + ": " + port_.errorString().toStdString();
        port_.clearError();
        return false;
    }
    openedThroughLink_ = isPortLink(path);
    sameLinkOnly_ = false;
    error_.clear();
    return true;
}

bool QtSerialPort::portOpen() const {
    // A lost device stays open to the program until it closes the port: the
    // poll cycle then reads a silent meter and shows the red lamp, rather
    // than a closed port, which would freeze the last displays, green lamp
    // included.
    return port_.isOpen() || deviceLost_;
}

bool QtSerialPort::deviceUsable() const {
    return port_.isOpen() && !deviceLost_;
}

void QtSerialPort::onError(QSerialPort::SerialPortError error) {
    if (error != QSerialPort::ResourceError || !port_.isOpen() || deviceLost_) {
        return;
    }
    // The device went away (adapter pulled, far end closed). Qt may still be
    // inside its own read handler, so close from the event loop; from now on
    // the port is silent.
    deviceLost_ = true;
    sameLinkOnly_ = openedThroughLink_;
    error_ = "Device lost: " + port_.errorString().toStdString();
    QMetaObject::invokeMethod(
        &port_,
        [this] {
            closeLostDevice();
            reportLoss();
        },
        Qt::QueuedConnection);
}

void QtSerialPort::reportLoss() {
    // A close or reopen in the meantime has dealt with the loss already.
    if (deviceLost_ && lostHandler_) {
        lostHandler_();
    }
}

void QtSerialPort::onDeviceLost(std::function<void()> handler) {
    lostHandler_ = std::move(handler);
}

void QtSerialPort::closeLostDevice() {
    if (deviceLost_ && port_.isOpen()) {
        port_.close();
    }
}

void QtSerialPort::setInBufferCount(int count) {
    if (count == 0 && deviceUsable()) {
        port_.clear(QSerialPort::Input);
    }
}

void QtSerialPort::setOutBufferCount(int count) {
    if (count == 0 && deviceUsable()) {
        port_.clear(QSerialPort::Output);
    }
}

void QtSerialPort::output(std::string_view data) {
    if (!deviceUsable() || data.empty()) {
        return;
    }
    port_.write(data.data(), static_cast<qint64>(data.size()));
    port_.flush();
}

void QtSerialPort::pullArrivedBytes() {
    // Take what the driver holds now, without waiting for the event loop to
    // deliver it. A zero timeout reports TimeoutError when nothing is there.
    for (int round = 0; round < 64 && deviceUsable(); ++round) {
        if (!port_.waitForReadyRead(0)) {
            break;
        }
    }
    if (port_.error() == QSerialPort::TimeoutError) {
        port_.clearError();
    }
}

std::string QtSerialPort::input() {
    if (!deviceUsable()) {
        closeLostDevice();
        return {};
    }
    if (inputLen_ > 0) {
        pullArrivedBytes();
        return deviceUsable() ? port_.read(inputLen_).toStdString() : std::string();
    }
    std::string got = boundedInput();
    if (!deviceUsable()) {
        closeLostDevice();
        return {};
    }
    return got;
}

std::string QtSerialPort::boundedInput() {
    // Everything that arrived, less the front of a flood: only the last
    // kKeptInputBytes are kept. The rounds are bounded too, so a device that
    // never stops sending cannot hold the window here.
    std::string kept;
    auto take = [&] {
        const QByteArray bytes = port_.readAll();
        kept.append(bytes.constData(), static_cast<std::size_t>(bytes.size()));
        if (kept.size() > kKeptInputBytes) {
            kept.erase(0, kept.size() - kKeptInputBytes);
        }
    };
    take();
    for (int round = 0; round < 64 && deviceUsable() && port_.waitForReadyRead(0); ++round) {
        take();
    }
    if (port_.error() == QSerialPort::TimeoutError) {
        port_.clearError();
    }
    return kept;
}

}  // namespace veltro
