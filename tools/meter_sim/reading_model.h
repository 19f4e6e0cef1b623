#pragma once

#include <string>

#include "meter/status_frame.h"

namespace veltro::sim {

// The meter's readings and its settings. Each poll advances a moving station
// one step: the carrier keys on and off, the power sweeps across all four
// ranges, the SWR wanders from 1.00 to about 3.5 at a turning phase. Steady
// mode holds one fixed reading so tests can check values.
class ReadingModel {
  public:
    // The fixed reading of steady mode.
    static constexpr double kSteadyPower = 100.0;  // W
    static constexpr double kSteadySwr = 1.5;

    void setSteady(bool steady) { steady_ = steady; }
    // Holds this reading from now on (steady): power and SWR as given, the
    // rest derived from them or kept.
    void setReading(double watts, double swr);
    double steadyWatts() const { return steadyWatts_; }
    double steadySwr() const { return steadySwr_; }
    bool steady() const { return steady_; }

    void stepAlarm() { alarm_ = (alarm_ + 1) % 6; }
    void stepPowerMode() { powerMode_ = (powerMode_ + 1) % 3; }
    void setCallsign(std::string callsign) { callsign_ = std::move(callsign); }
    int alarm() const { return alarm_; }
    int powerMode() const { return powerMode_; }

    // The fields of the next reply; a moving station steps on first.
    FrameFields nextReading();

    // The meter's own range digit for a power: 2 up to 25 W, 1 up to 250 W,
    // 0 above.
    static int rangeFor(double watts);
    static double dbmFor(double watts);

  private:
    FrameFields fieldsFor(double watts, double swr, double reflectionAngle) const;

    bool steady_ = false;
    double steadyWatts_ = kSteadyPower;
    double steadySwr_ = kSteadySwr;
    // Starts on the way down from full power, so the first seconds after a
    // start show a mid-range station rather than the peak.
    long step_ = 12;
    int alarm_ = 2;
    int powerMode_ = 0;
    std::string callsign_ = "VELTRO";
};

}  // namespace veltro::sim
