#include "readout/readout.h"

#include <climits>
#include <cmath>

#include "readout/number_format.h"

namespace veltro {
namespace {

constexpr double kVectorThresholdDbm = 15.0;
constexpr int kGeneralSignificantDigits = 6;

void setVectorTexts(const ReadingRecord& record, ReadoutUpdate& update) {
    if (impedanceShown(record)) {
        update.vectorTexts = {formatGeneral(record.ImpedanceMagnitude),
                              formatGeneral(record.PhaseAngle), formatGeneral(record.Resistance),
                              formatGeneral(record.Reactance)};
    } else {
        update.vectorTexts = {"0.00", "0.00", "0.00", "0.00"};
    }
}

// The meter's range digit is a whole number; anything an int cannot hold
// becomes an index the bargraphs ignore.
int rangeIndexFromMeter(double meterRange) {
    if (!(meterRange >= INT_MIN && meterRange <= INT_MAX)) {
        return -1;
    }
    return static_cast<int>(std::lround(meterRange));
}

void setRange(const ReadingRecord& record, int rangeMode, int hiPwrValue, ReadoutUpdate& update) {
    switch (rangeMode) {
        case 0:
            update.rangeIndex = 2;
            update.rangeCaption = " 25 ";
            break;
        case 1:
            update.rangeIndex = 1;
            update.rangeCaption = " 250";
            break;
        case 2:
            update.rangeIndex = 0;
            update.rangeCaption = hiPwrValue == 1 ? "10K" : "2500";
            break;
        case 3:
            update.rangeIndex = rangeIndexFromMeter(record.MeterRange);
            update.rangeCaption = "Auto";
            break;
        default:
            break;
    }
}

struct AlarmRow {
    double setting;
    const char* caption;
    double swrLimit;
    bool needsPower;  // forward power above 1 W as well
};

constexpr AlarmRow kAlarmRows[] = {
    {1, "1.5", 1.5, true},  {2, "2.0", 2.0, true},   {3, "2.5", 2.5, true},
    {4, "3.0", 3.0, false}, {5, "User", 3.0, false},
};

void setAlarm(const ReadingRecord& record, ReadoutUpdate& update) {
    if (const auto alarm = alarmDisplay(record)) {
        update.alarmCaption = alarm->caption;
        update.alarmColour = alarm->colour;
    }
}

}  // namespace

bool impedanceShown(const ReadingRecord& record) {
    return record.PowerDbm > kVectorThresholdDbm;
}

std::optional<std::string> modeCaption(double meterMode) {
    if (meterMode == 0) {
        return "Norm";
    }
    if (meterMode == 1) {
        return "Peak";
    }
    if (meterMode == 2) {
        return "Tune";
    }
    return std::nullopt;
}

std::optional<AlarmDisplay> alarmDisplay(const ReadingRecord& record) {
    if (record.AlarmSetting == 0) {
        // A red button with the alarm switched off would show an alarm that
        // cannot be raised.
        return AlarmDisplay{"Off", AlarmColour::Normal};
    }
    for (const AlarmRow& row : kAlarmRows) {
        if (record.AlarmSetting == row.setting) {
            const bool powerOk = !row.needsPower || record.ForwardPower > 1;
            const bool alarm = powerOk && record.Swr >= row.swrLimit;
            return AlarmDisplay{row.caption, alarm ? AlarmColour::Alarm : AlarmColour::Normal};
        }
    }
    return std::nullopt;
}

ReadoutUpdate computeReadout(const ReadingRecord& record, int rangeMode, int hiPwrValue) {
    ReadoutUpdate update;
    setVectorTexts(record, update);
    update.modeCaption = modeCaption(record.MeterMode);
    setRange(record, rangeMode, hiPwrValue, update);
    setAlarm(record, update);
    update.powerText = formatPower(record.ForwardPower);
    update.swrText = formatSwr(record.Swr);
    return update;
}

std::string formatPower(double watts) {
    return formatFixed(watts, 2, true);
}

std::string formatSwr(double swr) {
    return formatFixed(swr, 2, false);
}

std::string formatGeneral(double value) {
    return formatSignificant(value, kGeneralSignificantDigits);
}

}  // namespace veltro
