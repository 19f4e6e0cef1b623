#include "readout/bargraphs.h"

#include "meter/derived.h"

namespace veltro {
namespace {

constexpr double kSwrBarMax = 100;

// One power scale: bar limits, clamp limits, display shift (tenths of a dBm).
struct PowerScale {
    float barMin;
    float barMax;
    double forwardLowDbm;
    double forwardHighDbm;
    double reflectedLow;
    double reflectedHigh;
    double shift;  // subtracted before display; 60 with the high-power coupler
    std::vector<std::pair<int, bool>> labelWrites;
};

PowerScale scaleFor(int rangeIndex, bool hiPwr) {
    switch (rangeIndex) {
        case 0:
            if (hiPwr) {
                return {400, 640, 46, 70,
                        460, 700, 60, {{0, false}, {3, false}, {4, false}, {5, true}}};
            }
            return {400, 640, 40, 64, 400, 640, 0, {{0, false}, {3, false}, {5, false}, {4, true}}};
        case 1:
            return {300, 540, 30, 54, 300, 540, 0, {{0, false}, {3, true}, {4, false}, {5, false}}};
        default:
            return {190, 440, 19, 44, 190, 440, 0, {{0, true}, {3, false}, {4, false}, {5, false}}};
    }
}

// Lower limit first, then upper, as the bars have always done it.
double clampInto(double value, double low, double high) {
    if (value < low) {
        value = low;
    }
    if (value > high) {
        value = high;
    }
    return value;
}

PowerBarsUpdate powerBars(ReadingRecord& record, const PowerScale& scale) {
    PowerBarsUpdate bars;
    bars.labelWrites = scale.labelWrites;
    record.PowerDbm = clampInto(record.PowerDbm, scale.forwardLowDbm, scale.forwardHighDbm);
    record.ReflectedLevel =
        clampInto(record.ReflectedLevel, scale.reflectedLow, scale.reflectedHigh);
    bars.forward = {scale.barMin, scale.barMax,
                    static_cast<float>(record.PowerDbm * 10 - scale.shift)};
    bars.reflected = {scale.barMin, scale.barMax,
                      static_cast<float>(record.ReflectedLevel - scale.shift)};
    return bars;
}

}  // namespace

BargraphUpdate computeBargraphs(ReadingRecord& record, int rangeIndex, int hiPwrValue,
                                int check1Value) {
    BargraphUpdate update;
    if (record.SwrLevel > kSwrBarMax) {
        record.SwrLevel = kSwrBarMax;
    }
    update.swr = {0, static_cast<float>(kSwrBarMax), static_cast<float>(record.SwrLevel)};

    const bool sameAsNumerical = check1Value == 1;
    update.check2Value = sameAsNumerical ? 0 : 1;
    if (sameAsNumerical && record.ForwardPower > 0) {
        record.PowerDbm = wattsToDbm(record.ForwardPower);
    }

    if (rangeIndex >= 0 && rangeIndex <= 2) {
        update.power = powerBars(record, scaleFor(rangeIndex, hiPwrValue != 0));
    }
    return update;
}

int nextRangeMode(int rangeMode) {
    // Unsigned arithmetic: wraps instead of overflowing at INT_MAX.
    return static_cast<int>((static_cast<unsigned>(rangeMode) + 1u) & 3u);
}

}  // namespace veltro
