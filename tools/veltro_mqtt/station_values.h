#pragma once

#include <optional>
#include <string>

#include "meter/reading_record.h"

namespace veltro::tap {

// One accepted frame as the network sees it. A value the frame leaves
// unknown is empty and stays out of the JSON.
struct StationValues {
    double forwardW = 0;
    std::optional<double> peakForwardW;  // the peak hold's, when it is on
    std::optional<double> dbm;          // no carrier: unknown
    std::optional<double> swr;          // below 1 (no signal): unknown
    std::optional<double> reflectedW;   // needs the SWR
    std::optional<double> returnLossDb; // infinite at SWR 1: unknown
    std::optional<double> impedance;    // Z, phase, R, X only where the
    std::optional<double> phase;        // panel shows them (above 15 dBm)
    std::optional<double> resistance;
    std::optional<double> reactance;
    std::optional<std::string> alarmSetting;  // "Off", "1.5" .. "User"
    std::optional<int> range;                 // the meter's digit, 0 highest .. 2 lowest
    std::optional<std::string> mode;          // "Norm", "Peak", "Tune"
    std::string callsign;                     // trailing padding removed
    bool tx = false;                          // forward power at least 1 W
    std::optional<bool> alarm;                // red Alarm button; empty: as it was
};

// From a decoded record with ComputeDerived already applied.
StationValues stationValues(const ReadingRecord& record);

// The retained JSON of veltro/<id>/state. Numbers with '.', whatever the
// locale, at the meter's resolution.
std::string stateJson(const StationValues& values);

// Whether `now` differs from what was last published by more than the small
// thresholds below which a change waits (see publish_policy.h).
bool changedBeyondThresholds(const StationValues& published, const StationValues& now);

}  // namespace veltro::tap
