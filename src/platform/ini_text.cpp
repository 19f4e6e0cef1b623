#include "platform/ini_text.h"

#include <cstdio>
#include <string_view>

namespace veltro {
namespace {

constexpr std::string_view kRootSection = "General";

void appendUtf8(std::string& out, unsigned char byte) {
    if (byte < 0x80) {
        out += static_cast<char>(byte);
        return;
    }
    out += static_cast<char>(0xC0 | (byte >> 6));
    out += static_cast<char>(0x80 | (byte & 0x3F));
}

void appendHex(std::string& out, const char* format, unsigned value) {
    char digits[8];
    std::snprintf(digits, sizeof digits, format, value);
    out += digits;
}

bool isHexDigit(unsigned char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

const char* shortEscape(unsigned char c) {
    switch (c) {
        case '\a':
            return "\\a";
        case '\b':
            return "\\b";
        case '\f':
            return "\\f";
        case '\n':
            return "\\n";
        case '\r':
            return "\\r";
        case '\t':
            return "\\t";
        case '\v':
            return "\\v";
        case '"':
            return "\\\"";
        case '\\':
            return "\\\\";
        default:
            return nullptr;
    }
}

// After a numeric escape a following hex digit is escaped too, or a reader
// would take it as part of the number.
std::string escapeCharacters(const std::string& text) {
    std::string out;
    bool needsQuotes = false;
    bool escapeNextIfHex = false;
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        needsQuotes = needsQuotes || c == ';' || c == ',' || c == '=';
        if (escapeNextIfHex && isHexDigit(c)) {
            appendHex(out, "\\x%x", c);
            continue;
        }
        escapeNextIfHex = false;
        if (c == 0) {
            out += "\\0";
            escapeNextIfHex = true;
        } else if (const char* escape = shortEscape(c)) {
            out += escape;
        } else if (c <= 0x1F) {
            appendHex(out, "\\x%x", c);
            escapeNextIfHex = true;
        } else {
            appendUtf8(out, c);
        }
    }
    if (needsQuotes || (!out.empty() && (out.front() == ' ' || out.back() == ' '))) {
        return '"' + out + '"';
    }
    return out;
}

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

}  // namespace

std::string iniEscapedValue(const std::string& text) {
    if (text.find('\0') != std::string::npos) {
        return escapeCharacters("@String(" + text + ")");
    }
    return escapeCharacters(text.starts_with('@') ? '@' + text : text);
}

std::string iniEscapedKey(const std::string& text) {
    std::string out;
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                           (c >= '0' && c <= '9') || c == '_' || c == '-' || c == '.';
        if (c == '/') {
            out += '\\';
        } else if (plain) {
            out += ch;
        } else {
            appendHex(out, "%%%02X", c);
        }
    }
    return out;
}

std::string iniSectionName(const std::string& text) {
    return text == kRootSection ? "%General" : iniEscapedKey(text);
}

void setIniString(IniDocument& document, const std::string& section, const std::string& name,
                  const std::string& value) {
    document.sections[iniSectionName(section)][iniEscapedKey(name)] = iniEscapedValue(value);
}

IniDocument parseIni(const std::string& bytes) {
    IniDocument document;
    std::string section(kRootSection);
    std::string_view rest(bytes);
    while (!rest.empty()) {
        const auto end = rest.find('\n');
        const std::string_view line = trimmed(rest.substr(0, end));
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            section = std::string(line.substr(1, line.size() - 2));
            continue;
        }
        const auto equals = line.find('=');
        if (line.empty() || line.front() == ';' || line.front() == '#' ||
            equals == std::string_view::npos || equals == 0) {
            continue;
        }
        document.sections[section][std::string(trimmed(line.substr(0, equals)))] =
            std::string(trimmed(line.substr(equals + 1)));
    }
    return document;
}

std::string formatIni(const IniDocument& document) {
    std::string out;
    for (const auto& [section, values] : document.sections) {
        if (values.empty()) {
            continue;
        }
        if (!out.empty()) {
            out += '\n';
        }
        out += '[' + section + "]\n";
        for (const auto& [key, value] : values) {
            out += key + '=' + value + '\n';
        }
    }
    return out;
}

}  // namespace veltro
