#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <ostream>

#include "readout/readout.h"

namespace veltro {
namespace {

struct FormatCase {
    double value;
    const char* expected;
};

void PrintTo(const FormatCase& c, std::ostream* os) {
    *os << c.expected;
}

class PowerFormat : public ::testing::TestWithParam<FormatCase> {};

TEST_P(PowerFormat, ShowsTwoDecimalsWithLeadingDigit) {
    EXPECT_EQ(formatPower(GetParam().value), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PowerFormat,
    ::testing::Values(FormatCase{0, "0.00"}, FormatCase{-0.0, "0.00"}, FormatCase{12.3, "12.30"},
                      FormatCase{2500, "2500.00"}, FormatCase{0.004, "0.00"},
                      FormatCase{0.005, "0.01"}, FormatCase{1234.567, "1234.57"},
                      FormatCase{1234.565, "1234.57"},  // stored as 1234.56499...
                      FormatCase{2.675, "2.68"}, FormatCase{9.995, "10.00"},
                      FormatCase{99999.999, "100000.00"}, FormatCase{12345678, "12345678.00"},
                      FormatCase{-0.5, "-0.50"}, FormatCase{-0.004, "0.00"},
                      FormatCase{-1234.565, "-1234.57"}));

class SwrFormat : public ::testing::TestWithParam<FormatCase> {};

TEST_P(SwrFormat, ShowsTwoDecimalsWithoutLeadingZero) {
    EXPECT_EQ(formatSwr(GetParam().value), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, SwrFormat,
                         ::testing::Values(FormatCase{0, ".00"}, FormatCase{1.5, "1.50"},
                                           FormatCase{10, "10.00"}, FormatCase{9.99, "9.99"},
                                           FormatCase{0.994, ".99"}, FormatCase{0.995, "1.00"},
                                           FormatCase{0.5, ".50"}, FormatCase{-0.5, "-.50"},
                                           FormatCase{-0.001, ".00"}));

class GeneralFormat : public ::testing::TestWithParam<FormatCase> {};

TEST_P(GeneralFormat, ShowsSixSignificantDigitsInPlainNotation) {
    EXPECT_EQ(formatGeneral(GetParam().value), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GeneralFormat,
    ::testing::Values(FormatCase{50, "50"}, FormatCase{-45, "-45"}, FormatCase{0, "0"},
                      FormatCase{-0.0, "0"}, FormatCase{43.30127018922193, "43.3013"},
                      FormatCase{24.998, "24.998"}, FormatCase{0.0057982798, "0.00579828"},
                      FormatCase{0.5, "0.5"}, FormatCase{999.9995, "1000"},
                      FormatCase{999999.5, "1000000"}, FormatCase{1234567, "1234570"},
                      FormatCase{1e-7, "0.0000001"}, FormatCase{123.4565, "123.457"},
                      FormatCase{-0.0000004, "-0.0000004"}));

TEST(NumberFormat, ExtremeValuesStayShortAndNeverThrow) {
    const double extremes[] = {1e300, -1e300, std::numeric_limits<double>::max(),
                               std::numeric_limits<double>::denorm_min(), 1e-300};
    for (double value : extremes) {
        EXPECT_LT(formatPower(value).size(), 400u) << value;
        EXPECT_LT(formatSwr(value).size(), 400u) << value;
        EXPECT_LT(formatGeneral(value).size(), 400u) << value;
    }
    EXPECT_EQ(formatPower(1e300).substr(0, 2), "10");
    EXPECT_EQ(formatPower(1e300).size(), 301u + 3u);
    EXPECT_EQ(formatPower(std::nan("")), "NaN");
    EXPECT_EQ(formatSwr(-INFINITY), "-Inf");
    EXPECT_EQ(formatGeneral(INFINITY), "Inf");
    EXPECT_EQ(formatPower(1e-300), "0.00");
}

}  // namespace
}  // namespace veltro
