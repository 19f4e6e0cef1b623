#include "platform/ini_publisher.h"

#include <fstream>
#include <iterator>

#include "platform/file_replace.h"

namespace veltro {

IniDocument& IniPublisher::documentFor(const std::string& path) {
    auto found = documents_.find(path);
    if (found == documents_.end()) {
        std::ifstream existing(path, std::ios::binary);
        const std::string bytes(std::istreambuf_iterator<char>(existing), {});
        found = documents_.emplace(path, parseIni(bytes)).first;
    }
    return found->second;
}

bool IniPublisher::publish(const std::string& path, const std::string& section,
                           const std::string& name, const std::string& value) {
    IniDocument& document = documentFor(path);
    setIniString(document, section, name, value);
    return replaceFile(path, formatIni(document));
}

}  // namespace veltro
