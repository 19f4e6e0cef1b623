// veltro-meter-sim: a simulated meter on a pseudo-terminal, for development,
// demonstrations and tests on Linux. See --help.
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <iostream>
#include <map>
#include <string>

#include <QString>

#include "command_parser.h"
#include "meter_behaviour.h"
#include "platform/settings_location.h"
#include "pty_link.h"
#include "sim_options.h"

namespace {

using namespace veltro::sim;

int signalPipe[2] = {-1, -1};

void onSignal(int) {
    const char byte = 1;
    (void)!::write(signalPipe[1], &byte, 1);
}

void installSignalHandlers() {
    if (::pipe(signalPipe) != 0) {
        return;
    }
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
        sigaction(sig, &action, nullptr);
    }
    signal(SIGPIPE, SIG_IGN);
}

// Command bytes for the log: printable ASCII as is, the rest as \xNN.
std::string printable(const std::string& bytes) {
    std::string out;
    for (unsigned char c : bytes) {
        if (c >= 0x20 && c < 0x7f) {
            out += static_cast<char>(c);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02x", c);
            out += hex;
        }
    }
    return out;
}

void log(const std::string& line) {
    std::cerr << "veltro-meter-sim: " << line << std::endl;
}

class Simulator {
  public:
    Simulator(const SimOptions& options, int master) : behaviour_(options), master_(master) {}

    // Runs until a signal arrives.
    void run() {
        for (;;) {
            pollfd fds[3] = {
                {master_, POLLIN, 0}, {signalPipe[0], POLLIN, 0}, {stdinFd_, POLLIN, 0}};
            const int count = stdinFd_ >= 0 ? 3 : 2;
            if (::poll(fds, count, timeoutMs()) < 0 && errno != EINTR) {
                log("poll failed");
                return;
            }
            if (fds[1].revents != 0) {
                return;
            }
            if (fds[0].revents & POLLIN) {
                readCommands();
            }
            if (count == 3 && fds[2].revents != 0) {
                readControl();
            }
            writeDue();
        }
    }

  private:
    int timeoutMs() const {
        if (pending_.empty()) {
            return -1;
        }
        const auto wait = pending_.begin()->first - Clock::now();
        const auto ms = std::chrono::ceil<std::chrono::milliseconds>(wait).count();
        return ms < 0 ? 0 : static_cast<int>(ms);
    }

    void readCommands() {
        char buffer[512];
        const ssize_t n = ::read(master_, buffer, sizeof buffer);
        if (n <= 0) {
            return;
        }
        const auto now = Clock::now();
        for (const auto& command : parser_.feed(std::string(buffer, static_cast<size_t>(n)))) {
            auto outcome = behaviour_.handle(command, now);
            log("received \"" + printable(command.text) + "\" (" + describe(command.kind) +
                "): " + outcome.note);
            for (auto& write : outcome.writes) {
                pending_.emplace(write.due, std::move(write.bytes));
            }
        }
    }

    void readControl() {
        char buffer[256];
        const ssize_t n = ::read(stdinFd_, buffer, sizeof buffer);
        if (n <= 0) {
            stdinFd_ = -1;  // no more control lines (stdin closed or not a stream)
            return;
        }
        controlText_.append(buffer, static_cast<size_t>(n));
        for (auto end = controlText_.find('\n'); end != std::string::npos;
             end = controlText_.find('\n')) {
            std::string line = controlText_.substr(0, end);
            controlText_.erase(0, end + 1);
            if (!line.empty() && line.back() == '\r') {
                line.pop_back();
            }
            const std::string done = behaviour_.control(line);
            log(done.empty() ? "unknown control line \"" + printable(line) + "\"" : done);
        }
    }

    void writeDue() {
        const auto now = Clock::now();
        while (!pending_.empty() && pending_.begin()->first <= now) {
            const std::string& bytes = pending_.begin()->second;
            const ssize_t n = ::write(master_, bytes.data(), bytes.size());
            if (n != static_cast<ssize_t>(bytes.size())) {
                log("reply not fully sent (nobody reading?)");
            }
            pending_.erase(pending_.begin());
        }
    }

    MeterBehaviour behaviour_;
    CommandParser parser_;
    int master_;
    int stdinFd_ = STDIN_FILENO;
    std::string controlText_;
    std::multimap<Clock::time_point, std::string> pending_;
};

}  // namespace

int main(int argc, char** argv) {
    SimOptions options;
    std::string error;
    if (!parseOptions(argc, argv, options, error)) {
        std::cerr << "veltro-meter-sim: " << error << "\n\n" << usageText();
        return 2;
    }
    if (options.help) {
        std::cout << usageText();
        return 0;
    }
    if (options.folder.empty()) {
        // The folder the panel beside it reads: its own, or the per-user one
        // of a read-only install.
        const QString own = QString::fromStdString(executableFolder());
        options.folder = veltro::settingsFolderFor(own).toStdString();
    }
    installSignalHandlers();

    PseudoTerminal terminal;
    if (!terminal.open(error)) {
        log(error);
        return 1;
    }
    PortLink link;
    if (!link.create(options.folder, options.port, terminal.devicePath(), error)) {
        log(error);
        return 1;
    }
    std::cout << terminal.devicePath() << std::endl;
    log("link " + link.path() + " -> " + terminal.devicePath() + ", fault " +
        faultName(options.fault) + (options.steady ? ", steady readings" : ", moving readings"));

    Simulator(options, terminal.masterFd()).run();
    link.remove();
    log("stopped, link removed");
    return 0;
}
