#include "platform/file_replace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <string_view>

namespace veltro {
namespace {

// A name a killed write can leave behind only in the instant between link
// and rename; the next write reuses it.
std::string tempPath(const std::string& path) {
    return path + ".new";
}

std::string folderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

class Fd {
  public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }

  private:
    int fd_;
};

bool renameOver(const std::string& from, const std::string& to) {
    if (::rename(from.c_str(), to.c_str()) == 0) {
        return true;
    }
    ::unlink(from.c_str());
    return false;
}

#ifdef O_TMPFILE
// The file has no name until it is complete, so a kill while writing leaves
// nothing. -1: this file system has no unnamed files.
int replaceThroughUnnamedFile(const std::string& path, const std::string& bytes) {
    Fd file(::open(folderOf(path).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666));
    if (file.get() < 0) {
        return errno == EISDIR || errno == EOPNOTSUPP || errno == EINVAL ? -1 : 0;
    }
    if (!writeAll(file.get(), bytes)) {
        return 0;
    }
    const std::string self = "/proc/self/fd/" + std::to_string(file.get());
    const std::string temp = tempPath(path);
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, temp.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            return renameOver(temp, path) ? 1 : 0;
        }
        if (errno != EEXIST) {
            return -1;  // no /proc: take the named way
        }
        ::unlink(temp.c_str());
    }
    return 0;
}
#endif

bool replaceThroughNamedFile(const std::string& path, const std::string& bytes) {
    const std::string temp = tempPath(path);
    bool written = false;
    {
        Fd file(::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
        written = file.get() >= 0 && writeAll(file.get(), bytes);
    }
    if (!written) {
        ::unlink(temp.c_str());
        return false;
    }
    return renameOver(temp, path);
}

bool replaceInExistingFolder(const std::string& path, const std::string& bytes) {
#ifdef O_TMPFILE
    if (const int result = replaceThroughUnnamedFile(path, bytes); result >= 0) {
        return result == 1;
    }
#endif
    return replaceThroughNamedFile(path, bytes);
}

}  // namespace

bool replaceFile(const std::string& path, const std::string& bytes) {
    // A rename would replace even a file someone made read-only.
    if (::access(path.c_str(), W_OK) != 0 && errno != ENOENT) {
        return false;
    }
    if (replaceInExistingFolder(path, bytes)) {
        return true;
    }
    struct stat folder {};
    if (::stat(folderOf(path).c_str(), &folder) == 0 || errno != ENOENT) {
        return false;
    }
    std::error_code error;
    std::filesystem::create_directories(folderOf(path), error);
    return !error && replaceInExistingFolder(path, bytes);
}

}  // namespace veltro
