// veltro-meter-sim: a simulated meter on a pseudo-terminal, for development,
// demonstrations and tests on Linux. See --help.
#include <poll.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <iostream>
#include <map>
#include <optional>
#include <string>

#include <QString>

#include "command_parser.h"
#include "line_control.h"
#include "line_pacing.h"
#include "meter_behaviour.h"
#include "platform/settings_location.h"
#include "pty_link.h"
#include "replay.h"
#include "replug.h"
#include "sim_options.h"
#include "stop_signals.h"

namespace {

using namespace veltro::sim;
using namespace veltro::pty;

int stopFd = -1;  // readable once a stop signal came

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
    Simulator(const SimOptions& options, ReplugLine& line, Replay* replay)
        : behaviour_(options),
          replay_(replay),
          line_(line),
          turnaround_(options.turnaroundMs),
          vanishFor_(options.vanishForMs) {
        if (options.vanishAfterMs >= 0) {
            vanishAt_ = Clock::now() + std::chrono::milliseconds(options.vanishAfterMs);
        }
    }

    // Runs until a signal arrives.
    void run() {
        for (;;) {
            const int master = line_.masterFd();
            pollfd fds[4] = {{stopFd, POLLIN, 0},
                             {stdinFd_, POLLIN, 0},
                             {master, POLLIN, 0},
                             {line_.closeWatchFd(), POLLIN, 0}};
            const auto wait = waitTime();
            if (::ppoll(fds, 4, wait ? &*wait : nullptr, nullptr) < 0 && errno != EINTR) {
                log("poll failed");
                return;
            }
            if (fds[0].revents != 0) {
                return;
            }
            if (master >= 0 && (fds[2].revents & POLLIN)) {
                readCommands();
            }
            if (fds[3].revents & POLLIN) {
                line_.liftExclusiveHold();
            }
            if (stdinFd_ >= 0 && fds[1].revents != 0) {
                readControl();
            }
            replugDue();
            startDue();
            floodSome();
            deliverArrived();
        }
    }

