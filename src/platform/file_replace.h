#pragma once

#include <string>

namespace veltro {

// Replaces the file at `path` with `bytes` in one step: a complete file is
// built beside it and renamed over it, so a reader sees the old file or the
// new one, never a part. Nothing is flushed to the disk: the contents need
// not survive a power cut. A missing folder is created. Returns false, and
// changes nothing, when the file exists but is not writable, or the folder
// cannot be written.
bool replaceFile(const std::string& path, const std::string& bytes);

}  // namespace veltro
