#include "readout/number_format.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace veltro {
namespace {

// value = sign * d0.d1d2... * 10^exponent; digits empty means zero.
struct DecimalDigits {
    bool negative = false;
    std::string digits;
    int exponent = 0;
};

DecimalDigits shortestDigits(double value) {
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific);
    const std::string_view text(buffer, static_cast<std::size_t>(result.ptr - buffer));
    DecimalDigits out;
    std::size_t pos = 0;
    if (text[pos] == '-') {
        out.negative = true;
        ++pos;
    }
    const std::size_t ePos = text.find('e');
    for (; pos < ePos; ++pos) {
        if (text[pos] != '.') {
            out.digits += text[pos];
        }
    }
    const std::string_view expText = text.substr(ePos + 1);
    const char* expBegin = expText.data() + (expText.front() == '+' ? 1 : 0);
    std::from_chars(expBegin, expText.data() + expText.size(), out.exponent);
    while (!out.digits.empty() && out.digits.back() == '0') {
        out.digits.pop_back();
    }
    return out;
}

// Keeps the first `keep` digits, rounding half away from zero on the rest.
void roundToDigits(DecimalDigits& number, int keep) {
    if (keep >= static_cast<int>(number.digits.size())) {
        return;
    }
    if (keep < 0) {
        number.digits.clear();
        return;
    }
    const bool roundUp = number.digits[static_cast<std::size_t>(keep)] >= '5';
    number.digits.resize(static_cast<std::size_t>(keep));
    if (roundUp) {
        int i = keep - 1;
        while (i >= 0 && number.digits[static_cast<std::size_t>(i)] == '9') {
            number.digits[static_cast<std::size_t>(i)] = '0';
            --i;
        }
        if (i >= 0) {
            ++number.digits[static_cast<std::size_t>(i)];
        } else {
            number.digits.insert(number.digits.begin(), '1');
            ++number.exponent;
        }
    }
    while (!number.digits.empty() && number.digits.back() == '0') {
        number.digits.pop_back();
    }
}

// Digit at decimal position `power` (0 units, -1 tenths, ...).
char digitAt(const DecimalDigits& number, int power) {
    const long index = static_cast<long>(number.exponent) - power;
    if (index < 0 || index >= static_cast<long>(number.digits.size())) {
        return '0';
    }
    return number.digits[static_cast<std::size_t>(index)];
}

std::string integerPart(const DecimalDigits& number) {
    std::string out;
    if (number.digits.empty()) {
        return out;
    }
    for (int power = number.exponent; power >= 0; --power) {
        out += digitAt(number, power);
    }
    return out;
}

std::string nonFinite(double value) {
    if (std::isnan(value)) {
        return "NaN";
    }
    return value < 0 ? "-Inf" : "Inf";
}

}  // namespace

std::string formatFixed(double value, int decimals, bool leadingZero) {
    if (!std::isfinite(value)) {
        return nonFinite(value);
    }
    DecimalDigits number = shortestDigits(value);
    roundToDigits(number, number.exponent + 1 + decimals);
    std::string out = number.negative && !number.digits.empty() ? "-" : "";
    const std::string whole = integerPart(number);
    if (whole.empty() && leadingZero) {
        out += '0';
    }
    out += whole;
    out += '.';
    for (int power = -1; power >= -decimals; --power) {
        out += digitAt(number, power);
    }
    return out;
}

std::string formatSignificant(double value, int significant) {
    if (!std::isfinite(value)) {
        return nonFinite(value);
    }
    DecimalDigits number = shortestDigits(value);
    roundToDigits(number, significant);
    if (number.digits.empty()) {
        return "0";
    }
    std::string out = number.negative ? "-" : "";
    const std::string whole = integerPart(number);
    out += whole.empty() ? "0" : whole;
    const int lastPower = number.exponent + 1 - static_cast<int>(number.digits.size());
    if (lastPower < 0) {
        out += '.';
        for (int power = -1; power >= lastPower; --power) {
            out += digitAt(number, power);
        }
    }
    return out;
}

}  // namespace veltro
