#pragma once

#include <string>

namespace veltro {

// Locale-independent number texts. Rounding works on the shortest decimal
// text that reads back as the same double, so 1234.565 (stored as
// 1234.56499...) rounds the way a reader of "1234.565" expects: to 1234.57.
// Halves round away from zero. Non-finite values read "NaN", "Inf", "-Inf".

// Exactly `decimals` digits after the point; with leadingZero false a value
// below 1 has no digit before the point (".50"). A result that rounds to zero
// never carries a minus sign.
std::string formatFixed(double value, int decimals, bool leadingZero);

// Up to `significant` significant digits in plain positional notation (never
// an exponent), trailing zeros and a trailing point removed, "0." before a
// value below 1.
std::string formatSignificant(double value, int significant);

}  // namespace veltro
