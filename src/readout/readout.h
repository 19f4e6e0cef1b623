#pragma once

#include <array>
#include <optional>
#include <string>

#include "meter/reading_record.h"

namespace veltro {

enum class AlarmColour { Alarm, Normal };  // red 192,0,0 / system button face

// What the numeric readout shows for one accepted frame. An empty optional
// means "leave that control as it was". The window applies the fields in
// declaration order.
struct ReadoutUpdate {
    std::array<std::string, 4> vectorTexts;   // txtVector 0..3
    std::optional<std::string> modeCaption;   // Label35
    std::optional<int> rangeIndex;            // RangeIndex
    std::optional<std::string> rangeCaption;  // LblRange
    std::optional<std::string> alarmCaption;  // LblAlarmMode
    std::optional<AlarmColour> alarmColour;   // CmdAlarm background
    std::string powerText;                    // LblPwr
    std::string swrText;                      // TxtSWR
};

// rangeMode: RangeMode (any value); hiPwrValue: chkHiPwr's value (0, 1, 2).
ReadoutUpdate computeReadout(const ReadingRecord& record, int rangeMode, int hiPwrValue);

// "###0.00", "#.00" and the general format of the impedance boxes; all
// locale independent.
std::string formatPower(double watts);
std::string formatSwr(double swr);
std::string formatGeneral(double value);

}  // namespace veltro
