#include "window/meter_text.h"

namespace veltro {

QString meterTextForDisplay(std::string_view bytes) {
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
