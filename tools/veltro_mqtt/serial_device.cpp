#include "serial_device.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace veltro::tap {

namespace {

constexpr tcflag_t kFormatBits = CSIZE | PARENB | PARODD | CSTOPB;

termios withPanelLine(termios device, const termios& panelSide) {
    cfsetispeed(&device, cfgetispeed(&panelSide));
    cfsetospeed(&device, cfgetospeed(&panelSide));
    device.c_cflag = (device.c_cflag & ~kFormatBits) | (panelSide.c_cflag & kFormatBits);
    return device;
}

}  // namespace

bool sameLine(const termios& a, const termios& b) {
    return cfgetispeed(&a) == cfgetispeed(&b) && cfgetospeed(&a) == cfgetospeed(&b) &&
           (a.c_cflag & kFormatBits) == (b.c_cflag & kFormatBits);
}

bool SerialDevice::open(const std::string& path, const termios& panelSide, dev_t notThis, bool& itself,
                        std::string& error) {
    close();
    itself = false;
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        error = path + ": " + std::strerror(errno);
        return false;
    }
    if (!S_ISCHR(info.st_mode)) {
        error = path + " is not a serial device";
        return false;
    }
    if (info.st_rdev == notThis) {
        itself = true;
        error = path + " is the tap's own panel side, not the meter";
        return false;
    }
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = "cannot open " + path + ": " + std::strerror(errno);
        return false;
    }
    termios line{};
    if (tcgetattr(fd, &line) != 0) {
        error = path + " is not a serial device";
        ::close(fd);
        return false;
    }
    // Nobody else may open the meter's line behind the tap's back.
    ::ioctl(fd, TIOCEXCL);
    cfmakeraw(&line);
    line.c_cflag |= CLOCAL | CREAD;
    line = withPanelLine(line, panelSide);
    if (tcsetattr(fd, TCSANOW, &line) != 0) {
        error = "cannot set up " + path + ": " + std::strerror(errno);
        ::close(fd);
        return false;
    }
    tcflush(fd, TCIOFLUSH);
    fd_ = fd;
    applied_ = line;
    return true;
}

void SerialDevice::close() {
    if (fd_ >= 0) {
        ::ioctl(fd_, TIOCNXCL);
        ::close(fd_);
        fd_ = -1;
    }
}

bool SerialDevice::follow(const termios& panelSide) {
    if (fd_ < 0 || sameLine(applied_, panelSide)) {
        return false;
    }
    const termios line = withPanelLine(applied_, panelSide);
    if (tcsetattr(fd_, TCSANOW, &line) != 0) {
        return false;
    }
    applied_ = line;
    return true;
}

}  // namespace veltro::tap
