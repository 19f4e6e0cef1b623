#include "json_object.h"

#include <cmath>
#include <cstdio>

#include "readout/number_format.h"

namespace veltro::tap {

std::string jsonString(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c >= 0x7f) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

void JsonObject::number(const char* key, const std::optional<double>& value, int decimals) {
    if (value && std::isfinite(*value)) {
        raw(key, formatFixed(*value, decimals, true));
    }
}

void JsonObject::text(const char* key, const std::optional<std::string>& value) {
    if (value) {
        raw(key, jsonString(*value));
    }
}

void JsonObject::raw(const char* key, const std::string& value) {
    body_ += body_.empty() ? "{" : ",";
    body_ += jsonString(key) + ":" + value;
}

}  // namespace veltro::tap
