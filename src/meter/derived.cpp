#include "meter/derived.h"

#include <cmath>

namespace veltro {

namespace {
// Degrees per radian as the meter's panel has always used it (not 180/pi).
constexpr double kDegreesPerRadian = 57.3;
}  // namespace

double Log10(double x) {
    return std::log(x) / std::log(10.0);
}

void ComputeDerived(ReadingRecord& record) {
    const double angle = record.PhaseAngle / kDegreesPerRadian;
    record.Resistance = std::abs(std::cos(angle) * record.ImpedanceMagnitude);
    record.Reactance = std::abs(std::sin(angle) * record.ImpedanceMagnitude);
    // Written as "not >= 1" so that a NaN also keeps the last levels.
    if (!(record.Swr >= 1)) {
        return;
    }
    const double rho = (record.Swr - 1) / (record.Swr + 1);
    record.ReflectionCoefficient = rho;
    if (rho > 0) {
        record.ReflectedLevel = record.PowerDbm * 10 + Log10(rho * rho) * 100;
    } else {
        record.ReflectedLevel = 0;
    }
    record.SwrLevel = Log10(record.Swr) * 100;
}

double wattsToDbm(double watts) {
    return 10 * Log10(watts) + 30;
}

}  // namespace veltro
