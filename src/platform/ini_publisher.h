#pragma once

#include <map>
#include <string>

#include "platform/ini_text.h"

namespace veltro {

// Publishes string values into an ini file other programs read, many times a
// second. It keeps what it has published and replaces the whole file
// (replaceWholeFile: a reader finds the old file or the new one, never a part),
// without reading it back. A write that would leave the contents as they
// stand (the same bytes, and the file still the one it wrote last) only
// moves the file's modification time to now, which readers take as a sign
// of life: a steady reading costs a stat and a time stamp, not a new file.
// The file is read once, at the first write, so an earlier run's values
// stay; that read never blocks and is bounded, and whatever is not a small
// regular text file counts as empty and is replaced. A write that fails (a
// full disk) leaves the file as it was and returns false; the next one
// carries every kept value.
class IniPublisher {
  public:
    bool publish(const std::string& path, const std::string& section, const std::string& name,
                 const std::string& value);

  private:
    // What stands at a path: a new file, or one changed by anyone, differs.
    struct FileStamp {
        unsigned long long device = 0, inode = 0;
        long long size = -1, modifiedSeconds = 0, modifiedNs = 0;
        bool operator==(const FileStamp&) const = default;
    };
    struct Published {
        IniDocument document;
        std::string bytes;  // as last written
        FileStamp stamp;    // of the file written last
    };

    Published& publishedFor(const std::string& path);
    static FileStamp stampOf(const std::string& path);
    static bool touch(const std::string& path, FileStamp& stamp);

    std::map<std::string, Published> published_;
};

// The file's own values are a few dozen bytes; a larger file is not one
// this program wrote.
inline constexpr long long kLargestPublishedFile = 64 * 1024;

}  // namespace veltro
