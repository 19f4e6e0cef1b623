#pragma once

#include <deque>
#include <functional>
#include <string>

namespace veltro::tap {

// The transmission journal: each record appended to the file as it comes,
// opened and closed each time (a rotated or recreated file is picked up),
// never blocking on a FIFO. A file that cannot be written is logged once and
// tried again with the next record, the waiting lines kept (a bounded
// number) and no partial line left behind.
class Journal {
  public:
    using Log = std::function<void(const std::string&)>;

    Journal(std::string path, std::string header, Log log)
        : path_(std::move(path)), header_(std::move(header)), log_(std::move(log)) {}

    // Logs once when the file cannot be opened for writing now.
    void checkAtStart();
    void append(std::string line);
    const std::string& path() const { return path_; }

  private:
    bool writeWaiting(std::string& error);

    std::string path_;
    std::string header_;
    Log log_;
    std::deque<std::string> waiting_;
    std::size_t dropped_ = 0;
    bool failing_ = false;
};

}  // namespace veltro::tap
