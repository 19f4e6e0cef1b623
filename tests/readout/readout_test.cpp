#include <gtest/gtest.h>

#include <climits>
#include <cmath>

#include "readout/readout.h"

namespace veltro {
namespace {

ReadingRecord sampleRecord() {
    ReadingRecord record;
    record.ForwardPower = 100;
    record.ImpedanceMagnitude = 50;
    record.PhaseAngle = 30;
    record.Resistance = 43.30127018922193;
    record.Reactance = 24.998;
    record.PowerDbm = 50;
    record.Swr = 1.5;
    return record;
}

TEST(Readout, VectorFiguresOnlyStrictlyAbove15Dbm) {
    ReadingRecord record = sampleRecord();
    record.PowerDbm = 15.0;
    const std::array<std::string, 4> zeros = {"0.00", "0.00", "0.00", "0.00"};
    EXPECT_EQ(computeReadout(record, 0, 0).vectorTexts, zeros);

    record.PowerDbm = 15.1;
    const std::array<std::string, 4> shown = {"50", "30", "43.3013", "24.998"};
    EXPECT_EQ(computeReadout(record, 0, 0).vectorTexts, shown);
}

TEST(Readout, ModeCaptionLeftForUnknownDigit) {
    const struct {
        double mode;
        std::optional<std::string> caption;
    } cases[] = {{0, "Norm"}, {1, "Peak"}, {2, "Tune"}, {3, std::nullopt}, {-1, std::nullopt}};
    for (const auto& c : cases) {
        ReadingRecord record = sampleRecord();
        record.MeterMode = c.mode;
        EXPECT_EQ(computeReadout(record, 0, 0).modeCaption, c.caption) << c.mode;
    }
}

TEST(Readout, RangeFromRangeMode) {
    const struct {
        int rangeMode;
        int hiPwr;
        double meterRange;
        std::optional<int> index;
        std::optional<std::string> caption;
    } cases[] = {
        {0, 0, 1, 2, " 25 "},
        {1, 1, 1, 1, " 250"},
        {2, 0, 1, 0, "2500"},
        {2, 1, 1, 0, "10K"},
        {2, 2, 1, 0, "2500"},  // the caption wants exactly 1
        {3, 0, 1, 1, "Auto"},
        {3, 0, 2, 2, "Auto"},
        {3, 1, 7, 7, "Auto"},  // copied unchecked; the bargraphs ignore it
        {3, 0, 1e12, -1, "Auto"},
        {3, 0, NAN, -1, "Auto"},
        {4, 0, 1, std::nullopt, std::nullopt},
        {-1, 1, 1, std::nullopt, std::nullopt},
    };
    for (const auto& c : cases) {
        ReadingRecord record = sampleRecord();
        record.MeterRange = c.meterRange;
        const ReadoutUpdate update = computeReadout(record, c.rangeMode, c.hiPwr);
        EXPECT_EQ(update.rangeIndex, c.index) << c.rangeMode << " " << c.meterRange;
        EXPECT_EQ(update.rangeCaption, c.caption) << c.rangeMode << " " << c.meterRange;
    }
}

TEST(Readout, AlarmCaptionAndColour) {
    using C = AlarmColour;
    const struct {
        double setting;
        double watts;
        double swr;
        std::optional<std::string> caption;
        std::optional<AlarmColour> colour;
    } cases[] = {
        {0, 100, 5.0, "Off", C::Normal},  // a switched-off alarm never stays red
        {1, 5, 1.5, "1.5", C::Alarm},
        {1, 1.0, 1.5, "1.5", C::Normal},
        {1, 1.01, 1.5, "1.5", C::Alarm},
        {1, 5, 1.49, "1.5", C::Normal},
        {2, 5, 2.0, "2.0", C::Alarm},
        {2, 5, 1.99, "2.0", C::Normal},
        {2, 0, 9.0, "2.0", C::Normal},
        {3, 5, 2.5, "2.5", C::Alarm},
        {3, 5, 2.49, "2.5", C::Normal},
        {4, 0, 3.0, "3.0", C::Alarm},
        {4, 100, 2.99, "3.0", C::Normal},
        {5, 0, 3.0, "User", C::Alarm},
        {5, 0, 2.99, "User", C::Normal},
        {6, 100, 9.0, std::nullopt, std::nullopt},
        {-1, 100, 9.0, std::nullopt, std::nullopt},
    };
    for (const auto& c : cases) {
        ReadingRecord record = sampleRecord();
        record.AlarmSetting = c.setting;
        record.ForwardPower = c.watts;
        record.Swr = c.swr;
        const ReadoutUpdate update = computeReadout(record, 0, 0);
        EXPECT_EQ(update.alarmCaption, c.caption) << c.setting << " " << c.watts << " " << c.swr;
        EXPECT_EQ(update.alarmColour, c.colour) << c.setting << " " << c.watts << " " << c.swr;
    }
}

TEST(Readout, PowerAndSwrTexts) {
    ReadingRecord record = sampleRecord();
    record.ForwardPower = 2500;
    record.Swr = 0;
    ReadoutUpdate update = computeReadout(record, 0, 0);
    EXPECT_EQ(update.powerText, "2500.00");
    EXPECT_EQ(update.swrText, ".00");

    record.ForwardPower = 0.004;
    record.Swr = 10;
    update = computeReadout(record, 0, 0);
    EXPECT_EQ(update.powerText, "0.00");
    EXPECT_EQ(update.swrText, "10.00");
}

}  // namespace
}  // namespace veltro
