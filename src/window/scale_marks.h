#pragma once

#include <QString>
#include <vector>

#include "window/scale_label.h"

namespace veltro {

// Marks for a power scale caption. Each number in the caption ("25", ".1",
// "2K") is read in watts and placed on a bar running minTenths..maxTenths
// in tenths of a dBm, after subtracting shiftTenths (the 10 kW scale reads
// 6 dB down on the same bar).
std::vector<ScaleMark> powerScaleMarks(const QString& caption, double minTenths, double maxTenths,
                                       double shiftTenths = 0);

// Marks for the SWR caption: each number on a bar of 100 * log10(SWR),
// 0..100.
std::vector<ScaleMark> swrScaleMarks(const QString& caption);

// Marks for a tick strip whose major ticks ("|") belong at the given places
// in order; the minor ticks between two majors are spread evenly.
std::vector<ScaleMark> ticksAtMajors(const QString& strip, const std::vector<double>& majors);

// Marks for a tick strip placed by character index: the first "|" at the
// bar's left end, the last at its right end.
std::vector<ScaleMark> ticksByIndex(const QString& strip);

}  // namespace veltro
