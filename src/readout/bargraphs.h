#pragma once

#include <array>
#include <optional>
#include <span>
#include <utility>
#include <vector>

#include "meter/reading_record.h"

namespace veltro {

// One power scale, in tenths of a dBm: the scale label (Label6 index) it
// shows, its bar limits, the clamp limits of the two bars and the display
// shift (60 with the high-power coupler).
struct PowerScale {
    int label;
    float barMin;
    float barMax;
    double forwardLowDbm;
    double forwardHighDbm;
    double reflectedLow;
    double reflectedHigh;
    double shift;
    std::array<std::pair<int, bool>, 4> labelWrites;  // Label6 index, visible; in write order
};

// The 25 W, 250 W, 2500 W and 10 kW scales.
std::span<const PowerScale> powerScales();

// The SWR bar runs from 0 to this, in hundredths of a decade.
inline constexpr float kSwrBarMax = 100;

struct BarSetting {
    float min = 0;
    float max = 0;
    float value = 0;
};

// Power scale and both power bars; absent when RangeIndex is not 0..2.
struct PowerBarsUpdate {
    std::vector<std::pair<int, bool>> labelWrites;  // Label6 index, visible; in write order
    BarSetting forward;    // ProgressBar1(0): Max, then Min, then Value
    BarSetting reflected;  // ProgressBar1(1)
};

// What the bargraph step writes for one accepted frame.
struct BargraphUpdate {
    BarSetting swr;  // ProgressBar3(0): Min, then Max, then Value
    int check2Value = 1;  // Check2 re-asserted to the opposite of Check1
    std::optional<PowerBarsUpdate> power;
};

// Stores back into the record what the bargraph step clamps or replaces:
// SwrLevel (capped at 100), PowerDbm (watts-derived with Check1, clamped),
// ReflectedLevel (clamped).
BargraphUpdate computeBargraphs(ReadingRecord& record, int rangeIndex, int hiPwrValue,
                                int check1Value);

// CmdRange_Click: the low two bits of RangeMode + 1, for any int.
int nextRangeMode(int rangeMode);

}  // namespace veltro
