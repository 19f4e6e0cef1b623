#pragma once

#include <map>
#include <string>

namespace veltro {

// An ini file as QSettings writes it, held as escaped text: section -> key ->
// value, each exactly as it stands in the file. Sections and keys come out
// sorted, as QSettings sorts them.
struct IniDocument {
    std::map<std::string, std::map<std::string, std::string>> sections;
};

// QSettings' escaping of a string value, a key and a section name; `text` is
// single-byte (Latin-1) and characters from 0x7F up come out as UTF-8.
std::string iniEscapedValue(const std::string& text);
std::string iniEscapedKey(const std::string& text);
std::string iniSectionName(const std::string& text);

// Sets `name` in `section` to the string `value`, escaping all three.
void setIniString(IniDocument& document, const std::string& section, const std::string& name,
                  const std::string& value);

// Reads an existing file's sections and values as they stand; comments and
// lines that are neither go.
IniDocument parseIni(const std::string& bytes);
std::string formatIni(const IniDocument& document);

}  // namespace veltro
