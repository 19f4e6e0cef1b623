#include "meter/derived.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace veltro {
namespace {

ReadingRecord reading(double impedance, double phase, double swr, double dbm) {
    ReadingRecord record;
    record.ImpedanceMagnitude = impedance;
    record.PhaseAngle = phase;
    record.Swr = swr;
    record.PowerDbm = dbm;
    return record;
}

TEST(Derived, WorkedExample) {
    ReadingRecord record = reading(50.0, 30.0, 1.50, 50.0);
    ComputeDerived(record);
    EXPECT_NEAR(record.Resistance, 43.302, 5e-4);
    EXPECT_NEAR(record.Reactance, 24.998, 5e-4);
    EXPECT_NEAR(record.ReflectionCoefficient, 0.2, 1e-12);
    EXPECT_NEAR(record.ReflectedLevel, 360.206, 5e-4);
    EXPECT_NEAR(record.SwrLevel, 17.609, 5e-4);
}

TEST(Derived, ImpedanceUsesTheFixedDivisorAndDropsTheSign) {
    struct Case {
        double impedance, phase, resistance, reactance;
    };
    const std::vector<Case> cases = {
        {50, 90, 0.0058, 50.0},  // 57.3, not 180/pi: not quite 0
        {50, 30, 43.302, 24.998},
        {50, -30, 43.302, 24.998},
    };
    for (const auto& c : cases) {
        ReadingRecord record = reading(c.impedance, c.phase, 1, 0);
        ComputeDerived(record);
        EXPECT_NEAR(record.Resistance, c.resistance, 5e-4) << c.phase;
        EXPECT_NEAR(record.Reactance, c.reactance, 5e-4) << c.phase;
        EXPECT_GE(record.Resistance, 0);
        EXPECT_GE(record.Reactance, 0);
    }
}

TEST(Derived, SwrLevelsAndReflection) {
    struct Case {
        double swr, dbm, rho, reflected, swrLevel;
    };
    const std::vector<Case> cases = {
        {1.00, 50, 0, 0, 0},
        {2.00, 40, 1.0 / 3, 400 - 95.424, 30.103},
        {9.99, 40, 0.81802, 400 - 17.448, 99.957},
        {10.0, 0, 9.0 / 11, -17.430, 100},
    };
    for (const auto& c : cases) {
        ReadingRecord record = reading(50, 0, c.swr, c.dbm);
        ComputeDerived(record);
        EXPECT_NEAR(record.ReflectionCoefficient, c.rho, 5e-5) << c.swr;
        EXPECT_NEAR(record.ReflectedLevel, c.reflected, 5e-3) << c.swr;
        EXPECT_NEAR(record.SwrLevel, c.swrLevel, 5e-4) << c.swr;
    }
}

TEST(Derived, SwrBelowOneKeepsTheLastLevelsButUpdatesImpedance) {
    for (double swr : {0.0, 0.99, -1.0, std::nan("")}) {
        ReadingRecord record = reading(50, 30, 1.5, 50);
        ComputeDerived(record);
        record.ImpedanceMagnitude = 100;
        record.Swr = swr;
        ComputeDerived(record);
        EXPECT_NEAR(record.Resistance, 86.604, 5e-3);
        EXPECT_NEAR(record.ReflectionCoefficient, 0.2, 1e-12);
        EXPECT_NEAR(record.ReflectedLevel, 360.206, 5e-4);
        EXPECT_NEAR(record.SwrLevel, 17.609, 5e-4);
    }
    ReadingRecord fresh = reading(50, 0, 0, 50);
    ComputeDerived(fresh);
    EXPECT_EQ(fresh.ReflectedLevel, 0);
    EXPECT_EQ(fresh.SwrLevel, 0);
}

TEST(Log10, IsTheQuotientOfNaturalLogarithms) {
    EXPECT_DOUBLE_EQ(Log10(100), 2);
    EXPECT_DOUBLE_EQ(Log10(0.1), -1);
    EXPECT_EQ(Log10(1), 0);
}

TEST(WattsToDbm, KnownLevels) {
    EXPECT_DOUBLE_EQ(wattsToDbm(1), 30);
    EXPECT_DOUBLE_EQ(wattsToDbm(100), 50);
    EXPECT_NEAR(wattsToDbm(2500), 63.98, 5e-3);
}

}  // namespace
}  // namespace veltro
