#include "bounded_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace veltro::tap {

namespace {

std::string sizeText(std::size_t bytes) {
    return bytes >= 1024 * 1024 ? std::to_string(bytes / (1024 * 1024)) + " MiB"
                                : std::to_string(bytes / 1024) + " KiB";
}

}  // namespace

bool readBoundedFile(const std::string& path, std::size_t limit, const std::string& what,
                     std::string& content, std::string& error) {
    const std::string named = "the " + what + " " + path;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        error = "cannot read " + named + ": " + std::strerror(errno);
        return false;
    }
    struct stat status {};
    std::size_t got = 0;
    std::string problem;
    if (::fstat(fd, &status) != 0) {
        problem = "cannot read " + named + ": " + std::strerror(errno);
    } else if (!S_ISREG(status.st_mode)) {
        problem = named + " is not a regular file";
    } else if (static_cast<std::size_t>(status.st_size) > limit) {
        problem = named + " is larger than " + sizeText(limit);
    } else {
        // The size may be wrong (a file in /proc, one still growing): the
        // read itself stops one byte past the limit.
        content.assign(limit + 1, '\0');
        while (got <= limit) {
            const ssize_t n = ::read(fd, content.data() + got, limit + 1 - got);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n < 0) {
                problem = "cannot read " + named + ": " + std::strerror(errno);
                break;
            }
            if (n == 0) {
                break;
            }
            got += static_cast<std::size_t>(n);
        }
        if (problem.empty() && got > limit) {
            problem = named + " is larger than " + sizeText(limit);
        }
    }
    ::close(fd);
    content.resize(problem.empty() ? got : 0);
    if (!problem.empty()) {
        error = problem;
    }
    return problem.empty();
}

}  // namespace veltro::tap
