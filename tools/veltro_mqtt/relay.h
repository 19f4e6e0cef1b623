#pragma once

#include <functional>
#include <optional>
#include <string>

#include "chunk_queue.h"
#include "replug.h"
#include "serial_device.h"

namespace veltro::tap {

// The byte relay between the real device and the panel's pseudo-terminal
// (linked as <folder>/ports/com<port>). Every byte goes on the moment it is
// read, both ways; nothing of its own is ever written. A copy of each chunk
// goes to the queue afterwards. When the device vanishes the panel's side
// goes with it (hung up, link removed), as if the panel had the device
// itself; it is retried each second and linked again when it is back.
//
// While no program has the panel's side open, the tap polls the meter itself
// (only the poll command, at the meter's own line speed) so the readings
// still go out; none of those replies ever reaches a panel. A panel that
// closes its side leaves a fresh one behind for the next.
struct AlonePolling {
    std::chrono::milliseconds interval{0};  // 0: never
    std::string command;                    // "P" or ";P?"
    speed_t speed = B115200;
};

class Relay {
  public:
    using Log = std::function<void(const std::string&)>;

    Relay(std::string devicePath, std::string folder, int port, AlonePolling alone, ChunkQueue& queue,
          Log log);

    // Opens the device and links the panel's side. False with a message;
    // refused() then tells a device that is the tap's own side.
    bool start(std::string& error);
    bool refused() const { return refused_; }
    // Relays until `stopFd` turns readable.
    void run(int stopFd);

    const std::string& linkPath() const { return panelSide_.linkPath(); }

  private:
    bool openDevice(std::string& error);
    termios aloneLine() const;
    bool pollingAlone() const;
    void attach();
    void detach();
    void pollAlone();
    void readPanel();
    void readDevice(bool hungUp);
    void lose(const std::string& why);
    void retry();
    void followSpeed();
    void forward(int fd, std::string& pending, const char* data, std::size_t size);
    void handOver(record::Direction direction, std::string bytes);
    static void flush(int fd, std::string& pending);

    std::string devicePath_;
    ChunkQueue& queue_;
    Log log_;
    pty::ReplugLine panelSide_;
    std::string ownLink_;
    SerialDevice device_;
    AlonePolling alone_;
    bool attached_ = false;
    Clock::time_point ownPollAt_{};
    // Bytes of the reply to the tap's own poll still to be kept from a
    // panel that attached meanwhile, until the reply is due at the latest.
    std::size_t ownReplyLeft_ = 0;
    Clock::time_point ownReplyUntil_{};
    bool refused_ = false;
    std::optional<Clock::time_point> observerDue_;  // when to wake the queue's reader
    termios panelLine_{};   // the panel side's speed and format, last seen
    std::string toDevice_;  // what the device did not take yet
    std::string toPanel_;
    Clock::time_point retryAt_{};
    bool retryFailedLogged_ = false;
    bool overflowLogged_ = false;
};

}  // namespace veltro::tap
