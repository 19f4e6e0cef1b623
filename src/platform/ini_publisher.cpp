#include "platform/ini_publisher.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <ctime>
#include <optional>

#include "files/whole_file.h"

namespace veltro {
namespace {

bool isText(const std::string& bytes) {
    // The writer escapes every control character; raw ones mean foreign bytes.
    return std::none_of(bytes.begin(), bytes.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 && byte != '\t' && byte != '\r' && byte != '\n';
    });
}

// The earlier run's file: only a regular text file within the bound, opened
// without following links or waiting on anyone. Empty when there is none;
// nothing when something else has the name.
std::optional<std::string> readEarlierFile(const std::string& path) {
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0) {
        return errno == ENOENT ? std::optional<std::string>(std::string()) : std::nullopt;
    }
    if (!S_ISREG(status.st_mode) || status.st_size > kLargestPublishedFile) {
        return std::nullopt;
    }
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        return std::nullopt;
    }
    std::string bytes(static_cast<std::size_t>(kLargestPublishedFile) + 1, '\0');
    std::size_t size = 0;
    bool readable = ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
    while (readable && size < bytes.size()) {
        const ssize_t got = ::read(fd, bytes.data() + size, bytes.size() - size);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        readable = got >= 0;
        if (got <= 0) {
            break;
        }
        size += static_cast<std::size_t>(got);
    }
    ::close(fd);
    bytes.resize(size);
    if (!readable || size > static_cast<std::size_t>(kLargestPublishedFile) || !isText(bytes)) {
        return std::nullopt;
    }
    return bytes;
}

// Clears the name for the first write: a regular file is replaced by the
// rename anyway, anything else (a link, a pipe, an empty folder) goes.
void clearForeignEntry(const QString& path) {
    const QFileInfo entry(path);
    if (entry.isDir() && !entry.isSymLink()) {
        QDir().rmdir(path);
    } else if (!entry.isFile() || entry.isSymLink() || !entry.isReadable()) {
        QFile::remove(path);
    }
}

}  // namespace

IniPublisher::FileStamp IniPublisher::stampOf(const std::string& path) {
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0) {
        return {};
    }
    return {status.st_dev, status.st_ino, status.st_size, status.st_mtim.tv_sec,
            status.st_mtim.tv_nsec};
}

// Sets the modification time to now; the stamp follows without another stat.
bool IniPublisher::touch(const std::string& path, FileStamp& stamp) {
    struct timespec times[2] = {{0, UTIME_OMIT}, {}};
    ::clock_gettime(CLOCK_REALTIME, &times[1]);
    if (::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW) != 0) {
        return false;
    }
    stamp.modifiedSeconds = times[1].tv_sec;
    stamp.modifiedNs = times[1].tv_nsec;
    return true;
}

IniPublisher::Published& IniPublisher::publishedFor(const std::string& path) {
    auto found = published_.find(path);
    if (found == published_.end()) {
        const std::optional<std::string> earlier = readEarlierFile(path);
        if (!earlier) {
            clearForeignEntry(QFile::decodeName(path.c_str()));
        }
        removeLeftTemporaries(path);
        Published fresh;
        fresh.document = parseIni(earlier.value_or(std::string()));
        found = published_.emplace(path, std::move(fresh)).first;
    }
    return found->second;
}

bool IniPublisher::publish(const std::string& path, const std::string& section,
                           const std::string& name, const std::string& value) {
    Published& published = publishedFor(path);
    setIniString(published.document, section, name, value);
    std::string bytes = formatIni(published.document);
    if (bytes == published.bytes && stampOf(path) == published.stamp &&
        touch(path, published.stamp)) {
        return true;
    }
    const QString file = QFile::decodeName(path.c_str());
    // Only a missing folder is made; a folder that exists but refuses stays as it is.
    const QString folder = QFileInfo(file).path();
    const bool written =
        replaceWholeFile(path, bytes) ||
        (!QFileInfo::exists(folder) && QDir().mkpath(folder) && replaceWholeFile(path, bytes));
    if (written) {
        published.bytes = std::move(bytes);
        published.stamp = stampOf(path);
    }
    return written;
}

}  // namespace veltro
