#include "settings/conversions.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace veltro {
namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return text;
}

// from_chars takes no leading '+'; a decimal number may carry one.
std::string_view withoutPlus(std::string_view text) {
    if (text.size() > 1 && text.front() == '+' && text[1] != '-' && text[1] != '+') {
        text.remove_prefix(1);
    }
    return text;
}

// The whole (trimmed) text as a finite decimal number; "inf", "nan", hex
// and trailing junk such as "100=5" do not convert.
template <typename Number>
std::optional<Number> wholeTextNumber(std::string_view text) {
    text = withoutPlus(trimmed(text));
    if (text.empty())
        return std::nullopt;
    const char first = text.front() == '-' && text.size() > 1 ? text[1] : text.front();
    if (!(first >= '0' && first <= '9') && first != '.')
        return std::nullopt;
    Number value{};
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value, std::chars_format::general);
    if (ec != std::errc{} || ptr != end || !std::isfinite(value))
        return std::nullopt;
    return value;
}

double roundHalfEven(double value) {
    const double down = std::floor(value);
    const double fraction = value - down;
    if (fraction < 0.5)
        return down;
    if (fraction > 0.5)
        return down + 1;
    return std::fmod(down, 2.0) == 0 ? down : down + 1;
}

std::optional<int> toInt16(double value) {
    const double rounded = roundHalfEven(value);
    if (rounded < -32768 || rounded > 32767)
        return std::nullopt;
    return static_cast<int>(rounded);
}

// Length of the decimal number at the start of text: sign, digits, point,
// digits, and an exponent only when digits follow it. 0 when none.
size_t leadingNumberLength(std::string_view text) {
    size_t i = 0;
    auto digitsFrom = [&](size_t at) {
        while (at < text.size() && text[at] >= '0' && text[at] <= '9') ++at;
        return at;
    };
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    const size_t intStart = i;
    i = digitsFrom(i);
    size_t mantissaDigits = i - intStart;
    if (i < text.size() && text[i] == '.') {
        const size_t fracEnd = digitsFrom(i + 1);
        mantissaDigits += fracEnd - (i + 1);
        i = fracEnd;
    }
    if (mantissaDigits == 0)
        return 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-'))
            ++j;
        const size_t expEnd = digitsFrom(j);
        if (expEnd > j)
            i = expEnd;
    }
    return i;
}

}  // namespace

std::optional<float> toSingle(std::string_view text) {
    return wholeTextNumber<float>(text);
}

std::optional<bool> toBoolean(std::string_view text) {
    const std::string_view word = trimmed(text);
    auto equalsIgnoringCase = [word](std::string_view expected) {
        if (word.size() != expected.size())
            return false;
        for (size_t i = 0; i < word.size(); ++i) {
            char c = word[i];
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c - 'A' + 'a');
            if (c != expected[i])
                return false;
        }
        return true;
    };
    if (equalsIgnoringCase("true"))
        return true;
    if (equalsIgnoringCase("false"))
        return false;
    const auto number = wholeTextNumber<double>(text);
    if (!number)
        return std::nullopt;
    return *number != 0;
}

std::optional<int> toWholeNumber(std::string_view text) {
    const auto number = wholeTextNumber<double>(text);
    if (!number)
        return std::nullopt;
    return toInt16(*number);
}

std::optional<int> portNumber(std::string_view comPortText) {
    std::string rest;
    rest.reserve(comPortText.size());
    for (size_t i = 0; i < comPortText.size();) {
        if (comPortText.substr(i, 3) == "Com") {
            i += 3;
        } else {
            rest += comPortText[i++];
        }
    }
    std::string_view text = rest;
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    const std::string_view number = withoutPlus(text.substr(0, leadingNumberLength(text)));
    if (number.empty())
        return 0;
    double value = 0;
    const auto [ptr, ec] = std::from_chars(number.data(), number.data() + number.size(), value,
                                           std::chars_format::general);
    if (ec != std::errc{} || !std::isfinite(value))
        return std::nullopt;
    (void)ptr;
    return toInt16(value);
}

std::string shortestText(float value) {
    if (!std::isfinite(value) || value == 0)
        return "0";
    char buffer[64];
    const auto [end, ec] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    if (ec != std::errc{})
        return "0";
    return std::string(buffer, end);
}

}  // namespace veltro
