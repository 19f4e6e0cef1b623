// What veltro-mqtt adds to the line: the time a poll and a frame take through
// the tap, through the minimal relay (veltro-bench-relay: two hops and
// nothing else) and through one bare pseudo-terminal hop, in turns within the
// same run; and the tap's CPU at 20 frames a second with a real mosquitto
// taking the readings.
// Usage: veltro-bench-tap VELTRO_MQTT VELTRO_BENCH_RELAY [FRAMES]
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

struct Chain {
    int meter = -1;  // the meter's end
    int panel = -1;  // the panel's end
    std::vector<double> poll, frame;
};

void exchange(Chain& chain, const std::string& frame) {
    chain.poll.push_back(through(chain.panel, chain.meter, "P"));
    chain.frame.push_back(through(chain.meter, chain.panel, frame));
}

int waitAndOpen(const fs::path& link) {
    for (int i = 0; i < 500 && !fs::exists(link); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return openRaw(link.string());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s VELTRO_MQTT VELTRO_BENCH_RELAY [FRAMES]\n", argv[0]);
        return 2;
    }
    const int frames = argc > 3 ? std::atoi(argv[3]) : 1200;
    const fs::path folder = fs::temp_directory_path() / ("veltro-bench-tap-" + std::to_string(getpid()));
    fs::create_directories(folder);
    const int port = veltro::testing::freeLoopbackPort();
    const passwd* self = getpwuid(getuid());
    std::ofstream(folder / "mosquitto.conf") << "listener " << port << " 127.0.0.1\nallow_anonymous true\n"
                                             << "persistence false\nuser " << self->pw_name << "\n";
    const pid_t broker = spawn({"mosquitto", "-c", (folder / "mosquitto.conf").string()});

    // The tap polls nothing of its own here: the bench is the panel.
    const Pty tapMeter = makePty();
    const pid_t tap = spawn({argv[1], "--device", tapMeter.slavePath, "--dir", folder.string(), "--port", "1",
                             "--broker-port", std::to_string(port), "--id", "bench", "--alone-poll", "0"});
    const Pty relayMeter = makePty();
    const pid_t relay = spawn({argv[2], relayMeter.slavePath, (folder / "relay-com1").string()});
    const Pty bare = makePty();
    Chain chains[3];
    chains[0] = {tapMeter.master, waitAndOpen(folder / "ports/com1"), {}, {}};
    chains[1] = {relayMeter.master, waitAndOpen(folder / "relay-com1"), {}, {}};
    chains[2] = {bare.master, openRaw(bare.slavePath), {}, {}};
    std::this_thread::sleep_for(std::chrono::seconds(1));  // broker connected, state settled

    const double cpuBefore = cpuSeconds(tap);
    const auto start = Clock::now();
    veltro::FrameFields fields;
    for (int i = 0; i < frames; ++i) {
        fields.forwardPower = 50 + (i % 40) * 2.5;  // a moving reading: state goes out
        fields.powerDbm = 47 + (i % 40) * 0.1;
        const std::string frame = veltro::buildFrame(fields);
        // Each takes its turn first: the first exchange after the pause meets
        // cold caches and sleeping cores, and all three get it alike.
        for (int k = 0; k < 3; ++k) {
            exchange(chains[(i + k) % 3], frame);
        }
        std::this_thread::sleep_until(start + std::chrono::milliseconds(50) * (i + 1));
    }
    const double wall = std::chrono::duration<double>(Clock::now() - start).count();
    const double cpu = cpuSeconds(tap) - cpuBefore;

    for (pid_t child : {tap, relay, broker}) {
        kill(child, SIGTERM);
        waitpid(child, nullptr, 0);
    }
    fs::remove_all(folder);

    for (const Chain& chain : chains) {
        for (const auto* times : {&chain.poll, &chain.frame}) {
            if (*std::min_element(times->begin(), times->end()) < 0) {
                std::fprintf(stderr, "a poll or frame did not come through\n");
                return 1;
            }
        }
    }
    // What a program adds in a round: its chain's time less the bare hop's
    // in the same round, so load that hits the whole round cancels out.
    const auto added = [](const std::vector<double>& chain, const std::vector<double>& bare) {
        std::vector<double> us;
        for (std::size_t i = 0; i < chain.size(); ++i) {
            us.push_back(chain[i] - bare[i]);
        }
        return spread(us);
    };
    const auto row = [&](const char* what, std::vector<double> Chain::*times) {
        const Spread bare = spread(chains[2].*times);
        const Spread tap = added(chains[0].*times, chains[2].*times);
        const Spread relay = added(chains[1].*times, chains[2].*times);
        std::printf("%-26s bare hop median %5.1f p99 %7.1f us | added by the tap median %5.1f p99 %7.1f us, "
                    "by the minimal relay median %5.1f p99 %7.1f us | tap/relay %.2fx median, %.2fx p99\n",
                    what, bare.median, bare.p99, tap.median, tap.p99, relay.median, relay.p99,
                    tap.median / relay.median, tap.p99 / relay.p99);
    };
    row("poll (1 byte) to meter", &Chain::poll);
    row("frame (43 bytes) to panel", &Chain::frame);
    std::printf("tap CPU at 20 frames/s: %.3f s in %.1f s = %.2f %% of a core (%d frames)\n", cpu, wall,
                100 * cpu / wall, frames);
    return 0;
}
