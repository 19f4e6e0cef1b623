#include "reading_model.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace veltro::sim {

namespace {

constexpr double kLineImpedance = 50.0;
// The power field holds seven columns with two decimals.
constexpr double kHighestPower = 9999.99;
constexpr double kLowestPower = 0.01;
constexpr long kKeyPeriod = 40;  // polls per on/off cycle
constexpr long kKeyDown = 32;    // of which the carrier is on
constexpr long kSweepPeriod = 96;

}  // namespace

int ReadingModel::rangeFor(double watts) {
    if (watts <= 25.0) {
        return 2;
    }
    return watts <= 250.0 ? 1 : 0;
}

double ReadingModel::dbmFor(double watts) {
    // The dBm columns hold no sign room below 0 dBm; an idle line reads 0.0.
    return watts >= 0.001 ? std::max(0.0, 10.0 * std::log10(watts * 1000.0)) : 0.0;
}

FrameFields ReadingModel::fieldsFor(double watts, double swr, double reflectionAngle) const {
    // The load that gives this SWR at this reflection angle on a 50 ohm line.
    const double rho = (swr - 1.0) / (swr + 1.0);
    const double gRe = rho * std::cos(reflectionAngle);
    const double gIm = rho * std::sin(reflectionAngle);
    const double denominator = (1.0 - gRe) * (1.0 - gRe) + gIm * gIm;
    const double zRe = kLineImpedance * (1.0 - gRe * gRe - gIm * gIm) / denominator;
    const double zIm = kLineImpedance * 2.0 * gIm / denominator;

    FrameFields fields;
    fields.forwardPower = watts;
    fields.impedance = std::min(999.9, std::hypot(zRe, zIm));
    fields.phase = std::atan2(zIm, zRe) * 180.0 / std::numbers::pi;
    fields.alarmSetting = alarm_;
    fields.callsign = callsign_;
    fields.meterRange = rangeFor(watts);
    fields.powerMode = powerMode_;
    fields.powerDbm = dbmFor(watts);
    fields.swr = swr;
    return fields;
}

void ReadingModel::setReading(double watts, double swr) {
    steady_ = true;
    steadyWatts_ = watts;
    steadySwr_ = swr;
}

FrameFields ReadingModel::nextReading() {
    if (steady_) {
        return fieldsFor(steadyWatts_, steadySwr_, 0.0);
    }
    ++step_;
    const bool keyed = step_ % kKeyPeriod < kKeyDown;
    // Triangle sweep of log10(power) between 10 mW and 10 kW.
    const double position = static_cast<double>(step_ % kSweepPeriod) / kSweepPeriod;
    const double triangle = position < 0.5 ? position * 2.0 : (1.0 - position) * 2.0;
    const double lowLog = std::log10(kLowestPower);
    const double highLog = std::log10(kHighestPower);
    const double watts = keyed ? std::pow(10.0, lowLog + triangle * (highLog - lowLog)) : 0.0;

    // SWR rests at exactly 1.00 for part of each swing.
    const double swing = std::sin(static_cast<double>(step_) * 0.21);
    const double swr = std::clamp(1.0 + 2.6 * swing, 1.0, 3.5);
    const double angle = static_cast<double>(step_) * 0.37;
    return fieldsFor(std::min(watts, kHighestPower), swr, angle);
}

}  // namespace veltro::sim
