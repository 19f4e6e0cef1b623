#include "sim_options.h"

#include "whole_number.h"

#include <charconv>
#include <string_view>

namespace veltro::sim {

namespace {

struct FaultEntry {
    const char* name;
    Fault fault;
};
constexpr FaultEntry kFaults[] = {
    {"normal", Fault::None}, {"silent", Fault::Silent}, {"garbage", Fault::Garbage},
    {"split", Fault::Split}, {"cr", Fault::TrailingCr}, {"double", Fault::Double},
    {"late", Fault::Late},
};

}  // namespace

std::optional<Fault> faultByName(const std::string& name) {
    for (const auto& entry : kFaults) {
        if (name == entry.name) {
            return entry.fault;
        }
    }
    return std::nullopt;
}

const char* faultName(Fault fault) {
    for (const auto& entry : kFaults) {
        if (entry.fault == fault) {
            return entry.name;
        }
    }
    return "?";
}

std::string usageText() {
    return R"(Usage: veltro-meter-sim [options]

Simulated Veltro wattmeter on a pseudo-terminal. Makes the link
<folder>/ports/com<N> to its device, prints the device path on one line of
stdout, answers every poll (";P?" or "P") with one 43-character status frame,
and steps the alarm setting (";A?"/"A"), the power mode (";F?"/"F") and stores
the call sign (";C" + 6 characters + "?"). Every command received is logged
on stderr. The link is removed on exit (also on SIGINT and SIGTERM).

Options:
  -p, --port N      port number of the link ports/com<N>, 1..255 (default 1)
  -d, --dir FOLDER  folder that holds ports/ (default: the folder the panel
                    reads, see Files)
  --steady          fixed readings: 100.00 W, 50.0 dBm, SWR 1.50, 75.0 ohm at 0.0
                    degrees, range 1 (default: a moving station)
  --silent          answer nothing
  --garbage         answer junk instead of frames
  --split           send each frame in two writes, --gap ms apart, and ignore
                    polls in between
  --trailing-cr     end each frame with a carriage return
  --double          answer each poll with two frames
  --late            answer each poll after --delay ms
  --gap MS          gap of --split (default 500)
  --delay MS        delay of --late (default 500)
  --generation G    the meter's firmware generation: "older" runs at 38400 baud
                    and knows only the long commands (";P?"), "newer" (the
                    default) runs at 115200 baud and knows the short ones ("P")
                    as well as the long ones
  --turnaround MS   from the end of a command to the first character of the
                    reply (default 2)
  --vanish-after MS vanish once, MS after the start, as an adapter pulled out:
                    the pseudo-terminal is closed and the link removed
  --vanish-for MS   how long it stays away (default 2000); then a new
                    pseudo-terminal (a new device path, as a replugged adapter
                    gets) is linked again and its path printed on stdout
  --replay FILE     answer each poll with the next reply of a line recording
                    made by veltro-mqtt --record, in order; silent once it is
                    used up
  -h, --help        show this text

The line: the meter sends at its generation's speed, 10 bit times a
character (start, 8 data, stop bits; 43 characters take 11.2 ms at 38400 baud,
3.7 ms at 115200), a reply as one stream of characters after its turnaround,
counted from the end of the command (the command's own characters at the
line's speed included). While the speed that the panel set on its end of the
pseudo-terminal differs from the meter's, the meter understands no command and
whatever it sends arrives as a UART at the wrong speed reads it: fewer or more
bytes, mixed bits, framing errors as zero bytes.

Control lines on stdin, one per line, switch at run time:
  normal | silent | garbage | split | cr | double | late
  steady | moving | gap MS | delay MS
  reading watts=W swr=S
                    hold this reading (either or both; the rest derived or
                    kept): "reading watts=0" shows the carrier off,
                    "reading swr=3.5" an alarm, watts=250 / 250.01 the edge
                    of a range; "moving" lets it go again
  turnaround MS     as --turnaround
  generation G      swap in a meter of generation G (older or newer)
  vanish MS         vanish now and come back after MS, as --vanish-for
  flood MS          send junk as fast as the line takes it for MS

Files:
  The default link folder is the executable's folder while it is writable (a
  build folder: build/bin/ports/com<N>, beside the panel and its config.ini);
  when it is not (an installed package), the panel's per-user folder
  $XDG_CONFIG_HOME/veltro-panel, normally ~/.config/veltro-panel, which also
  holds the installed panel's config.ini. The panel looks for ports/com<n> in
  its own folder first, then in that per-user folder.
)";
}

bool parseOptions(int argc, char** argv, SimOptions& options, std::string& error) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        const bool hasValue = i + 1 < argc;
        auto value = [&]() -> std::string_view { return hasValue ? argv[++i] : ""; };
        if (arg == "-h" || arg == "--help") {
            options.help = true;
        } else if (arg == "-p" || arg == "--port") {
            if (!parseWholeNumber(value(), 1, 255, options.port)) {
                error = "--port needs a number from 1 to 255";
                return false;
            }
        } else if (arg == "-d" || arg == "--dir") {
            if (!hasValue) {
                error = "--dir needs a folder";
                return false;
            }
            options.folder = value();
        } else if (arg == "--replay") {
            if (!hasValue) {
                error = "--replay needs a line recording";
                return false;
            }
            options.replayFile = value();
        } else if (arg == "--steady") {
            options.steady = true;
        } else if (arg == "--trailing-cr") {
            options.fault = Fault::TrailingCr;
        } else if (arg.starts_with("--") && faultByName(std::string(arg.substr(2)))) {
            options.fault = *faultByName(std::string(arg.substr(2)));
        } else if (arg == "--vanish-after" || arg == "--vanish-for") {
            int& target = arg == "--vanish-after" ? options.vanishAfterMs : options.vanishForMs;
            if (!parseWholeNumber(value(), 0, 3600000, target)) {
                error = std::string(arg) + " needs milliseconds from 0 to 3600000";
                return false;
            }
        } else if (arg == "--gap" || arg == "--delay") {
            int& target = arg == "--gap" ? options.gapMs : options.delayMs;
            if (!parseWholeNumber(value(), 0, 60000, target)) {
                error = std::string(arg) + " needs milliseconds from 0 to 60000";
                return false;
            }
        } else if (arg == "--generation") {
            const auto generation = generationByName(std::string(value()));
            if (!generation) {
                error = "--generation needs older or newer";
                return false;
            }
            options.generation = *generation;
        } else if (arg == "--turnaround") {
            if (!parseWholeNumber(value(), 0, 60000, options.turnaroundMs)) {
                error = "--turnaround needs milliseconds from 0 to 60000";
                return false;
            }
        } else {
            error = "unknown argument: " + std::string(arg);
            return false;
        }
    }
    return true;
}

}  // namespace veltro::sim
