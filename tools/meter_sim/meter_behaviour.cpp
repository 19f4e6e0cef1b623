#include "meter_behaviour.h"

#include <charconv>
#include <sstream>
#include <string_view>

namespace veltro::sim {

namespace {

constexpr char kGarbage[] = "#?\x7f garbled\x01\x02 line noise %";

bool parseMilliseconds(const std::string& text, std::chrono::milliseconds& out) {
    int value = 0;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end || text.empty() || value < 0 || value > 60000) {
        return false;
    }
    out = std::chrono::milliseconds(value);
    return true;
}

}  // namespace

MeterBehaviour::MeterBehaviour(const SimOptions& options)
    : fault_(options.fault),
      generation_(options.generation),
      gap_(options.gapMs),
      delay_(options.delayMs) {
    model_.setSteady(options.steady);
}

MeterBehaviour::Outcome MeterBehaviour::handle(const MeterCommand& command, Clock::time_point now) {
    using Kind = MeterCommand::Kind;
    if (now < busyUntil_ && command.kind != Kind::Unknown) {
        return {{}, "ignored: busy sending"};
    }
    if (command.kind != Kind::Unknown && !understands(generation_, command)) {
        return {{}, std::string("not known to the ") + generationName(generation_) + " firmware"};
    }
    switch (command.kind) {
        case Kind::Poll:
            return answerPoll(now);
        case Kind::Alarm:
            model_.stepAlarm();
            return {{}, "alarm setting now " + std::to_string(model_.alarm())};
        case Kind::PowerMode:
            model_.stepPowerMode();
            return {{}, "power mode now " + std::to_string(model_.powerMode())};
        case Kind::Callsign:
            model_.setCallsign(command.callsign);
            return {{}, "call sign now \"" + command.callsign + "\""};
        case Kind::Unknown:
            break;
    }
    return {{}, "not a command"};
}

MeterBehaviour::Outcome MeterBehaviour::answerPoll(Clock::time_point now) {
    const std::string frame = buildFrame(model_.nextReading());
    Outcome outcome;
    outcome.note = fault_ == Fault::None ? "answered"
                                         : std::string("answered with fault ") + faultName(fault_);
    switch (fault_) {
        case Fault::None:
            outcome.writes.push_back({now, frame});
            break;
        case Fault::Silent:
            break;
        case Fault::Garbage:
            outcome.writes.push_back({now, std::string(kGarbage, sizeof kGarbage - 1)});
            break;
        case Fault::Split: {
            const std::size_t half = frame.size() / 2;
            outcome.writes.push_back({now, frame.substr(0, half)});
            outcome.writes.push_back({now + gap_, frame.substr(half)});
            busyUntil_ = now + gap_;
            break;
        }
        case Fault::TrailingCr:
            outcome.writes.push_back({now, frame + "\r"});
            break;
        case Fault::Double:
            // One write, so that no read can fall between the two.
            outcome.writes.push_back({now, frame + buildFrame(model_.nextReading())});
            break;
        case Fault::Late:
            outcome.writes.push_back({now + delay_, frame});
            break;
    }
    return outcome;
}

namespace {

// "watts=250" and "swr=3.5", either or both, into a held reading: what the
// frame's columns can show, nothing else.
std::string readingControl(const std::string& line, ReadingModel& model) {
    double watts = model.steadyWatts();
    double swr = model.steadySwr();
    std::istringstream words(line.substr(std::string_view("reading").size()));
    std::string word;
    bool any = false;
    while (words >> word) {
        const auto equals = word.find('=');
        const std::string key = word.substr(0, equals);
        const std::string text = equals == std::string::npos ? "" : word.substr(equals + 1);
        double value = 0;
        const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
        const bool number = ec == std::errc() && end == text.data() + text.size() && !text.empty();
        if (key == "watts" && number && value >= 0 && value <= 9999.99) {
            watts = value;
        } else if (key == "swr" && number && value >= 1 && value <= 9.99) {
            swr = value;
        } else {
            return "reading refused at \"" + word + "\": give watts=W (0 to 9999.99) and/or swr=S (1 to 9.99)";
        }
        any = true;
    }
    if (!any) {
        return "reading refused: give watts=W and/or swr=S";
    }
    model.setReading(watts, swr);
    const FrameFields fields = model.nextReading();
    return "reading " + buildFrame(fields) + " from now on";
}

}  // namespace

std::string MeterBehaviour::control(const std::string& line) {
    if (line == "reading" || line.starts_with("reading ")) {
        return readingControl(line, model_);
    }
    if (const auto fault = faultByName(line)) {
        fault_ = *fault;
        busyUntil_ = {};
        return std::string("fault ") + faultName(fault_);
    }
    if (line.starts_with("generation ")) {
        if (const auto generation = generationByName(line.substr(line.find(' ') + 1))) {
            generation_ = *generation;
            return line + " (" + std::to_string(lineSpeedOf(generation_)) + " baud)";
        }
        return {};
    }
    if (line == "steady" || line == "moving") {
        model_.setSteady(line == "steady");
        return line + " readings";
    }
    const auto space = line.find(' ');
    if (space != std::string::npos) {
        const std::string key = line.substr(0, space);
        const std::string value = line.substr(space + 1);
        if (key == "gap" && parseMilliseconds(value, gap_)) {
            return "gap " + value + " ms";
        }
        if (key == "delay" && parseMilliseconds(value, delay_)) {
            return "delay " + value + " ms";
        }
    }
    return {};
}

}  // namespace veltro::sim
