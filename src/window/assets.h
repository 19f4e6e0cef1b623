#pragma once

#include <QColor>
#include <QImage>

namespace veltro {

// Small graphics drawn in code: the 100 x 53 window icon (24-bit colour)
// and the 15 x 15 link lamps (round, with transparent corners).
QImage makeWindowIcon();
QImage makeLamp(const QColor& colour);

}  // namespace veltro
