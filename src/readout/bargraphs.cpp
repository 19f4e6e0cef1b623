#include "readout/bargraphs.h"

#include "meter/derived.h"

namespace veltro {
namespace {

// 25 W, 250 W, 2500 W, and 2500 W with the high-power coupler (10 kW).
const PowerScale kPowerScales[] = {
    {0, 190, 440, 19, 44, 190, 440, 0, {{{0, true}, {3, false}, {4, false}, {5, false}}}},
    {3, 300, 540, 30, 54, 300, 540, 0, {{{0, false}, {3, true}, {4, false}, {5, false}}}},
    {4, 400, 640, 40, 64, 400, 640, 0, {{{0, false}, {3, false}, {5, false}, {4, true}}}},
    {5, 400, 640, 46, 70, 460, 700, 60, {{{0, false}, {3, false}, {4, false}, {5, true}}}},
};

const PowerScale& scaleFor(int rangeIndex, bool hiPwr) {
    switch (rangeIndex) {
        case 0:
            return kPowerScales[hiPwr ? 3 : 2];
        case 1:
            return kPowerScales[1];
        default:
            return kPowerScales[0];
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
    bars.labelWrites.assign(scale.labelWrites.begin(), scale.labelWrites.end());
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

std::span<const PowerScale> powerScales() {
    return kPowerScales;
}

BargraphUpdate computeBargraphs(ReadingRecord& record, int rangeIndex, int hiPwrValue,
                                int check1Value) {
    BargraphUpdate update;
    if (record.SwrLevel > kSwrBarMax) {
        record.SwrLevel = kSwrBarMax;
    }
    update.swr = {0, kSwrBarMax, static_cast<float>(record.SwrLevel)};

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
