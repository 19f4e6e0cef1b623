#pragma once

#include <map>
#include <string>

#include "platform/ini_text.h"

namespace veltro {

// Publishes string values into an ini file other programs read, many times a
// second. It keeps what it has published and writes the whole file anew each
// time, without reading it back: the file is read once, at the first write,
// so values already there stay. Writes that fail are dropped silently; the
// next one carries every kept value.
class IniPublisher {
  public:
    bool publish(const std::string& path, const std::string& section, const std::string& name,
                 const std::string& value);

  private:
    IniDocument& documentFor(const std::string& path);

    std::map<std::string, IniDocument> documents_;
};

}  // namespace veltro
