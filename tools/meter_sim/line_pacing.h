#pragma once

#include <chrono>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "command_parser.h"

namespace veltro::sim {

using Clock = std::chrono::steady_clock;

// The baud rate set on a terminal (on a pseudo-terminal's master: the one
// its slave end was given), 0 when unknown.
int terminalSpeed(int fd);

// One character on an 8N1 line: start bit, eight data bits, stop bit.
std::chrono::nanoseconds characterTime(int baud);

// What a UART at receiverBaud makes of characters sent back to back at
// sentBaud. It starts a character at a falling edge and samples in the
// middle of its own bit times, so at the wrong speed it mixes the bits of
// neighbours; a character whose stop bit reads low (a framing error) arrives
// as a zero byte, as a raw-mode terminal delivers it.
std::string receivedAtSpeed(std::string_view sent, int sentBaud, int receiverBaud);

// The commands in bytes the panel sent at lineBaud, each with the moment its
// last character ends on a wire (the pseudo-terminal hands them over at once).
// None while the line runs at another speed than the meter's: `noise` then
// holds what the meter's UART made of the bytes.
struct HeardCommand {
    MeterCommand command;
    Clock::time_point end;
};
std::vector<HeardCommand> hearCommands(CommandParser& parser, std::string_view bytes,
                                       Clock::time_point now, int lineBaud, int meterBaud,
                                       std::string& noise);

// The meter's transmitter. Characters leave one after another without gaps,
// each taking its character time; bytes handed over while the line is busy
// wait for it. Arrived characters are handed to the pseudo-terminal at most
// a millisecond apart, and the last one of a burst as it ends.
class PacedLine {
  public:
    // `bytes` start going out at `start`, or as soon as the line is free.
    void send(std::string bytes, Clock::time_point start, int baud);
    // Fills the line with `filler` up to `until`, as a transmitter gone wild.
    void keepBusy(char filler, Clock::time_point until, Clock::time_point now, int baud);
    // The characters whose stop bit has ended by `now`.
    std::string takeArrived(Clock::time_point now);
    std::optional<Clock::time_point> nextHandOver(Clock::time_point now) const;
    void clear();

  private:
    struct Burst {
        std::string bytes;
        Clock::time_point begin;
        std::chrono::nanoseconds characterTime;
        std::size_t taken = 0;
    };
    std::deque<Burst> bursts_;
    Clock::time_point freeAt_{};
};

}  // namespace veltro::sim
