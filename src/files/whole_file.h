#pragma once

#include <filesystem>
#include <string_view>

namespace veltro {

// Replaces the file whole through a temporary file beside it ("<file>.XXXXXX",
// six letters), renamed over the old one once written and synced: a reader or
// a crash finds the old file or the new one, never a part. Every write is
// checked; on any failure (full disk, no inode, read-only folder) the
// temporary goes, the old file stays byte for byte, and the result is false.
bool replaceWholeFile(const std::filesystem::path& file, std::string_view contents);

// Removes the temporaries of replacements killed before their rename.
void removeLeftTemporaries(const std::filesystem::path& file);

}  // namespace veltro
