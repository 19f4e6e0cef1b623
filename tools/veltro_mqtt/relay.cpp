#include "relay.h"

#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "meter/status_frame.h"

namespace veltro::tap {

namespace {

constexpr std::size_t kReadSize = 4096;
// Bytes a side may owe its reader before more are dropped: far more than a
// meter exchange, bounded so a stuck reader cannot grow the tap.
constexpr std::size_t kPendingLimit = 64 * 1024;
constexpr auto kRetryInterval = std::chrono::seconds(1);
// Also between chunks, the panel's speed is looked at this often.
constexpr auto kSpeedCheck = std::chrono::milliseconds(500);
// A meter answers a poll within a few milliseconds; what comes later is not
// the reply to the tap's own poll.
constexpr auto kOwnReplyWindow = std::chrono::milliseconds(250);
// The reader of the queue (decoding, publishing) is woken this long after
// the first chunk it has not seen: a poll's reply, or the next poll, is
// relayed first rather than share the two cores with that work. A meter
// starts its reply 2 ms after the poll at the earliest.
constexpr auto kObserverDelay = std::chrono::milliseconds(1);

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

// A path as the file system finds it: its folder with every link resolved.
std::filesystem::path located(const std::filesystem::path& path) {
    std::error_code ec;
    const auto absolute = std::filesystem::absolute(path, ec).lexically_normal();
    const auto folder = std::filesystem::weakly_canonical(absolute.parent_path(), ec);
    return ec ? absolute : folder / absolute.filename();
}

// The device path, or a link on the way from it, is the panel side's link.
bool leadsTo(const std::string& device, const std::string& link) {
    namespace fs = std::filesystem;
    const fs::path own = located(link);
    fs::path hop = located(device);
    for (int links = 0; links < 40; ++links) {
        if (hop == own) {
            return true;
        }
        std::error_code ec;
        const fs::path next = fs::read_symlink(hop, ec);
        if (ec) {
            return false;
        }
        hop = located(next.is_absolute() ? next : hop.parent_path() / next);
    }
    return false;
}

}  // namespace

Relay::Relay(std::string devicePath, std::string folder, int port, AlonePolling alone, ChunkQueue& queue,
             Log log)
    : devicePath_(std::move(devicePath)),
      queue_(queue),
      log_(std::move(log)),
      panelSide_(folder, port, false),
      ownLink_(pty::linkPathFor(folder, port)),
      alone_(std::move(alone)) {}

bool Relay::start(std::string& error) {
    if (leadsTo(devicePath_, ownLink_)) {
        refused_ = true;
        error = devicePath_ + " is the tap's own panel side " + ownLink_ +
                ": give the meter's device (a simulator takes another --port or --dir)";
        return false;
    }
    if (!panelSide_.open(error)) {
        return false;
    }
    readPanelLine(panelSide_.masterFd(), panelLine_);
    if (!openDevice(error)) {
        panelSide_.removeLink();
        return false;
    }
    ownPollAt_ = Clock::now();
    return true;
}

bool Relay::openDevice(std::string& error) {
    struct stat own {};
    const dev_t ownDevice = ::stat(panelSide_.devicePath().c_str(), &own) == 0 ? own.st_rdev : 0;
    bool itself = false;
    const bool opened = device_.open(devicePath_, attached_ ? panelLine_ : aloneLine(), ownDevice, itself, error);
    refused_ = itself;
    return opened;
}

termios Relay::aloneLine() const {
    termios line = panelLine_;
    cfsetispeed(&line, alone_.speed);
    cfsetospeed(&line, alone_.speed);
    return line;
}

void Relay::run(int stopFd) {
    for (;;) {
        // With nobody on it, the panel's side reports a hang-up for ever:
        // it is watched for opens instead.
        const int panel = attached_ ? panelSide_.masterFd() : -1;
        const int device = device_.fd();
        pollfd fds[4] = {{stopFd, POLLIN, 0},
                         {panel, static_cast<short>(POLLIN | (toPanel_.empty() ? 0 : POLLOUT)), 0},
                         {device, static_cast<short>(POLLIN | (toDevice_.empty() ? 0 : POLLOUT)), 0},
                         {panelSide_.closeWatchFd(), POLLIN, 0}};
        const auto now = Clock::now();
        auto wakeAt = device < 0 ? retryAt_ : now + kSpeedCheck;
        if (pollingAlone()) {
            wakeAt = std::min(wakeAt, ownPollAt_);
        }
        if (observerDue_) {
            wakeAt = std::min(wakeAt, *observerDue_);
        }
        const auto wait = std::chrono::ceil<std::chrono::milliseconds>(wakeAt - now);
        const int timeout = static_cast<int>(std::max<long long>(0, wait.count()));
        const int ready = ::poll(fds, 4, timeout);
        if (ready < 0 && errno != EINTR) {
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
        if (panel >= 0 && (fds[1].revents & POLLOUT)) {
            flush(panel, toPanel_);
        }
        if (attached_ && (fds[1].revents & (POLLHUP | POLLERR))) {
            detach();
        } else if (!attached_ && panelSide_.attachedNow()) {
            attach();
        }
        // A speed set with nothing written is seen here within the check's
        // interval; one set just before a write, as that write is read.
        if (!device_.isOpen() && Clock::now() >= retryAt_) {
            retry();
        } else if (ready == 0) {
            followSpeed();
        }
        if (pollingAlone() && Clock::now() >= ownPollAt_) {
            pollAlone();
        }
        if (observerDue_ && Clock::now() >= *observerDue_) {
            observerDue_.reset();
            queue_.poke();
        }
    }
}

bool Relay::pollingAlone() const {
    return !attached_ && device_.isOpen() && panelSide_.present() && alone_.interval.count() > 0;
}

void Relay::attach() {
    attached_ = true;
    followSpeed();
    log_("a panel opened " + panelSide_.linkPath() + "; the tap only relays its polls");
}

void Relay::detach() {
    attached_ = false;
    toPanel_.clear();
    std::string error;
    if (!panelSide_.renew(error)) {
        log_(error);
    }
    readPanelLine(panelSide_.masterFd(), panelLine_);
    device_.follow(aloneLine());
    ownPollAt_ = Clock::now() + alone_.interval;
    log_(alone_.interval.count() > 0 ? "the panel closed its side; the tap polls the meter itself again"
                                     : "the panel closed its side");
}

void Relay::pollAlone() {
    const auto now = Clock::now();
    ownPollAt_ = now + alone_.interval;
    forward(device_.fd(), toDevice_, alone_.command.data(), alone_.command.size());
    handOver(record::Direction::ToMeter, alone_.command);
    ownReplyLeft_ = kFrameLength;
    ownReplyUntil_ = now + std::min<Clock::duration>(alone_.interval, kOwnReplyWindow);
}

void Relay::readPanel() {
    char buffer[kReadSize];
    const ssize_t n = ::read(panelSide_.masterFd(), buffer, sizeof buffer);
    if (n <= 0) {
        return;  // a panel that closed its side is seen by its hang-up
    }
    // The panel sets its speed before it writes; the device gets it first.
    followSpeed();
    if (device_.isOpen()) {
        forward(device_.fd(), toDevice_, buffer, static_cast<std::size_t>(n));
    }
    handOver(record::Direction::ToMeter, std::string(buffer, static_cast<std::size_t>(n)));
}

void Relay::readDevice(bool hungUp) {
    char buffer[kReadSize];
    const ssize_t n = ::read(device_.fd(), buffer, sizeof buffer);
    if (n > 0) {
        // The reply to the tap's own poll is for the tap alone.
        std::size_t own = 0;
        if (ownReplyLeft_ > 0 && Clock::now() < ownReplyUntil_) {
            own = std::min(ownReplyLeft_, static_cast<std::size_t>(n));
            ownReplyLeft_ -= own;
        } else {
            ownReplyLeft_ = 0;
        }
        if (attached_ && own < static_cast<std::size_t>(n)) {
            forward(panelSide_.masterFd(), toPanel_, buffer + own, static_cast<std::size_t>(n) - own);
        }
        handOver(record::Direction::FromMeter, std::string(buffer, static_cast<std::size_t>(n)));
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
    attached_ = false;
    ownReplyLeft_ = 0;
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
    // A program that has the device's path now may have the tap's own new
    // side: that is never the meter, so it waits for the path to change.
    if (!openDevice(error)) {
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
    ownPollAt_ = Clock::now();
}

void Relay::followSpeed() {
    termios line{};
    if (!attached_ || !readPanelLine(panelSide_.masterFd(), line)) {
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

void Relay::handOver(record::Direction direction, std::string bytes) {
    const auto now = Clock::now();
    queue_.push({now, direction, std::move(bytes)});
    if (!observerDue_) {
        observerDue_ = now + kObserverDelay;
    }
}

void Relay::flush(int fd, std::string& pending) {
    const ssize_t written = ::write(fd, pending.data(), pending.size());
    if (written > 0) {
        pending.erase(0, static_cast<std::size_t>(written));
    }
}

}  // namespace veltro::tap
