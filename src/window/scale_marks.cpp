#include "window/scale_marks.h"

#include <charconv>
#include <cmath>
#include <string>

namespace veltro {
namespace {

// "2K" -> 2000, ".1" -> 0.1; 0 for anything unreadable.
double wattsOf(const QString& token) {
    std::string text = token.toStdString();
    double multiplier = 1;
    if (!text.empty() && (text.back() == 'K' || text.back() == 'k')) {
        multiplier = 1000;
        text.pop_back();
    }
    double value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    return result.ec == std::errc() ? value * multiplier : 0;
}

std::vector<ScaleMark> marksFromNumbers(const QString& caption, double (*fractionOf)(double)) {
    std::vector<ScaleMark> marks;
    for (const QString& token : caption.split(u' ', Qt::SkipEmptyParts)) {
        marks.push_back({token, fractionOf(wattsOf(token))});
    }
    return marks;
}

bool isTick(QChar c) {
    return c == u'|' || c == u'\'';
}

}  // namespace

std::vector<ScaleMark> powerScaleMarks(const QString& caption, double minTenths, double maxTenths,
                                       double shiftTenths) {
    std::vector<ScaleMark> marks;
    for (const QString& token : caption.split(u' ', Qt::SkipEmptyParts)) {
        const double watts = wattsOf(token);
        const double tenths = watts > 0 ? 100.0 * std::log10(watts) + 300.0 - shiftTenths : 0;
        marks.push_back({token, (tenths - minTenths) / (maxTenths - minTenths)});
    }
    return marks;
}

std::vector<ScaleMark> swrScaleMarks(const QString& caption) {
    return marksFromNumbers(caption, [](double swr) { return swr > 0 ? std::log10(swr) : 0.0; });
}

std::vector<ScaleMark> ticksAtMajors(const QString& strip, const std::vector<double>& majors) {
    std::vector<ScaleMark> marks;
    std::size_t majorIndex = 0;
    std::vector<int> pendingMinors;  // positions in `marks` waiting for the next major
    for (QChar c : strip) {
        if (c == u'|') {
            const double here = majorIndex < majors.size() ? majors[majorIndex] : 1.0;
            const double before =
                majorIndex > 0 && majorIndex - 1 < majors.size() ? majors[majorIndex - 1] : here;
            const auto count = static_cast<double>(pendingMinors.size());
            for (std::size_t j = 0; j < pendingMinors.size(); ++j) {
                marks[static_cast<std::size_t>(pendingMinors[j])].fraction =
                    before + (here - before) * static_cast<double>(j + 1) / (count + 1);
            }
            pendingMinors.clear();
            marks.push_back({QString(c), here});
            ++majorIndex;
        } else if (c == u'\'') {
            pendingMinors.push_back(static_cast<int>(marks.size()));
            marks.push_back({QString(c), 0});
        }
    }
    return marks;
}

std::vector<ScaleMark> ticksByIndex(const QString& strip) {
    const auto first = strip.indexOf(u'|');
    const auto last = strip.lastIndexOf(u'|');
    std::vector<ScaleMark> marks;
    if (first < 0 || last <= first) {
        return marks;
    }
    for (qsizetype i = 0; i < strip.size(); ++i) {
        if (isTick(strip[i])) {
            marks.push_back({QString(strip[i]), double(i - first) / double(last - first)});
        }
    }
    return marks;
}

}  // namespace veltro
