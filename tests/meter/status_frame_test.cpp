#include "meter/status_frame.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <string>
#include <vector>

namespace veltro {
namespace {

using namespace std::string_literals;
using namespace std::string_view_literals;

// A frame with every field set, separators as a meter sends them.
const std::string kSample = ";1234.56,050.0,-45.0,3,AB    ,1,2,43.9,1.50";

std::string withColumns(std::string frame, std::size_t firstPosition, std::string_view text) {
    frame.replace(firstPosition - 1, text.size(), text);
    return frame;
}

TEST(FrameTest, AcceptsOnlyFortyThreeCharactersStartingWithMarker) {
    struct Case {
        std::string text;
        bool accepted;
    };
    const std::vector<Case> cases = {
        {kSample, true},
        {";" + std::string(42, ' '), true},
        {";" + std::string(42, 'x'), true},
        {";" + std::string(42, '\0'), true},
        {";" + std::string(42, '\xE9'), true},  // bytes above 127 are one character each
        {kSample + "\r", false},
        {kSample.substr(0, 42), false},
        {"," + kSample.substr(1), false},
        {kSample + kSample, false},
        {"", false},
        {";", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(isStatusFrame(c.text), c.accepted) << '[' << c.text << ']';
    }
}

TEST(FixedPoint, ReadsFieldsByTheWireRule) {
    struct Case {
        std::string field;
        double divisor;
        double expected;
    };
    const std::vector<Case> cases = {
        {"1234.56", 100, 1234.56},
        {"0012.34", 100, 12.34},
        {"12.3400", 100, 1234},  // the point's position does not matter
        {"  12.30", 100, 12.3},
        {"-45.0", 10, -45},
        {"045.0", 10, 45},
        {"+12.5", 10, 12.5},
        {"- 4 5.0", 10, -45},  // blanks skipped wherever they stand
        {"1.2.3", 100, 1.23},  // every point removed
        {"12a34", 10, 1.2},    // stops at the first non-number character
        {"1-2", 1, 1},         // a sign after digits ends the number
        {"--5", 1, 0},         // a second sign ends it before any digit
        {"1e3", 1, 1},         // no exponents
        {"", 10, 0},
        {"  . ", 10, 0},
        {"abcd", 10, 0},
        {"\xB2\xB3", 10, 0},  // superscript digits are not digits
        {"\0"
         "12"s,
         10, 0},
        {"9.99", 100, 9.99},
        {"1.00", 100, 1},
    };
    for (const auto& c : cases) {
        EXPECT_DOUBLE_EQ(readFixedPoint(c.field, c.divisor), c.expected) << '[' << c.field << ']';
    }
}

TEST(FixedPoint, NegativeZeroReadsAsPlainZero) {
    EXPECT_FALSE(std::signbit(readFixedPoint("-00.0", 10)));
}

TEST(FixedPoint, DoesNotFollowTheUserLocale) {
    const char* previous = std::setlocale(LC_ALL, nullptr);
    const std::string saved = previous ? previous : "C";
    // Any installed locale with a comma decimal separator; the test still
    // holds if none is installed.
    for (const char* name : {"de_DE.UTF-8", "fr_FR.UTF-8", "C.UTF-8"}) {
        if (std::setlocale(LC_ALL, name)) {
            break;
        }
    }
    EXPECT_DOUBLE_EQ(readFixedPoint("1234.56", 100), 1234.56);
    EXPECT_DOUBLE_EQ(readFixedPoint("12,5", 10), 1.2);
    std::setlocale(LC_ALL, saved.c_str());
}

TEST(DecodeFrame, FillsEveryMemberInColumnOrderAndPublishesBeforeDbm) {
    ReadingRecord record;
    record.PowerDbm = -1;
    record.Resistance = 7;
    std::vector<std::string> published;
    double dbmWhenPublished = 0;
    decodeFrame(kSample, record, [&](const std::string& text) {
        published.push_back(text);
        dbmWhenPublished = record.PowerDbm;
    });
    EXPECT_DOUBLE_EQ(record.ForwardPower, 1234.56);
    EXPECT_DOUBLE_EQ(record.ImpedanceMagnitude, 50);
    EXPECT_DOUBLE_EQ(record.PhaseAngle, -45);
    EXPECT_DOUBLE_EQ(record.AlarmSetting, 3);
    EXPECT_EQ(record.MeterCallsign, "AB    ");
    EXPECT_DOUBLE_EQ(record.MeterRange, 1);
    EXPECT_DOUBLE_EQ(record.MeterMode, 2);
    EXPECT_EQ(record.ReadingText, "43.9");
    EXPECT_DOUBLE_EQ(record.PowerDbm, 43.9);
    EXPECT_DOUBLE_EQ(record.Swr, 1.5);
    EXPECT_EQ(published, std::vector<std::string>{"43.9"});
    EXPECT_DOUBLE_EQ(dbmWhenPublished, -1);  // published before PowerDbm is taken
    EXPECT_DOUBLE_EQ(record.Resistance, 7);  // derived members left alone
    EXPECT_TRUE(record.FrameText.empty());
}

TEST(DecodeFrame, DigitFieldsAreStoredUncheckedAndLettersReadZero) {
    struct Case {
        char alarm, range, mode;
        double alarmValue, rangeValue, modeValue;
    };
    const std::vector<Case> cases = {
        {'7', '9', '5', 7, 9, 5},
        {'A', ' ', '-', 0, 0, 0},
        {'\xFF', '\0', '.', 0, 0, 0},
    };
    for (const auto& c : cases) {
        std::string frame = kSample;
        frame[21] = c.alarm;
        frame[30] = c.range;
        frame[32] = c.mode;
        ReadingRecord record;
        decodeFrame(frame, record, nullptr);
        EXPECT_DOUBLE_EQ(record.AlarmSetting, c.alarmValue);
        EXPECT_DOUBLE_EQ(record.MeterRange, c.rangeValue);
        EXPECT_DOUBLE_EQ(record.MeterMode, c.modeValue);
    }
}

TEST(DecodeFrame, TextFieldsKeepTheirBytes) {
    std::string frame = withColumns(kSample, 24, "\xC4\xD6 \0x "sv);
    frame = withColumns(frame, 35, "-1.5");
    ReadingRecord record;
    decodeFrame(frame, record, nullptr);
    EXPECT_EQ(record.MeterCallsign, std::string("\xC4\xD6 \0x ", 6));
    EXPECT_EQ(record.ReadingText, "-1.5");
    EXPECT_DOUBLE_EQ(record.PowerDbm, -1.5);
}

TEST(DecodeFrame, SeparatorsAreNotExamined) {
    std::string frame = kSample;
    for (std::size_t position : {9, 15, 21, 23, 30, 32, 34, 39}) {
        frame[position - 1] = '7';
    }
    ReadingRecord record;
    decodeFrame(frame, record, nullptr);
    EXPECT_DOUBLE_EQ(record.ForwardPower, 1234.56);
    EXPECT_DOUBLE_EQ(record.PhaseAngle, -45);
    EXPECT_DOUBLE_EQ(record.Swr, 1.5);
}

TEST(BuildFrame, RoundTripsThroughTheDecoder) {
    FrameFields fields;
    fields.forwardPower = 12.3;
    fields.impedance = 50;
    fields.phase = -45;
    fields.alarmSetting = 3;
    fields.callsign = "AB";
    fields.meterRange = 1;
    fields.powerMode = 2;
    fields.powerDbm = 43.9;
    fields.swr = 1.5;
    const std::string frame = buildFrame(fields);
    EXPECT_EQ(frame, ";  12.30,050.0,-45.0,3,AB    ,1,2,43.9,1.50");
    ASSERT_TRUE(isStatusFrame(frame));
}

TEST(BuildFrame, ClampsValuesThatDoNotFit) {
    struct Case {
        FrameFields fields;
        std::string expected;
    };
    FrameFields big;
    big.forwardPower = 1e9;
    big.impedance = 5000;
    big.phase = 1000;
    big.alarmSetting = 12;
    big.callsign = "ABCDEFGH";
    big.powerDbm = 150;
    big.swr = 20;
    big.separator = ' ';
    FrameFields small;
    small.forwardPower = -1e9;
    small.impedance = -1e9;
    small.phase = -5;
    small.alarmSetting = -1;
    small.powerDbm = -40;
    small.swr = -1;
    FrameFields notNumbers;
    notNumbers.forwardPower = std::nan("");
    notNumbers.swr = 9.996;  // rounds past the largest that fits
    const std::vector<Case> cases = {
        {big, ";9999.99 999.9 999.9 9 ABCDEF 0 0 99.9 9.99"},
        {small, ";-999.99,-99.9,-05.0,0,      ,0,0,-9.9,0.00"},
        {notNumbers, ";   0.00,050.0,000.0,0,      ,0,0, 0.0,9.99"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(buildFrame(c.fields), c.expected);
    }
}

}  // namespace
}  // namespace veltro
