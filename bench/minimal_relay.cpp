// The least a relay between a serial device and a panel can do: a
// pseudo-terminal linked at LINK, and every byte copied on as it is read,
// both ways. The tap's bench runs it beside veltro-mqtt, so what the tap's
// own code adds to the line can be told from what two hops cost on the host.
// Usage: veltro-bench-relay DEVICE LINK
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace {

volatile sig_atomic_t stopping = 0;

void onStop(int) {
    stopping = 1;
}

int openRaw(const char* path) {
    const int fd = ::open(path, O_RDWR | O_NOCTTY);
    termios line{};
    if (fd >= 0 && tcgetattr(fd, &line) == 0) {
        cfmakeraw(&line);
        tcsetattr(fd, TCSANOW, &line);
    }
    return fd;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s DEVICE LINK\n", argv[0]);
        return 2;
    }
    const int device = openRaw(argv[1]);
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (device < 0 || master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) {
        std::perror("veltro-bench-relay");
        return 1;
    }
    // Held open here, so the master never hangs up between panels.
    const int slave = openRaw(ptsname(master));
    ::unlink(argv[2]);
    if (slave < 0 || ::symlink(ptsname(master), argv[2]) != 0) {
        std::perror("veltro-bench-relay");
        return 1;
    }
    signal(SIGTERM, onStop);
    signal(SIGINT, onStop);
    char buffer[4096];
    while (!stopping) {
        pollfd fds[2] = {{device, POLLIN, 0}, {master, POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            continue;
        }
        for (int i = 0; i < 2; ++i) {
            if (fds[i].revents & POLLIN) {
                const ssize_t n = ::read(fds[i].fd, buffer, sizeof buffer);
                if (n > 0 && ::write(fds[1 - i].fd, buffer, static_cast<size_t>(n)) != n) {
                    std::fprintf(stderr, "veltro-bench-relay: a short write\n");
                }
            }
        }
    }
    ::unlink(argv[2]);
    return 0;
}
