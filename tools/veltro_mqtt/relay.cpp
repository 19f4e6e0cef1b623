#include "relay.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace veltro::tap {

namespace {

constexpr std::size_t kReadSize = 4096;
// Bytes a side may owe its reader before more are dropped: far more than a
// meter exchange, bounded so a stuck reader cannot grow the tap.
constexpr std::size_t kPendingLimit = 64 * 1024;
constexpr auto kRetryInterval = std::chrono::seconds(1);
// Also between chunks, the panel's speed is looked at this often.
constexpr int kSpeedCheckMs = 500;

// On a pseudo-terminal's master this reads the panel's (slave) side.
bool readPanelLine(int master, termios& line) {
    return master >= 0 && tcgetattr(master, &line) == 0;
}

std::string baudText(speed_t speed) {
    struct Rate {
        speed_t code;
        const char* text;
    };
    static constexpr Rate kRates[] = {{B1200, "1200"},     {B2400, "2400"},    {B4800, "4800"},
                                      {B9600, "9600"},     {B19200, "19200"},  {B38400, "38400"},
                                      {B57600, "57600"},   {B115200, "115200"}, {B230400, "230400"}};
    for (const Rate& rate : kRates) {
        if (rate.code == speed) {
            return std::string(rate.text) + " baud";
        }
    }
    return "speed code " + std::to_string(speed);
}

}  // namespace

Relay::Relay(std::string devicePath, std::string folder, int port, ChunkQueue& queue, Log log)
    : devicePath_(std::move(devicePath)),
      queue_(queue),
      log_(std::move(log)),
      panelSide_(std::move(folder), port) {}

bool Relay::start(std::string& error) {
    if (!panelSide_.open(error)) {
        return false;
    }
    readPanelLine(panelSide_.masterFd(), panelLine_);
    if (!device_.open(devicePath_, panelLine_, error)) {
        panelSide_.removeLink();
        return false;
    }
    return true;
}

void Relay::run(int stopFd) {
    for (;;) {
        const int panel = panelSide_.masterFd();
        const int device = device_.fd();
        pollfd fds[4] = {{stopFd, POLLIN, 0},
                         {panel, static_cast<short>(POLLIN | (toPanel_.empty() ? 0 : POLLOUT)), 0},
                         {device, static_cast<short>(POLLIN | (toDevice_.empty() ? 0 : POLLOUT)), 0},
                         {panelSide_.closeWatchFd(), POLLIN, 0}};
        int timeout = kSpeedCheckMs;
        if (device < 0) {
            const auto wait = std::chrono::ceil<std::chrono::milliseconds>(retryAt_ - Clock::now());
            timeout = static_cast<int>(std::max<long long>(0, wait.count()));
        }
        if (::poll(fds, 4, timeout) < 0 && errno != EINTR) {
            log_(std::string("poll failed: ") + std::strerror(errno));
            return;
        }
        if (fds[0].revents != 0) {
            return;
        }
        if (fds[1].revents & POLLIN) {
            readPanel();
        }
        if (fds[3].revents & POLLIN) {
            panelSide_.liftExclusiveHold();
        }
        if (device >= 0 && device_.isOpen() && fds[2].revents != 0) {
            if (fds[2].revents & POLLOUT) {
                flush(device, toDevice_);
            }
            readDevice((fds[2].revents & (POLLHUP | POLLERR | POLLNVAL)) != 0);
        }
        if (panelSide_.masterFd() >= 0 && (fds[1].revents & POLLOUT)) {
            flush(panelSide_.masterFd(), toPanel_);
        }
        if (!device_.isOpen() && Clock::now() >= retryAt_) {
            retry();
        } else {
            followSpeed();
        }
    }
}

void Relay::readPanel() {
    char buffer[kReadSize];
    const ssize_t n = ::read(panelSide_.masterFd(), buffer, sizeof buffer);
    if (n <= 0) {
        return;  // the tap keeps the panel's side open itself: nothing to lose here
    }
    // The panel sets its speed before it writes; the device gets it first.
    followSpeed();
    if (device_.isOpen()) {
        forward(device_.fd(), toDevice_, buffer, static_cast<std::size_t>(n));
    }
    queue_.push({Clock::now(), record::Direction::ToMeter, std::string(buffer, static_cast<std::size_t>(n))});
}

void Relay::readDevice(bool hungUp) {
    char buffer[kReadSize];
    const ssize_t n = ::read(device_.fd(), buffer, sizeof buffer);
    if (n > 0) {
        if (panelSide_.masterFd() >= 0) {
            forward(panelSide_.masterFd(), toPanel_, buffer, static_cast<std::size_t>(n));
        }
        queue_.push({Clock::now(), record::Direction::FromMeter, std::string(buffer, static_cast<std::size_t>(n))});
        return;
    }
    // A device that reports a hang-up but has nothing to read is gone too:
    // waiting on it again would only spin.
    if (n < 0 && (errno == EAGAIN || errno == EINTR) && !hungUp) {
        return;
    }
    lose(n == 0 || hungUp ? "hung up" : std::strerror(errno));
}

void Relay::lose(const std::string& why) {
    device_.close();
    toDevice_.clear();
    toPanel_.clear();
    std::string error;
    if (!panelSide_.vanish(error)) {
        log_(error);
    }
    retryAt_ = Clock::now() + kRetryInterval;
    retryFailedLogged_ = false;
    log_("device " + devicePath_ + " lost (" + why + "); panel side hung up, retrying each second");
}

void Relay::retry() {
    retryAt_ = Clock::now() + kRetryInterval;
    std::string error;
    // The new panel side is not set up yet: the device keeps the last speed.
    if (!device_.open(devicePath_, panelLine_, error)) {
        if (!retryFailedLogged_) {
            log_("still away: " + error);
            retryFailedLogged_ = true;
        }
        return;
    }
    if (!panelSide_.comeBack(error)) {
        log_(error);
        device_.close();
        return;
    }
    log_("device " + devicePath_ + " back; " + panelSide_.linkPath() + " linked again");
}

void Relay::followSpeed() {
    termios line{};
    if (!readPanelLine(panelSide_.masterFd(), line) || sameLine(line, panelLine_)) {
        return;
    }
    panelLine_ = line;
    if (device_.follow(panelLine_)) {
        log_("the panel's line speed, " + baudText(cfgetospeed(&line)) + ", applied to the device");
    }
}

void Relay::forward(int fd, std::string& pending, const char* data, std::size_t size) {
    if (pending.empty()) {
        const ssize_t written = ::write(fd, data, size);
        if (written > 0) {
            data += written;
            size -= static_cast<std::size_t>(written);
        }
    }
    if (size == 0) {
        return;
    }
    if (pending.size() + size > kPendingLimit) {
        if (!overflowLogged_) {
            log_("a side is not reading; bytes for it dropped");
            overflowLogged_ = true;
        }
        return;
    }
    pending.append(data, size);
}

void Relay::flush(int fd, std::string& pending) {
    const ssize_t written = ::write(fd, pending.data(), pending.size());
    if (written > 0) {
        pending.erase(0, static_cast<std::size_t>(written));
    }
}

}  // namespace veltro::tap