  private:
    // Until the next thing due; none: wait for input.
    std::optional<timespec> waitTime() const {
        const auto now = Clock::now();
        std::optional<Clock::time_point> first;
        auto consider = [&first](std::optional<Clock::time_point> when) {
            if (when && (!first || *when < *first)) {
                first = when;
            }
        };
        if (!pending_.empty()) {
            consider(pending_.begin()->first);
        }
        consider(vanishAt_);
        consider(returnAt_);
        consider(floodUntil_);
        consider(paced_.nextHandOver(now));
        if (!first) {
            return std::nullopt;
        }
        const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(
            std::max(*first - now, Clock::duration::zero()));
        return timespec{static_cast<time_t>(ns.count() / 1'000'000'000),
                        static_cast<long>(ns.count() % 1'000'000'000)};
    }

    int meterSpeed() const { return lineSpeedOf(behaviour_.generation()); }

    bool flooding() const { return floodUntil_ && Clock::now() < *floodUntil_; }

    void readCommands() {
        char buffer[512];
        const ssize_t n = ::read(line_.masterFd(), buffer, sizeof buffer);
        if (n <= 0) {
            return;
        }
        const auto now = Clock::now();
        const std::string bytes(buffer, static_cast<size_t>(n));
        const int lineSpeed = terminalSpeed(line_.masterFd());
        std::string noise;
        const auto heard = hearCommands(parser_, bytes, now, lineSpeed, meterSpeed(), noise);
        if (lineSpeed != meterSpeed()) {
            log("heard \"" + printable(noise) + "\" with the line at " + std::to_string(lineSpeed) +
                " baud, the meter at " + std::to_string(meterSpeed()) + ": understood nothing");
        }
        for (const auto& [command, end] : heard) {
            auto outcome = replay_ != nullptr && command.kind == MeterCommand::Kind::Poll
                               ? replay_->answerPoll(end + turnaround_)
                               : behaviour_.handle(command, end + turnaround_);
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
            if (const auto control = parseLineControl(line)) {
                applyLineControl(*control);
                continue;
            }
            const std::string done = behaviour_.control(line);
            log(done.empty() ? "unknown control line \"" + printable(line) + "\"" : done);
        }
    }

    void applyLineControl(const LineControl& control) {
        if (control.kind == LineControl::Kind::Turnaround) {
            turnaround_ = control.duration;
            log("turnaround " + std::to_string(control.duration.count()) + " ms");
            return;
        }
        if (control.kind == LineControl::Kind::Flood) {
            floodUntil_ = Clock::now() + control.duration;
            log("flooding for " + std::to_string(control.duration.count()) + " ms");
            return;
        }
        vanishFor_ = control.duration;
        vanishAt_ = Clock::now();
    }

    // Vanishing and coming back, when due.
    void replugDue() {
        const auto now = Clock::now();
        std::string error;
        if (vanishAt_ && *vanishAt_ <= now) {
            vanishAt_.reset();
            if (!line_.vanish(error)) {
                log(error);
                return;
            }
            pending_.clear();  // replies of the old device go with it
            paced_.clear();
            parser_ = CommandParser{};
            floodUntil_.reset();
            returnAt_ = now + vanishFor_;
            log("vanished for " + std::to_string(vanishFor_.count()) + " ms");
        }
        if (returnAt_ && *returnAt_ <= now) {
            returnAt_.reset();
            if (!line_.comeBack(error)) {
                log(error);
                return;
            }
            std::cout << line_.devicePath() << std::endl;
            log("back: link " + line_.linkPath() + " -> " + line_.devicePath());
        }
    }

    // Replies whose time has come go to the transmitter, which paces them.
    void startDue() {
        const auto now = Clock::now();
        while (!pending_.empty() && pending_.begin()->first <= now) {
            auto due = pending_.begin();
            paced_.send(std::move(due->second), due->first, meterSpeed());
            pending_.erase(due);
        }
    }

    // Junk as fast as the line takes it, a little ahead of time.
    void floodSome() {
        if (!flooding()) {
            floodUntil_.reset();
            return;
        }
        const auto now = Clock::now();
        paced_.keepBusy('#', std::min(*floodUntil_, now + std::chrono::milliseconds(20)), now,
                        meterSpeed());
    }

    // The characters on the wire by now, as the panel's end receives them at
    // the speed it has set. The master is non-blocking.
    void deliverArrived() {
        std::string bytes = paced_.takeArrived(Clock::now());
        const int master = line_.masterFd();
        if (bytes.empty() || master < 0) {
            return;
        }
        const int lineSpeed = terminalSpeed(master);
        if (lineSpeed != meterSpeed()) {
            bytes = receivedAtSpeed(bytes, meterSpeed(), lineSpeed);
        }
        const ssize_t n = bytes.empty() ? 0 : ::write(master, bytes.data(), bytes.size());
        const bool lost = n != static_cast<ssize_t>(bytes.size());
        if (lost && !losing_) {
            log("bytes lost: nobody reading?");
        }
        losing_ = lost;
    }

    MeterBehaviour behaviour_;
    Replay* replay_;
    CommandParser parser_;
    ReplugLine& line_;
    int stdinFd_ = STDIN_FILENO;
    std::string controlText_;
    std::multimap<Clock::time_point, std::string> pending_;
    PacedLine paced_;
    std::chrono::milliseconds turnaround_;
    bool losing_ = false;
    std::chrono::milliseconds vanishFor_;
    std::optional<Clock::time_point> vanishAt_;
    std::optional<Clock::time_point> returnAt_;
    std::optional<Clock::time_point> floodUntil_;
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
    std::optional<Replay> replay;
    if (!options.replayFile.empty() && !replay.emplace().load(options.replayFile, error)) {
        log(error);
        return 2;
    }
    stopFd = stopSignalPipe();

    ReplugLine line(options.folder, options.port);
    if (!line.open(error)) {
        log(error);
        return 1;
    }
    std::cout << line.devicePath() << std::endl;
    log("link " + line.linkPath() + " -> " + line.devicePath() + ", fault " +
        faultName(options.fault) + (options.steady ? ", steady readings" : ", moving readings") +
        ", " + generationName(options.generation) + " firmware at " +
        std::to_string(lineSpeedOf(options.generation)) + " baud, turnaround " +
        std::to_string(options.turnaroundMs) + " ms");

    Simulator(options, line, replay ? &*replay : nullptr).run();
    line.removeLink();
    log("stopped, link removed");
    return 0;
}
