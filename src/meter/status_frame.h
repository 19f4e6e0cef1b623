#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "meter/reading_record.h"

namespace veltro {

inline constexpr std::size_t kFrameLength = 43;
inline constexpr char kFrameMarker = ';';

// A received text is a status frame only if it is exactly 43 characters
// (bytes) long and starts with ';'. Nothing else is examined.
bool isStatusFrame(std::string_view text);

// Fixed-point field: every '.' removed, then read as a decimal number
// (blanks skipped anywhere, a leading sign honoured, stops at the first
// character that cannot continue the number, no digits reads 0), divided by
// the divisor. Locale independent.
double readFixedPoint(std::string_view field, double divisor);

// Called with ReadingText while the frame is decoded, after ReadingText is
// taken and before PowerDbm and Swr are.
using ReadingPublisher = std::function<void(const std::string& readingText)>;

// Overwrites every member of the record from an accepted frame, in column
// order. Derived members and FrameText are left alone.
void decodeFrame(std::string_view frame, ReadingRecord& record, const ReadingPublisher& publish);

// The fields of one frame as a meter would send them; builds the 43 bytes.
// Each text is fitted to its columns (right-aligned numbers, call sign
// left-aligned and space-padded); used by the simulated meter and tests.
struct FrameFields {
    double forwardPower = 0;  // W, two decimals, 7 columns
    double impedance = 50;    // ohms, one decimal, 5 columns
    double phase = 0;         // degrees, one decimal, 5 columns
    int alarmSetting = 0;
    std::string callsign = "";
    int meterRange = 0;
    int powerMode = 0;
    double powerDbm = 0;  // one decimal, 4 columns
    double swr = 1;       // two decimals, 4 columns
    char separator = ',';
};
std::string buildFrame(const FrameFields& fields);

}  // namespace veltro
