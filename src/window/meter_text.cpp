#include "window/meter_text.h"

#include <algorithm>

namespace veltro {

namespace {

bool shownAsLatin1(unsigned char byte) {
    return (byte >= 0x20 && byte < 0x7F) || byte >= 0xA0;
}

}  // namespace

QString meterTextForDisplay(std::string_view bytes) {
    // A meter's frames are printable: one conversion, no per-character appends.
    if (std::all_of(bytes.begin(), bytes.end(),
                    [](char raw) { return shownAsLatin1(static_cast<unsigned char>(raw)); })) {
        return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
    }
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (char raw : bytes) {
        const auto byte = static_cast<unsigned char>(raw);
        if (byte < 0x20) {
            text.append(QChar(char16_t(0x2400 + byte)));
        } else if (byte == 0x7F) {
            text.append(QChar(char16_t(0x2421)));
        } else if (byte >= 0x80 && byte <= 0x9F) {
            text.append(QChar(char16_t(0xFFFD)));
        } else {
            text.append(QChar(char16_t(byte)));
        }
    }
    return text;
}

}  // namespace veltro
