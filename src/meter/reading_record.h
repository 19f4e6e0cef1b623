#pragma once

#include <string>

namespace veltro {

// The values decoded from the last accepted status frame, plus what
// ComputeDerived works out from them. Overwritten only by an accepted frame.
struct ReadingRecord {
    std::string FrameText;          // last accepted frame; emptied at every poll cycle
    double ForwardPower = 0;        // watts
    double ImpedanceMagnitude = 0;  // ohms
    double PhaseAngle = 0;          // degrees
    double AlarmSetting = 0;        // 0..5 from a sane meter, stored unchecked
    std::string MeterCallsign;      // six characters, trailing spaces kept
    double MeterRange = 0;          // 0 highest .. 2 lowest, stored unchecked
    double MeterMode = 0;           // 0 Norm, 1 Peak, 2 Tune, stored unchecked
    std::string ReadingText;        // the dBm columns exactly as received
    double PowerDbm = 0;
    double Swr = 0;

    // Derived (ComputeDerived); the bargraphs clamp the last two in place.
    double Resistance = 0;
    double Reactance = 0;
    double ReflectionCoefficient = 0;
    double ReflectedLevel = 0;  // tenths of a dBm
    double SwrLevel = 0;        // 100 * log10(SWR)
};

}  // namespace veltro
