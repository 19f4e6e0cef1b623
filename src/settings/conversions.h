#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace veltro {

// Conversions the start-up applies to the slots. Each is empty when the
// text does not convert. All are locale independent.

// Decimal number to single precision (window coordinates and height).
std::optional<float> toSingle(std::string_view text);

// "True"/"False" in any letter case, or a number (0 false, other true).
std::optional<bool> toBoolean(std::string_view text);

// Decimal number rounded half to even, within -32768..32767.
std::optional<int> toWholeNumber(std::string_view text);

// PortNumber: every "Com" (this case only) removed, the leading number read
// (leading spaces skipped, 0 when there is none), rounded half to even.
// Empty when it does not fit a 16-bit integer.
std::optional<int> portNumber(std::string_view comPortText);

// Shortest decimal text of a single-precision number ("5130", "12.5") that
// reads back to the same number: "." separator, never an exponent. Zero,
// minus zero and non-finite numbers give "0".
std::string shortestText(float value);

}  // namespace veltro
