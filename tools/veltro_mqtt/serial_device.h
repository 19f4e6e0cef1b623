#pragma once

#include <sys/types.h>
#include <termios.h>

#include <string>

namespace veltro::tap {

// The real meter's serial device: raw, non-blocking, held exclusively, its
// line speed and character format following what the panel sets on its side.
class SerialDevice {
  public:
    SerialDevice() = default;
    ~SerialDevice() { close(); }
    SerialDevice(const SerialDevice&) = delete;
    SerialDevice& operator=(const SerialDevice&) = delete;

    // False with a message; a path that is no character device, or that is
    // the device `notThis` (the tap's own panel side), is refused before it
    // is opened, the latter with `itself` set.
    bool open(const std::string& path, const termios& panelSide, dev_t notThis, bool& itself,
              std::string& error);
    void close();
    bool isOpen() const { return fd_ >= 0; }
    int fd() const { return fd_; }

    // Applies the panel side's speed and format when they differ from the
    // device's; true when it changed something.
    bool follow(const termios& panelSide);

  private:
    int fd_ = -1;
    termios applied_{};
};

// Speed and character bits of a terminal, as one comparable pair.
bool sameLine(const termios& a, const termios& b);

}  // namespace veltro::tap
