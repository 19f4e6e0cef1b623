#pragma once

#include <chrono>
#include <optional>
#include <string>

namespace veltro::tap {

using WallClock = std::chrono::system_clock;

// Why a transmission record was closed.
enum class TransmissionEnd { Normal, LinkLost, TapStopped };

// One transmission, from its first frame with forward power to its last.
struct Transmission {
    WallClock::time_point start;
    WallClock::time_point end;
    double peakForwardW = 0;
    double meanForwardW = 0;
    std::optional<double> highestSwr;          // no frame with a known SWR: unknown
    std::optional<double> lowestReturnLossDb;
    bool alarmSeen = false;
    bool tripSeen = false;                     // the trip was set by one of its frames
    std::string callsign;                      // range and mode of the peak's frame
    std::optional<int> range;
    std::optional<std::string> mode;
    int frames = 0;
    TransmissionEnd ended = TransmissionEnd::Normal;
};

// UTC, ISO 8601 with milliseconds: 2026-12-09T13:18:02.125Z.
std::string isoUtc(WallClock::time_point at);

std::string transmissionJson(const Transmission& t);

// The journal: one RFC 4180 line per record, CR LF ended; the meter's
// single-byte text as UTF-8.
std::string journalHeader();
std::string journalLine(const Transmission& t);

}  // namespace veltro::tap
