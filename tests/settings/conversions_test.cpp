#include "settings/conversions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace veltro {
namespace {

using std::nullopt;

TEST(Conversions, ToSingle) {
    const struct {
        const char* text;
        std::optional<float> expected;
    } cases[] = {
        {"5130", 5130.0f}, {" 12.5 ", 12.5f},       {"-120", -120.0f}, {"+7", 7.0f},
        {".5", 0.5f},      {"1e3", 1000.0f},        {"0.1", 0.1f},     {"", nullopt},
        {"  ", nullopt},   {"100=5", nullopt},      {"12,5", nullopt}, {"abc", nullopt},
        {"nan", nullopt},  {"inf", nullopt},        {"-inf", nullopt}, {"0x10", nullopt},
        {"1e99", nullopt}, {"5130 twips", nullopt}, {"+-1", nullopt},  {"-", nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(toSingle(c.text), c.expected) << '"' << c.text << '"';
}

TEST(Conversions, ToBoolean) {
    const struct {
        const char* text;
        std::optional<bool> expected;
    } cases[] = {
        {"True", true},   {"true", true}, {"TRUE", true},   {"False", false},   {"fAlSe", false},
        {"0", false},     {"1", true},    {"-1", true},     {"0.0", false},     {"0.4", true},
        {" True ", true}, {"", nullopt},  {"yes", nullopt}, {"Truee", nullopt}, {"1x", nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(toBoolean(c.text), c.expected) << '"' << c.text << '"';
}

TEST(Conversions, ToWholeNumberRoundsHalfToEvenWithin16Bits) {
    const struct {
        const char* text;
        std::optional<int> expected;
    } cases[] = {
        {"100", 100},         {"0.5", 0},         {"1.5", 2},         {"2.5", 2},
        {"-2.5", -2},         {"-3.5", -4},       {"2.51", 3},        {"32767", 32767},
        {"32767.5", nullopt}, {"32768", nullopt}, {"-32768", -32768}, {"-32768.5", -32768},
        {"-32769", nullopt},  {"100=5", nullopt}, {"", nullopt},      {"1e2", 100},
        {" 7 ", 7},           {"seven", nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(toWholeNumber(c.text), c.expected) << '"' << c.text << '"';
    }
}

TEST(Conversions, PortNumber) {
    const struct {
        const char* text;
        std::optional<int> expected;
    } cases[] = {
        {"Com01", 1},          {"Com09 ", 9},    {"Com16", 16},  {"Com1", 1},    {"COM3", 0},
        {"com3", 0},           {"", 0},          {"Com", 0},     {"3", 3},       {"  Com 12", 12},
        {"Com2.5", 2},         {"Com3.5", 4},    {"Com7abc", 7}, {"ComCom5", 5}, {"Com-4", -4},
        {"Com99999", nullopt}, {"Com1e3", 1000}, {"Com1e", 1},   {"Com.", 0},    {"Com+6", 6},
    };
    for (const auto& c : cases) EXPECT_EQ(portNumber(c.text), c.expected) << '"' << c.text << '"';
}

TEST(Conversions, ShortestTextRoundTrips) {
    EXPECT_EQ(shortestText(5130.0f), "5130");
    EXPECT_EQ(shortestText(12.5f), "12.5");
    EXPECT_EQ(shortestText(0.1f), "0.1");
    EXPECT_EQ(shortestText(-120.0f), "-120");
    EXPECT_EQ(shortestText(-0.0f), "0");
    EXPECT_EQ(shortestText(std::numeric_limits<float>::quiet_NaN()), "0");
    for (float value : {1.0f / 3.0f, 1e10f, 123456.78f, -0.001f, 3.4e38f, 1e-30f}) {
        const std::string text = shortestText(value);
        EXPECT_EQ(text.find_first_of("eE,"), std::string::npos) << text;
        EXPECT_EQ(toSingle(text), value) << text;
    }
}

}  // namespace
}  // namespace veltro
