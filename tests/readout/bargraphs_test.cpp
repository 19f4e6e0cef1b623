#include <gtest/gtest.h>

#include <climits>
#include <ostream>

#include "readout/bargraphs.h"

namespace veltro {
namespace {

using LabelWrites = std::vector<std::pair<int, bool>>;

ReadingRecord recordWith(double powerDbm, double reflectedLevel, double swrLevel = 17.6) {
    ReadingRecord record;
    record.PowerDbm = powerDbm;
    record.ReflectedLevel = reflectedLevel;
    record.SwrLevel = swrLevel;
    record.ForwardPower = 100;
    return record;
}

struct PowerCase {
    int rangeIndex;
    int hiPwr;
    double powerDbm;
    double reflectedLevel;
    float barMin, barMax;
    float forwardValue;
    double storedPowerDbm;
    float reflectedValue;
    double storedReflected;
    LabelWrites labels;
};

const LabelWrites kStandard2500 = {{0, false}, {3, false}, {5, false}, {4, true}};
const LabelWrites kHigh10k = {{0, false}, {3, false}, {4, false}, {5, true}};
const LabelWrites k250 = {{0, false}, {3, true}, {4, false}, {5, false}};
const LabelWrites k25 = {{0, true}, {3, false}, {4, false}, {5, false}};

void PrintTo(const PowerCase& c, std::ostream* os) {
    *os << "range" << c.rangeIndex << "_hiPwr" << c.hiPwr << "_dBm" << c.powerDbm;
}

class PowerBars : public ::testing::TestWithParam<PowerCase> {};

TEST_P(PowerBars, ScaleLimitsClampsAndValues) {
    const PowerCase& c = GetParam();
    ReadingRecord record = recordWith(c.powerDbm, c.reflectedLevel);
    const BargraphUpdate update = computeBargraphs(record, c.rangeIndex, c.hiPwr, 0);
    ASSERT_TRUE(update.power.has_value());
    const PowerBarsUpdate& bars = *update.power;
    EXPECT_EQ(bars.labelWrites, c.labels);
    EXPECT_EQ(bars.forward.min, c.barMin);
    EXPECT_EQ(bars.forward.max, c.barMax);
    EXPECT_EQ(bars.reflected.min, c.barMin);
    EXPECT_EQ(bars.reflected.max, c.barMax);
    EXPECT_FLOAT_EQ(bars.forward.value, c.forwardValue);
    EXPECT_FLOAT_EQ(bars.reflected.value, c.reflectedValue);
    EXPECT_DOUBLE_EQ(record.PowerDbm, c.storedPowerDbm);
    EXPECT_DOUBLE_EQ(record.ReflectedLevel, c.storedReflected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PowerBars,
    ::testing::Values(PowerCase{0, 0, 52.3, 450, 400, 640, 523, 52.3, 450, 450, kStandard2500},
                      PowerCase{0, 0, 35.0, 0, 400, 640, 400, 40, 400, 400, kStandard2500},
                      PowerCase{0, 0, 70.0, 700, 400, 640, 640, 64, 640, 640, kStandard2500},
                      PowerCase{0, 1, 60.0, 500, 400, 640, 540, 60, 440, 500, kHigh10k},
                      PowerCase{0, 2, 60.0, 500, 400, 640, 540, 60, 440, 500,
                                kHigh10k},  // any non-zero
                      PowerCase{0, 1, 40.0, 0, 400, 640, 400, 46, 400, 460, kHigh10k},
                      PowerCase{0, 1, 75.0, 800, 400, 640, 640, 70, 640, 700, kHigh10k},
                      PowerCase{1, 0, 43.9, 360.2, 300, 540, 439, 43.9, 360.2, 360.2, k250},
                      PowerCase{1, 1, 20.0, 0, 300, 540, 300, 30, 300, 300, k250},
                      PowerCase{2, 0, 20.0, 0, 190, 440, 200, 20, 190, 190, k25},
                      PowerCase{2, 1, 50.0, 500, 190, 440, 440, 44, 440, 440, k25},
                      PowerCase{2, 0, 10.0, -100, 190, 440, 190, 19, 190, 190, k25}));

TEST(Bargraphs, SwrBarCapsAndStoresBack) {
    const struct {
        double level;
        float value;
        double stored;
    } cases[] = {{99.957, 99.957f, 99.957}, {100, 100, 100}, {140, 100, 100}, {0, 0, 0}};
    for (const auto& c : cases) {
        ReadingRecord record = recordWith(50, 450, c.level);
        const BargraphUpdate update = computeBargraphs(record, 0, 0, 0);
        EXPECT_EQ(update.swr.min, 0);
        EXPECT_EQ(update.swr.max, 100);
        EXPECT_FLOAT_EQ(update.swr.value, c.value);
        EXPECT_DOUBLE_EQ(record.SwrLevel, c.stored);
    }
}

TEST(Bargraphs, SameAsNumericalUsesWattsWhenThereArePositiveWatts) {
    ReadingRecord record = recordWith(43.9, 450);
    record.ForwardPower = 100;
    BargraphUpdate update = computeBargraphs(record, 0, 0, 1);
    EXPECT_EQ(update.check2Value, 0);
    EXPECT_FLOAT_EQ(update.power->forward.value, 500);
    EXPECT_NEAR(record.PowerDbm, 50.0, 1e-12);
    EXPECT_FLOAT_EQ(update.power->reflected.value, 450);

    record = recordWith(43.9, 450);
    record.ForwardPower = 0;
    update = computeBargraphs(record, 0, 0, 1);
    EXPECT_FLOAT_EQ(update.power->forward.value, 439);

    record = recordWith(43.9, 450);
    record.ForwardPower = 100;
    for (int check1 : {0, 2}) {  // only value 1 counts as checked
        update = computeBargraphs(record, 0, 0, check1);
        EXPECT_EQ(update.check2Value, 1);
        EXPECT_FLOAT_EQ(update.power->forward.value, 439);
    }
}

TEST(Bargraphs, InvalidRangeIndexLeavesPowerBarsButMovesSwrBar) {
    for (int rangeIndex : {3, -1, 7, INT_MIN}) {
        ReadingRecord record = recordWith(35.0, -50, 140);
        const BargraphUpdate update = computeBargraphs(record, rangeIndex, 0, 1);
        EXPECT_FALSE(update.power.has_value()) << rangeIndex;
        EXPECT_EQ(update.check2Value, 0);
        EXPECT_FLOAT_EQ(update.swr.value, 100);
        EXPECT_DOUBLE_EQ(record.ReflectedLevel, -50);  // no clamp without a scale
    }
}

TEST(Bargraphs, NextRangeModeKeepsLowTwoBits) {
    const std::pair<int, int> cases[] = {{-5, 0}, {-1, 0}, {0, 1},       {1, 2},      {2, 3},
                                         {3, 0},  {7, 0},  {INT_MAX, 0}, {INT_MIN, 1}};
    for (const auto& [mode, next] : cases) {
        EXPECT_EQ(nextRangeMode(mode), next) << mode;
    }
}

}  // namespace
}  // namespace veltro
