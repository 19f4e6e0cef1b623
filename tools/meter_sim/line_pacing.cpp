#include "line_pacing.h"

#include <termios.h>

#include <algorithm>
#include <cmath>

namespace veltro::sim {

namespace {

struct SpeedEntry {
    speed_t code;
    int baud;
};
constexpr SpeedEntry kSpeeds[] = {
    {B1200, 1200},     {B2400, 2400},     {B4800, 4800},     {B9600, 9600},
    {B19200, 19200},   {B38400, 38400},   {B57600, 57600},   {B115200, 115200},
    {B230400, 230400}, {B460800, 460800}, {B921600, 921600},
};

constexpr std::size_t kBitsPerCharacter = 10;

}  // namespace

int terminalSpeed(int fd) {
    termios settings{};
    if (tcgetattr(fd, &settings) != 0) {
        return 0;
    }
    const speed_t code = cfgetospeed(&settings);
    for (const auto& entry : kSpeeds) {
        if (entry.code == code) {
            return entry.baud;
        }
    }
    return 0;
}

std::chrono::nanoseconds characterTime(int baud) {
    return std::chrono::nanoseconds(baud > 0 ? 10'000'000'000LL / baud : 0);
}

std::string receivedAtSpeed(std::string_view sent, int sentBaud, int receiverBaud) {
    if (sentBaud <= 0 || receiverBaud <= 0 || sentBaud == receiverBaud) {
        return std::string(sent);
    }
    const double bits = static_cast<double>(sent.size() * kBitsPerCharacter);
    // The line's level at time t, counted in the sender's bit times.
    auto level = [&](double t) {
        if (t < 0 || t >= bits) {
            return true;  // idle
        }
        const auto bit = static_cast<std::size_t>(t);
        const std::size_t inCharacter = bit % kBitsPerCharacter;
        if (inCharacter == 0 || inCharacter == kBitsPerCharacter - 1) {
            return inCharacter != 0;  // start bit low, stop bit high
        }
        const auto byte = static_cast<unsigned char>(sent[bit / kBitsPerCharacter]);
        return ((byte >> (inCharacter - 1)) & 1u) != 0;
    };
    const double receiverBit = static_cast<double>(sentBaud) / receiverBaud;
    std::string out;
    double ready = 0;
    for (;;) {
        // Levels change only at the sender's bit boundaries.
        double edge = std::ceil(ready);
        while (edge < bits && (level(edge) || !level(edge - 1))) {
            edge += 1;
        }
        if (edge >= bits) {
            break;
        }
        if (level(edge + receiverBit / 2)) {
            ready = edge + 1;  // too short for a start bit
            continue;
        }
        unsigned byte = 0;
        for (int i = 0; i < 8; ++i) {
            if (level(edge + receiverBit * (1.5 + i))) {
                byte |= 1u << i;
            }
        }
        const double stopSample = edge + receiverBit * 9.5;
        out += level(stopSample) ? static_cast<char>(byte) : '\0';
        ready = stopSample;
    }
    return out;
}

std::vector<HeardCommand> hearCommands(CommandParser& parser, std::string_view bytes,
                                       Clock::time_point now, int lineBaud, int meterBaud,
                                       std::string& noise) {
    std::vector<HeardCommand> heard;
    if (lineBaud != meterBaud) {
        parser = CommandParser{};  // a command begun before is lost in the noise
        noise = receivedAtSpeed(bytes, lineBaud, meterBaud);
        return heard;
    }
    std::size_t sentSoFar = 0;
    for (auto& command : parser.feed(bytes)) {
        sentSoFar += command.text.size();
        const auto end = now + characterTime(lineBaud) * static_cast<Clock::rep>(sentSoFar);
        heard.push_back({std::move(command), end});
    }
    return heard;
}

void PacedLine::send(std::string bytes, Clock::time_point start, int baud) {
    if (bytes.empty()) {
        return;
    }
    const auto begin = std::max(start, freeAt_);
    const auto perCharacter = characterTime(baud);
    freeAt_ = begin + perCharacter * static_cast<Clock::rep>(bytes.size());
    bursts_.push_back({std::move(bytes), begin, perCharacter});
}

void PacedLine::keepBusy(char filler, Clock::time_point until, Clock::time_point now, int baud) {
    const auto start = std::max(now, freeAt_);
    const auto perCharacter = characterTime(baud);
    if (start >= until || perCharacter.count() <= 0) {
        return;
    }
    const auto count = (until - start + perCharacter - std::chrono::nanoseconds(1)) / perCharacter;
    send(std::string(static_cast<std::size_t>(count), filler), start, baud);
}

std::string PacedLine::takeArrived(Clock::time_point now) {
    std::string out;
    while (!bursts_.empty()) {
        Burst& burst = bursts_.front();
        if (now < burst.begin) {
            break;
        }
        const auto ended = burst.characterTime.count() > 0
                               ? static_cast<std::size_t>((now - burst.begin) / burst.characterTime)
                               : burst.bytes.size();
        const std::size_t done = std::min(burst.bytes.size(), ended);
        if (done > burst.taken) {
            out.append(burst.bytes, burst.taken, done - burst.taken);
            burst.taken = done;
        }
        if (burst.taken < burst.bytes.size()) {
            break;
        }
        bursts_.pop_front();
    }
    return out;
}

std::optional<Clock::time_point> PacedLine::nextHandOver(Clock::time_point now) const {
    if (bursts_.empty()) {
        return std::nullopt;
    }
    const Burst& burst = bursts_.front();
    const auto next = burst.begin + burst.characterTime * static_cast<Clock::rep>(burst.taken + 1);
    const auto last =
        burst.begin + burst.characterTime * static_cast<Clock::rep>(burst.bytes.size());
    return std::min(last, std::max(next, now + std::chrono::milliseconds(1)));
}

void PacedLine::clear() {
    bursts_.clear();
    freeAt_ = {};
}

}  // namespace veltro::sim
