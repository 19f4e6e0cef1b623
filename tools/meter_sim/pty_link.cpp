#include "pty_link.h"

#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace veltro::sim {

namespace {

std::string systemError(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

}  // namespace

PseudoTerminal::~PseudoTerminal() {
    if (closeWatch_ >= 0) {
        ::close(closeWatch_);
    }
    if (slave_ >= 0) {
        ::close(slave_);
    }
    if (master_ >= 0) {
        ::close(master_);
    }
}

bool PseudoTerminal::open(std::string& error) {
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) {
        error = systemError("cannot make a pseudo-terminal");
        return false;
    }
    const char* name = ptsname(master_);
    if (name == nullptr) {
        error = systemError("no name for the pseudo-terminal");
        return false;
    }
    devicePath_ = name;
    slave_ = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (slave_ < 0) {
        error = systemError("cannot open " + devicePath_);
        return false;
    }
    termios raw{};
    if (tcgetattr(slave_, &raw) == 0) {
        cfmakeraw(&raw);
        tcsetattr(slave_, TCSANOW, &raw);
    }
    closeWatch_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (closeWatch_ >= 0) {
        inotify_add_watch(closeWatch_, name, IN_CLOSE_WRITE | IN_CLOSE_NOWRITE);
    }
    return true;
}

void PseudoTerminal::liftExclusiveHold() {
    char events[4096];
    while (::read(closeWatch_, events, sizeof events) > 0) {
    }
    ::ioctl(slave_, TIOCNXCL);
}

bool PortLink::create(const std::string& folder, int port, const std::string& target,
                      std::string& error) {
    namespace fs = std::filesystem;
    const fs::path ports = fs::path(folder) / "ports";
    std::error_code ec;
    fs::create_directories(ports, ec);
    if (ec) {
        error = "cannot make " + ports.string() + ": " + ec.message();
        return false;
    }
    const fs::path link = ports / ("com" + std::to_string(port));
    const auto status = fs::symlink_status(link, ec);
    if (fs::exists(status)) {
        if (!fs::is_symlink(status)) {
            error = link.string() + " exists and is not a link; left alone";
            return false;
        }
        fs::remove(link, ec);
    }
    fs::create_symlink(target, link, ec);
    if (ec) {
        error = "cannot make " + link.string() + ": " + ec.message();
        return false;
    }
    path_ = link.string();
    target_ = target;
    return true;
}

void PortLink::remove() {
    if (path_.empty()) {
        return;
    }
    std::error_code ec;
    if (std::filesystem::read_symlink(path_, ec) == target_ && !ec) {
        std::filesystem::remove(path_, ec);
    }
    path_.clear();
}

std::string executableFolder() {
    std::error_code ec;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) {
        return ".";
    }
    return self.parent_path().string();
}

}  // namespace veltro::sim
