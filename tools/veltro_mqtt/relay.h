#pragma once

#include <functional>
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
class Relay {
  public:
    using Log = std::function<void(const std::string&)>;

    Relay(std::string devicePath, std::string folder, int port, ChunkQueue& queue, Log log);

    // Opens the device and links the panel's side. False with a message.
    bool start(std::string& error);
    // Relays until `stopFd` turns readable.
    void run(int stopFd);

    const std::string& linkPath() const { return panelSide_.linkPath(); }

  private:
    void readPanel();
    void readDevice(bool hungUp);
    void lose(const std::string& why);
    void retry();
    void followSpeed();
    void forward(int fd, std::string& pending, const char* data, std::size_t size);
    static void flush(int fd, std::string& pending);

    std::string devicePath_;
    ChunkQueue& queue_;
    Log log_;
    sim::ReplugLine panelSide_;
    SerialDevice device_;
    termios panelLine_{};   // the panel side's speed and format, last seen
    std::string toDevice_;  // what the device did not take yet
    std::string toPanel_;
    Clock::time_point retryAt_{};
    bool retryFailedLogged_ = false;
    bool overflowLogged_ = false;
};

}  // namespace veltro::tap
