#include <cmath>
#include <cstdint>

#include "meter/status_frame.h"

namespace veltro {

namespace {

std::int64_t powerOfTen(int exponent) {
    std::int64_t result = 1;
    for (int i = 0; i < exponent; ++i) {
        result *= 10;
    }
    return result;
}

// A number with a fixed count of decimals, right-aligned in `width` columns.
// Out-of-range values are clamped to the largest (or smallest) that fits.
std::string fixedColumns(double value, int width, int decimals, char pad) {
    const std::int64_t scale = powerOfTen(decimals);
    const int integerDigits = width - decimals - 1;
    const std::int64_t largest = powerOfTen(integerDigits + decimals) - 1;
    // A minus sign takes one of the integer columns.
    const std::int64_t smallest =
        integerDigits > 1 ? -(powerOfTen(integerDigits - 1 + decimals) - 1) : 0;
    std::int64_t scaled = 0;
    if (std::isfinite(value)) {
        const double rounded = std::round(value * static_cast<double>(scale));
        if (rounded >= static_cast<double>(largest)) {
            scaled = largest;
        } else if (rounded <= static_cast<double>(smallest)) {
            scaled = smallest;
        } else {
            scaled = static_cast<std::int64_t>(rounded);
        }
    }
    const bool negative = scaled < 0;
    const std::int64_t magnitude = negative ? -scaled : scaled;
    const std::string whole = std::to_string(magnitude / scale);
    const std::string fraction = std::to_string(magnitude % scale);
    const std::size_t used =
        (negative ? 1 : 0) + whole.size() + 1 + static_cast<std::size_t>(decimals);
    const std::size_t room = static_cast<std::size_t>(width) - used;

    std::string text;
    text.reserve(static_cast<std::size_t>(width));
    if (pad != '0') {
        text.append(room, ' ');
    }
    if (negative) {
        text.push_back('-');
    }
    if (pad == '0') {
        text.append(room, '0');
    }
    text.append(whole);
    text.push_back('.');
    text.append(static_cast<std::size_t>(decimals) - fraction.size(), '0');
    text.append(fraction);
    return text;
}

char digitColumn(int value) {
    if (value < 0) {
        return '0';
    }
    return static_cast<char>('0' + (value > 9 ? 9 : value));
}

}  // namespace

std::string buildFrame(const FrameFields& fields) {
    const char sep = fields.separator;
    std::string callsign = fields.callsign.substr(0, 6);
    callsign.resize(6, ' ');

    std::string frame;
    frame.reserve(kFrameLength);
    frame += kFrameMarker;
    frame += fixedColumns(fields.forwardPower, 7, 2, ' ');
    frame += sep;
    frame += fixedColumns(fields.impedance, 5, 1, '0');
    frame += sep;
    frame += fixedColumns(fields.phase, 5, 1, '0');
    frame += sep;
    frame += digitColumn(fields.alarmSetting);
    frame += sep;
    frame += callsign;
    frame += sep;
    frame += digitColumn(fields.meterRange);
    frame += sep;
    frame += digitColumn(fields.powerMode);
    frame += sep;
    frame += fixedColumns(fields.powerDbm, 4, 1, ' ');
    frame += sep;
    frame += fixedColumns(fields.swr, 4, 2, ' ');
    return frame;
}

}  // namespace veltro
