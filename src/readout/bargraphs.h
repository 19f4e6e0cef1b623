#pragma once

#include <optional>
#include <utility>
#include <vector>

#include "meter/reading_record.h"

namespace veltro {

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
