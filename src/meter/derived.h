#pragma once

#include "meter/reading_record.h"

namespace veltro {

// Natural log of x over natural log of 10, in double precision. Callers
// make sure x > 0.
double Log10(double x);

// Resistance, Reactance, ReflectionCoefficient, ReflectedLevel, SwrLevel from
// the decoded members. The phase divisor is 57.3; below SWR 1 the last three
// keep their previous values.
void ComputeDerived(ReadingRecord& record);

// 10 * Log10(watts) + 30; callers make sure watts > 0.
double wattsToDbm(double watts);

}  // namespace veltro
