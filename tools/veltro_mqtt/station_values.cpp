#include "station_values.h"

#include <algorithm>
#include <cmath>

#include "json_object.h"
#include "meter/derived.h"
#include "readout/readout.h"

namespace veltro::tap {

namespace {

// Below these a change waits for the next state that goes out anyway.
constexpr double kPowerRelative = 0.01;  // of the larger of the two readings
constexpr double kPowerAbsoluteW = 0.05;
constexpr double kDbmStep = 0.2;
constexpr double kSwrStep = 0.02;
constexpr double kReturnLossStepDb = 0.2;
constexpr double kOhmStep = 0.5;
constexpr double kPhaseStepDeg = 1.0;

bool differs(const std::optional<double>& a, const std::optional<double>& b, double step) {
    if (a.has_value() != b.has_value()) {
        return true;
    }
    return a && std::abs(*a - *b) >= step;
}

double powerStep(const std::optional<double>& a, const std::optional<double>& b) {
    const double larger = std::max(std::abs(a.value_or(0)), std::abs(b.value_or(0)));
    return std::max(kPowerAbsoluteW, larger * kPowerRelative);
}

}  // namespace

StationValues stationValues(const ReadingRecord& record) {
    StationValues v;
    v.forwardW = record.ForwardPower;
    if (record.ForwardPower > 0) {
        v.dbm = record.PowerDbm;
    }
    if (record.Swr >= 1) {
        const double rho = record.ReflectionCoefficient;
        v.swr = record.Swr;
        v.reflectedW = record.ForwardPower * rho * rho;
        if (rho > 0) {
            v.returnLossDb = -10 * Log10(rho * rho);
        }
    }
    if (impedanceShown(record)) {
        v.impedance = record.ImpedanceMagnitude;
        v.phase = record.PhaseAngle;
        v.resistance = record.Resistance;
        v.reactance = record.Reactance;
    }
    if (const auto alarm = alarmDisplay(record)) {
        v.alarmSetting = alarm->caption;
        v.alarm = alarm->colour == AlarmColour::Alarm;
    }
    if (record.MeterRange == 0 || record.MeterRange == 1 || record.MeterRange == 2) {
        v.range = static_cast<int>(record.MeterRange);
    }
    v.mode = modeCaption(record.MeterMode);
    v.callsign = record.MeterCallsign.substr(0, record.MeterCallsign.find_last_not_of(' ') + 1);
    v.tx = record.ForwardPower >= 1;
    return v;
}

std::string stateJson(const StationValues& v) {
    JsonObject json;
    json.number("forward_w", v.forwardW, 2);
    json.number("peak_forward_w", v.peakForwardW, 2);
    json.number("dbm", v.dbm, 1);
    json.number("swr", v.swr, 2);
    json.number("reflected_w", v.reflectedW, 2);
    json.number("return_loss_db", v.returnLossDb, 1);
    json.number("z_ohm", v.impedance, 1);
    json.number("phase_deg", v.phase, 1);
    json.number("r_ohm", v.resistance, 1);
    json.number("x_ohm", v.reactance, 1);
    json.text("alarm_setting", v.alarmSetting);
    if (v.range) {
        json.raw("range", std::to_string(*v.range));
    }
    json.text("mode", v.mode);
    json.text("callsign", v.callsign);
    return json.done();
}

bool changedBeyondThresholds(const StationValues& a, const StationValues& b) {
    return differs(a.forwardW, b.forwardW, powerStep(a.forwardW, b.forwardW)) ||
           differs(a.peakForwardW, b.peakForwardW, powerStep(a.peakForwardW, b.peakForwardW)) ||
           differs(a.reflectedW, b.reflectedW, powerStep(a.reflectedW, b.reflectedW)) ||
           differs(a.dbm, b.dbm, kDbmStep) || differs(a.swr, b.swr, kSwrStep) ||
           differs(a.returnLossDb, b.returnLossDb, kReturnLossStepDb) ||
           differs(a.impedance, b.impedance, kOhmStep) || differs(a.phase, b.phase, kPhaseStepDeg) ||
           differs(a.resistance, b.resistance, kOhmStep) ||
           differs(a.reactance, b.reactance, kOhmStep) || a.alarmSetting != b.alarmSetting ||
           a.range != b.range || a.mode != b.mode || a.callsign != b.callsign;
}

}  // namespace veltro::tap
