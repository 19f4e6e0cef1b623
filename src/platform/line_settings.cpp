#include "platform/line_settings.h"

#include <charconv>
#include <string_view>
#include <vector>

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

}  // namespace veltro
