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

// The pieces of the readout that programs beside the panel share with it.
// Impedance figures are shown only above 15 dBm.
bool impedanceShown(const ReadingRecord& record);
// "Norm", "Peak", "Tune"; empty for a mode digit the caption ignores.
std::optional<std::string> modeCaption(double meterMode);
// The alarm setpoint's caption and the Alarm button's colour; empty for a
// setting that leaves both as they were.
struct AlarmDisplay {
    std::string caption;
    AlarmColour colour;
};
std::optional<AlarmDisplay> alarmDisplay(const ReadingRecord& record);

// "###0.00", "#.00" and the general format of the impedance boxes; all
// locale independent.
std::string formatPower(double watts);
std::string formatSwr(double swr);
std::string formatGeneral(double value);

}  // namespace veltro
