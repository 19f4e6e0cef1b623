// What veltro-mqtt adds to the line: the time a poll and a frame take through
// the tap compared with one bare pseudo-terminal hop, and the tap's CPU at
// 20 frames a second with a real mosquitto taking the readings.
// Usage: veltro-bench-tap VELTRO_MQTT [FRAMES]
#include <fcntl.h>
#include <poll.h>
#include <pwd.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "meter/status_frame.h"
#include "support/loopback_port.h"

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

struct Pty {
    int master = -1;
    std::string slavePath;
};

Pty makePty() {
    Pty pty;
    pty.master = posix_openpt(O_RDWR | O_NOCTTY);
    grantpt(pty.master);
    unlockpt(pty.master);
    pty.slavePath = ptsname(pty.master);
    return pty;
}

int openRaw(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY);
    termios line{};
    tcgetattr(fd, &line);
    cfmakeraw(&line);
    cfsetspeed(&line, B115200);
    tcsetattr(fd, TCSANOW, &line);
    return fd;
}

// Microseconds from writing `bytes` on `from` until all of them are read on `to`.
double through(int from, int to, const std::string& bytes) {
    const auto start = Clock::now();
    if (::write(from, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) {
        return -1;
    }
    std::size_t got = 0;
    char buffer[256];
    while (got < bytes.size()) {
        pollfd fd{to, POLLIN, 0};
        if (::poll(&fd, 1, 2000) <= 0) {
            return -1;
        }
        const ssize_t n = ::read(to, buffer, sizeof buffer);
        if (n <= 0) {
            return -1;
        }
        got += static_cast<std::size_t>(n);
    }
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

pid_t spawn(const std::vector<std::string>& arguments) {
    const pid_t pid = fork();
    if (pid == 0) {
        std::vector<char*> argv;
        for (const auto& a : arguments) {
            argv.push_back(const_cast<char*>(a.c_str()));
        }
        argv.push_back(nullptr);
        const int null = ::open("/dev/null", O_WRONLY);
        dup2(null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    return pid;
}

double cpuSeconds(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), {});
    std::istringstream fields(text.substr(text.rfind(')') + 2));
    std::string skip;
    for (int i = 0; i < 11; ++i) {
        fields >> skip;
    }
    double user = 0, system = 0;
    fields >> user >> system;
    return (user + system) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

struct Spread {
    double median, p99;
};
Spread spread(std::vector<double> us) {
    std::sort(us.begin(), us.end());
    return {us[us.size() / 2], us[std::min(us.size() - 1, us.size() * 99 / 100)]};
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s VELTRO_MQTT [FRAMES]\n", argv[0]);
        return 2;
    }
    const int frames = argc > 2 ? std::atoi(argv[2]) : 1200;
    const fs::path folder = fs::temp_directory_path() / ("veltro-bench-tap-" + std::to_string(getpid()));
    fs::create_directories(folder);
    const int port = veltro::testing::freeLoopbackPort();
    const passwd* self = getpwuid(getuid());
    std::ofstream(folder / "mosquitto.conf") << "listener " << port << " 127.0.0.1\nallow_anonymous true\n"
                                             << "persistence false\nuser " << self->pw_name << "\n";
    const pid_t broker = spawn({"mosquitto", "-c", (folder / "mosquitto.conf").string()});

    const Pty meter = makePty();
    const pid_t tap = spawn({argv[1], "--device", meter.slavePath, "--dir", folder.string(), "--port", "1",
                             "--broker-port", std::to_string(port), "--id", "bench"});
    const fs::path link = folder / "ports/com1";
    for (int i = 0; i < 500 && !fs::exists(link); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    const int panel = openRaw(link.string());
    const Pty bare = makePty();
    const int bareSlave = openRaw(bare.slavePath);
    std::this_thread::sleep_for(std::chrono::seconds(1));  // broker connected, state settled

    std::vector<double> tapPoll, tapFrame, barePoll, bareFrame;
    const double cpuBefore = cpuSeconds(tap);
    const auto start = Clock::now();
    veltro::FrameFields fields;
    for (int i = 0; i < frames; ++i) {
        fields.forwardPower = 50 + (i % 40) * 2.5;  // a moving reading: state goes out
        fields.powerDbm = 47 + (i % 40) * 0.1;
        const std::string frame = veltro::buildFrame(fields);
        // Every other round the bare hop goes first: the first exchange after
        // the pause meets cold caches and sleeping cores, and both sides get it.
        const auto tapRound = [&] {
            tapPoll.push_back(through(panel, meter.master, "P"));
            tapFrame.push_back(through(meter.master, panel, frame));
        };
        const auto bareRound = [&] {
            barePoll.push_back(through(bareSlave, bare.master, "P"));
            bareFrame.push_back(through(bare.master, bareSlave, frame));
        };
        if (i % 2 == 0) {
            tapRound();
            bareRound();
        } else {
            bareRound();
            tapRound();
        }
        std::this_thread::sleep_until(start + std::chrono::milliseconds(50) * (i + 1));
    }
    const double wall = std::chrono::duration<double>(Clock::now() - start).count();
    const double cpu = cpuSeconds(tap) - cpuBefore;

    kill(tap, SIGTERM);
    waitpid(tap, nullptr, 0);
    kill(broker, SIGTERM);
    waitpid(broker, nullptr, 0);
    fs::remove_all(folder);

    if (std::min({*std::min_element(tapPoll.begin(), tapPoll.end()),
                  *std::min_element(tapFrame.begin(), tapFrame.end())}) < 0) {
        std::fprintf(stderr, "a poll or frame did not come through\n");
        return 1;
    }
    const auto row = [](const char* what, Spread tap, Spread bare) {
        std::printf("%-24s tap median %7.1f us  p99 %7.1f us | bare hop median %6.1f us  p99 %6.1f us | "
                    "added median %6.1f us  p99 %6.1f us\n",
                    what, tap.median, tap.p99, bare.median, bare.p99, tap.median - bare.median,
                    tap.p99 - bare.p99);
    };
    row("poll (1 byte) to meter", spread(tapPoll), spread(barePoll));
    row("frame (43 bytes) to panel", spread(tapFrame), spread(bareFrame));
    std::printf("tap CPU at 20 frames/s: %.3f s in %.1f s = %.2f %% of a core (%d frames)\n", cpu, wall,
                100 * cpu / wall, frames);
    return 0;
}
