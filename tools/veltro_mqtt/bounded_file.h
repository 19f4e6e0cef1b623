#pragma once

#include <cstddef>
#include <string>

namespace veltro::tap {

// `path` whole, if it is a regular file of at most `limit` bytes. Opening
// never waits (a FIFO or a terminal is refused, not read) and no more than
// limit + 1 bytes are ever read, so /dev/zero or a file that grows cannot
// take memory. False with one line that names `what` and `path`.
bool readBoundedFile(const std::string& path, std::size_t limit, const std::string& what,
                     std::string& content, std::string& error);

}  // namespace veltro::tap
