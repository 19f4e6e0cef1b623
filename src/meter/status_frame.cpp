#include "meter/status_frame.h"

#include <cstdint>

namespace veltro {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// Column layout of the frame: 0-based offset and width of each field.
struct Column {
    std::size_t offset;
    std::size_t width;
};
constexpr Column kPower{1, 7};
constexpr Column kImpedance{9, 5};
constexpr Column kPhase{15, 5};
constexpr Column kAlarm{21, 1};
constexpr Column kCallsign{23, 6};
constexpr Column kRange{30, 1};
constexpr Column kMode{32, 1};
constexpr Column kDbm{34, 4};
constexpr Column kSwr{39, 4};

std::string_view columnOf(std::string_view frame, Column column) {
    return frame.substr(column.offset, column.width);
}

}  // namespace

bool isStatusFrame(std::string_view text) {
    return text.size() == kFrameLength && text.front() == kFrameMarker;
}

double readFixedPoint(std::string_view field, double divisor) {
    bool negative = false;
    bool signSeen = false;
    bool digitSeen = false;
    std::uint64_t whole = 0;
    double big = 0;  // takes over once the digits no longer fit exactly
    bool useBig = false;
    for (char c : field) {
        if (c == '.' || isBlank(c)) {
            continue;
        }
        if ((c == '-' || c == '+') && !signSeen && !digitSeen) {
            signSeen = true;
            negative = (c == '-');
            continue;
        }
        if (!isDigit(c)) {
            break;
        }
        digitSeen = true;
        const unsigned digit = static_cast<unsigned>(c - '0');
        if (!useBig && whole < 100'000'000'000'000'000ULL) {
            whole = whole * 10 + digit;
        } else {
            if (!useBig) {
                big = static_cast<double>(whole);
                useBig = true;
            }
            big = big * 10 + digit;
        }
    }
    const double magnitude = useBig ? big : static_cast<double>(whole);
    if (magnitude == 0) {
        return 0;  // no "-0" from a field like "-00.0"
    }
    return (negative ? -magnitude : magnitude) / divisor;
}

void decodeFrame(std::string_view frame, ReadingRecord& record, const ReadingPublisher& publish) {
    if (frame.size() < kFrameLength) {
        return;  // only accepted frames reach here; never read past the end
    }
    record.ForwardPower = readFixedPoint(columnOf(frame, kPower), 100);
    record.ImpedanceMagnitude = readFixedPoint(columnOf(frame, kImpedance), 10);
    record.PhaseAngle = readFixedPoint(columnOf(frame, kPhase), 10);
    record.AlarmSetting = readFixedPoint(columnOf(frame, kAlarm), 1);
    record.MeterCallsign.assign(columnOf(frame, kCallsign));
    record.MeterRange = readFixedPoint(columnOf(frame, kRange), 1);
    record.MeterMode = readFixedPoint(columnOf(frame, kMode), 1);
    record.ReadingText.assign(columnOf(frame, kDbm));
    if (publish) {
        publish(record.ReadingText);
    }
    record.PowerDbm = readFixedPoint(columnOf(frame, kDbm), 10);
    record.Swr = readFixedPoint(columnOf(frame, kSwr), 100);
}

}  // namespace veltro
