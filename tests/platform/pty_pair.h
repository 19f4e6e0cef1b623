#pragma once

#include <fcntl.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>

// A raw pseudo-terminal for serial tests: the test plays the far end on the
// master, the port under test opens the slave by its path.
class PtyPair {
  public:
    PtyPair() {
        char name[256] = {};
        if (openpty(&master_, &slave_, name, nullptr, nullptr) == 0) {
            slavePath_ = name;
            termios raw{};
            tcgetattr(slave_, &raw);
            cfmakeraw(&raw);
            tcsetattr(slave_, TCSANOW, &raw);
            fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
        }
    }
    ~PtyPair() {
        closeMaster();
        if (slave_ >= 0) {
            ::close(slave_);
        }
    }
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    bool ok() const { return master_ >= 0; }
    const std::string& slavePath() const { return slavePath_; }
    int slaveFd() const { return slave_; }

    void send(const std::string& bytes) { (void)!::write(master_, bytes.data(), bytes.size()); }

    // Everything the port has written so far, waiting up to a short while
    // for the first bytes.
    std::string receive(std::chrono::milliseconds wait = std::chrono::milliseconds(500)) {
        std::string got;
        const auto deadline = std::chrono::steady_clock::now() + wait;
        char buf[512];
        for (;;) {
            const ssize_t n = ::read(master_, buf, sizeof buf);
            if (n > 0) {
                got.append(buf, static_cast<std::size_t>(n));
                continue;
            }
            if (!got.empty() || std::chrono::steady_clock::now() > deadline) {
                return got;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }

    // Waits until `count` bytes sent by the far end are queued for the port
    // under test, without running the event loop; false after a long bound.
    bool waitQueued(int count) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        int queued = 0;
        while (ioctl(slave_, FIONREAD, &queued) == 0 && queued < count &&
               std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return queued >= count;
    }

    // Hands the line over to the port under test only (as a real device
    // whose far end goes away would).
    void closeSlave() {
        if (slave_ >= 0) {
            ::close(slave_);
            slave_ = -1;
        }
    }
    void closeMaster() {
        if (master_ >= 0) {
            ::close(master_);
            master_ = -1;
        }
    }

  private:
    int master_ = -1;
    int slave_ = -1;
    std::string slavePath_;
};
