#pragma once

#include <QColor>
#include <QImage>

namespace veltro {

// Small graphics drawn in code: the 100 x 53 window icon (24-bit colour)
// and the 15 x 15 link lamps (round, with transparent corners).
QImage makeWindowIcon();
QImage makeLamp(const QColor& colour);

inline const QColor kLampGreen(0, 200, 0);
inline const QColor kLampRed(210, 0, 0);

}  // namespace veltro
