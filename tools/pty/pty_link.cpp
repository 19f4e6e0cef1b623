#include "pty_link.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace veltro::pty {

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
    if (!hold_) {
        // Opened and closed once, the master reports a hang-up until a
        // program opens the slave; never opened, it would report nothing.
        ::close(slave_);
        slave_ = -1;
    }
    closeWatch_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (closeWatch_ >= 0) {
        inotify_add_watch(closeWatch_, name,
                          IN_CLOSE_WRITE | IN_CLOSE_NOWRITE | (hold_ ? 0 : IN_OPEN));
    }
    return true;
}

bool PseudoTerminal::attachedNow() const {
    pollfd fd{master_, 0, 0};
    return ::poll(&fd, 1, 0) >= 0 && (fd.revents & POLLHUP) == 0;
}

void PseudoTerminal::liftExclusiveHold() {
    char events[4096];
    while (::read(closeWatch_, events, sizeof events) > 0) {
    }
    if (slave_ >= 0) {
        ::ioctl(slave_, TIOCNXCL);
    }
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
    const fs::path link = linkPathFor(folder, port);
    const auto status = fs::symlink_status(link, ec);
    if (fs::exists(status)) {
        if (!fs::is_symlink(status)) {
            error = link.string() + " exists and is not a link; left alone";
            return false;
        }
        const fs::path held = fs::read_symlink(link, ec);
        if (held != target_ && fs::exists(link, ec)) {
            error = link.string() + " is in use (it names " + held.string() +
                    "); give this program another --port or --dir";
            return false;
        }
    }
    // Made beside it and renamed over it, so a program opening the link
    // never finds it missing.
    const fs::path fresh = link.string() + ".new";
    fs::remove(fresh, ec);
    fs::create_symlink(target, fresh, ec);
    if (!ec) {
        fs::rename(fresh, link, ec);
    }
    if (ec) {
        fs::remove(fresh, ec);
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

std::string linkPathFor(const std::string& folder, int port) {
    return (std::filesystem::path(folder) / "ports" / ("com" + std::to_string(port))).string();
}

std::string executableFolder() {
    std::error_code ec;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) {
        return ".";
    }
    return self.parent_path().string();
}

}  // namespace veltro::pty
