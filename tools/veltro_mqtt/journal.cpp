#include "journal.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace veltro::tap {

namespace {
// Lines kept while the file cannot be written: days of a busy station.
constexpr std::size_t kMostWaiting = 2000;
}  // namespace

void Journal::checkAtStart() {
    const int fd = ::open(path_.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0644);
    if (fd < 0) {
        failing_ = true;
        log_("cannot write the journal " + path_ + " now: " + std::strerror(errno) +
             "; trying again with each transmission");
        return;
    }
    ::close(fd);
}

void Journal::append(std::string line) {
    if (waiting_.size() == kMostWaiting) {
        waiting_.pop_front();
        ++dropped_;
    }
    waiting_.push_back(std::move(line));
    std::string error;
    if (writeWaiting(error)) {
        if (failing_) {
            log_("journal " + path_ + " written again" +
                 (dropped_ > 0 ? "; " + std::to_string(dropped_) + " older records were lost" : ""));
        }
        failing_ = false;
        dropped_ = 0;
        waiting_.clear();
    } else if (!failing_) {
        failing_ = true;
        log_("cannot write the journal " + path_ + ": " + error + "; trying again with the next record");
    }
}

bool Journal::writeWaiting(std::string& error) {
    const int fd = ::open(path_.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0644);
    if (fd < 0) {
        error = std::strerror(errno);
        return false;
    }
    struct stat info {};
    const bool regular = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    std::string text = regular && info.st_size == 0 ? header_ : std::string();
    for (const auto& line : waiting_) {
        text += line;
    }
    std::size_t written = 0;
    while (written < text.size()) {
        const ssize_t n = ::write(fd, text.data() + written, text.size() - written);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            error = n < 0 ? std::strerror(errno) : "nothing written";
            if (regular && ::ftruncate(fd, info.st_size) != 0) {
                error += " (a part of a line may be left)";
            }
            ::close(fd);
            return false;
        }
        written += static_cast<std::size_t>(n);
    }
    ::close(fd);  // all was written: a late error here must not write it twice
    return true;
}

}  // namespace veltro::tap
