#pragma once

#include <map>
#include <string>

#include "platform/ini_text.h"

namespace veltro {

// Publishes string values into an ini file other programs read, many times a
// second. It keeps what it has published and replaces the whole file each
// time (QSaveFile: a reader finds the old file or the new one, never a
// part), without reading it back. The file is read once, at the first write,
// so an earlier run's values stay; that read never blocks and is bounded,
// and whatever is not a small regular text file counts as empty and is
// replaced. Writes that fail are dropped silently; the next one carries
// every kept value.
class IniPublisher {
  public:
    bool publish(const std::string& path, const std::string& section, const std::string& name,
                 const std::string& value);

  private:
    IniDocument& documentFor(const std::string& path);

    std::map<std::string, IniDocument> documents_;
};

// The file's own values are a few dozen bytes; a larger file is not one
// this program wrote.
inline constexpr long long kLargestPublishedFile = 64 * 1024;

}  // namespace veltro
