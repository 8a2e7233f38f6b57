#include <gtest/gtest.h>

#include <cmath>

#include "core/FrostGraphicAxis.h"
#include "core/FrostGraphicScaling.h"
#include "core/FrostGraphicTetta.h"

namespace zemvalkorta {
namespace {

TEST(FrostGraphicScaling, StretchStopsOneStepPastTheBoundAndUndoIsExact) {
    double stretch = 1.0;
    for (int click = 0; click < 500; ++click) stretch = ScaledStretch(stretch, CurveScaling::Stretch);
    EXPECT_NEAR(stretch, 2.0, 1e-9);
    const double afterFiveHundred = stretch;
    for (int click = 0; click < 100; ++click) stretch = ScaledStretch(stretch, CurveScaling::Stretch);
    EXPECT_GE(stretch, 2.0);
    EXPECT_LE(stretch, 2.0 + CurveStretchStep + 1e-9);
    EXPECT_LE(stretch, afterFiveHundred + CurveStretchStep + 1e-12);
    EXPECT_EQ(ScaledStretch(stretch, CurveScaling::Reset), 1.0);
    EXPECT_NEAR(ScaledStretch(1.999, CurveScaling::Stretch), 2.001, 1e-12);

    for (int click = 0; click < 1000; ++click) stretch = ScaledStretch(stretch, CurveScaling::Compress);
    EXPECT_LE(stretch, 0.2);
    EXPECT_GE(stretch, 0.2 - CurveStretchStep - 1e-9);
}

TEST(FrostGraphicScaling, EachBoundStopsTheStepAtAndBeyondIt) {
    EXPECT_EQ(ScaledStretch(2.0, CurveScaling::Stretch), 2.0);
    EXPECT_EQ(ScaledStretch(2.3, CurveScaling::Stretch), 2.3);
    EXPECT_EQ(ScaledStretch(2.0, CurveScaling::Compress), 2.0 - 0.002);
    EXPECT_EQ(ScaledStretch(0.2, CurveScaling::Compress), 0.2);
    EXPECT_EQ(ScaledStretch(0.05, CurveScaling::Compress), 0.05);
    EXPECT_EQ(ScaledStretch(0.2, CurveScaling::Stretch), 0.2 + 0.002);
    EXPECT_EQ(ScaledStretch(1.0, CurveScaling::Stretch), 1.002);
    EXPECT_EQ(ScaledStretch(1.0, CurveScaling::Compress), 0.998);
    for (double stretch : {0.05, 0.2, 1.0, 2.0, 2.3}) EXPECT_EQ(ScaledStretch(stretch, CurveScaling::Reset), 1.0);
}

TEST(FrostGraphicScaling, ButtonStoresOnlyForAConcreteChannelInFront) {
    TMeasureResult stored;
    stored.ActiveChannels = 3;
    stored.StandardPattern = 1;
    stored.CurveStretch = {1.0, 1.5, 1.0};
    int stores = 0;
    auto read = [&](TMeasureResult& measure) {
        measure = stored;
        return true;
    };
    auto store = [&](TMeasureResult& measure) {
        stored = measure;
        ++stores;
    };
    EXPECT_TRUE(ScaleReferenceCurve(CurveScaling::Stretch, 1, read, store));
    EXPECT_NEAR(stored.CurveStretch[1], 1.502, 1e-12);
    EXPECT_FALSE(ScaleReferenceCurve(CurveScaling::Stretch, 0, read, store));  // the standard's page
    EXPECT_FALSE(ScaleReferenceCurve(CurveScaling::Stretch, 2, read, store));  // not used
    EXPECT_FALSE(ScaleReferenceCurve(CurveScaling::Stretch, -1, read, store));
    EXPECT_FALSE(ScaleReferenceCurve(
        CurveScaling::Reset, 1, [](TMeasureResult&) { return false; }, store));
    EXPECT_EQ(stores, 1);
    // At the bound the record is stored (and reprocessed) all the same.
    stored.CurveStretch[1] = 2.5;
    EXPECT_TRUE(ScaleReferenceCurve(CurveScaling::Stretch, 1, read, store));
    EXPECT_EQ(stored.CurveStretch[1], 2.5);
    EXPECT_EQ(stores, 2);
    EXPECT_TRUE(ScaleReferenceCurve(CurveScaling::Reset, 1, read, store));
    EXPECT_EQ(stored.CurveStretch[1], 1.0);
}

TEST(TettaPosition, ExamplesOfTheScale) {
    EXPECT_EQ(TettaPosition(0, 0, 0.0035), 150);  // lower end of interval 2: on tick 3
    EXPECT_EQ(TettaPosition(0, 0, 0.005), 25);    // open first interval
    EXPECT_EQ(TettaPosition(0, 0, 0.0038), 25);   // the open interval takes its lower end as well
    EXPECT_EQ(TettaPosition(0, 0, 1.0), 25);
    EXPECT_EQ(TettaPosition(0, 0, 1.001), -1);    // beyond the marker itself
    EXPECT_EQ(TettaPosition(0, 2, 0.001), -1);    // road concrete above 0.5
    EXPECT_EQ(TettaPosition(0, 2, 0.0005), 250);  // its highest real boundary, on tick 5
    EXPECT_EQ(TettaPosition(0, 0, -1.0), -1);
    EXPECT_EQ(TettaPosition(0, 0, -0.0001), -1);
    EXPECT_EQ(TettaPosition(0, 0, std::nan("")), -1);
    EXPECT_EQ(TettaPosition(0, 3, 0.001), -1);  // no grading row
    EXPECT_EQ(TettaPosition(7, 0, 0.001), -1);
    EXPECT_EQ(TettaPosition(0, 0, 0.0), 650);
    EXPECT_EQ(TettaPosition(0, 0, 0.0037), 75);  // middle of interval 1
}

TEST(TettaPosition, HalvesRoundToEven) {
    // (1.0 - 0.6675) * 50 / 0.35 is exactly 47.5 in binary, (0.65 - 0.3396) * 50 / 0.32 exactly 48.5.
    EXPECT_EQ(TettaPosition(0, 0, 0.0006675), 48 + 300);
    EXPECT_EQ(TettaPosition(0, 0, 0.0003396), 48 + 350);
}

TEST(TettaPosition, EveryBoundaryOfEveryRowLandsOnItsTick) {
    for (int row = 0; row < FrostRowCount; ++row) {
        const FrostRow& boundaries = FrostTable[static_cast<std::size_t>(row)];
        for (int i = 0; i < FrostBoundaryCount; ++i) {
            const double boundary = boundaries[static_cast<std::size_t>(i)];
            if (boundary == FrostNoBoundary || boundary == FrostNoUpperLimit) continue;
            // The first enclosing interval wins: an upper bound is reached first.
            const bool hasUpper = i > 0 && boundaries[static_cast<std::size_t>(i) - 1] != FrostNoBoundary;
            const bool underOpenInterval = i > 0 && boundaries[static_cast<std::size_t>(i) - 1] == FrostNoUpperLimit;
            const bool enclosed = hasUpper || (i + 1 < FrostBoundaryCount &&
                                               boundaries[static_cast<std::size_t>(i) + 1] != FrostNoBoundary);
            const int expected = underOpenInterval ? TettaOpenIntervalPosition : (enclosed ? 50 * i : -1);
            SCOPED_TRACE(testing::Message() << "row " << row << " boundary " << i);
            EXPECT_EQ(TettaPositionInRow(boundaries, boundary / 1000.0), expected);
            // Just inside the interval below the boundary the mark moves right of the tick.
            const bool hasLower = i + 1 < FrostBoundaryCount && boundaries[static_cast<std::size_t>(i) + 1] != -1;
            if (hasLower && boundary > 0) {
                EXPECT_GE(TettaPositionInRow(boundaries, boundary * 0.999 / 1000.0), 50 * i);
            } else if (boundary == 0) {
                EXPECT_EQ(TettaPositionInRow(boundaries, -1e-9), -1);
            }
        }
    }
    // Row 2 opens at 0.5 with no marker: just above it has no place.
    EXPECT_EQ(TettaPositionInRow(FrostTable[2], 0.000501), -1);
}

TEST(TettaStrip, ValuesHandedToTheStrip) {
    TMeasureResult measure;
    measure.ActiveChannels = 3;
    measure.StandardPattern = 2;
    measure.Tetta = {0.002, 0.003, 0.004};
    measure.AverageTetta = 0.002;
    auto values = TettaStripValuesOf(measure);
    EXPECT_TRUE(values.HasData);
    EXPECT_EQ(values.ChannelTetta, (std::array<double, 3>{0.002, -1, -1}));
    measure.ActiveChannels = 2;  // only the standard specimen
    EXPECT_FALSE(TettaStripValuesOf(measure).HasData);
    measure.ActiveChannels = 3;
    measure.Tetta[0] = -1;  // the mean does not count
    EXPECT_FALSE(TettaStripValuesOf(measure).HasData);
}

TEST(FrostGraphicAxis, TimeLabelsKeepHoursPastOneDay) {
    EXPECT_EQ(TimeOfDayLabel(0), "0:00");
    EXPECT_EQ(TimeOfDayLabel(9 * 60), "0:09");
    EXPECT_EQ(TimeOfDayLabel(3600 + 59), "1:00");
    EXPECT_EQ(TimeOfDayLabel(25 * 3600 + 30 * 60), "25:30");
    EXPECT_EQ(TimeOfDayLabelWithSeconds(3600 + 61), "1:01:01");
    EXPECT_EQ(TimeOfDayLabel(-300), "-0:05");
}

TEST(FrostGraphicAxis, StepWidensToKeepLabelsApart) {
    // One hour on 600 pixels: a minute is 10 pixels, two minutes 20.
    EXPECT_EQ(ChooseAxisStep(3600, 60, 600, 20, true), 120);
    EXPECT_EQ(ChooseAxisStep(600, 60, 600, 20, true), 60);
    EXPECT_EQ(ChooseAxisStep(36 * 3600, 60, 300, 20, true), 3 * 3600);
    EXPECT_EQ(ChooseAxisStep(1.0, 0.025, 400, 20, false), 0.05);
    EXPECT_EQ(ChooseAxisStep(0.2, 0.025, 400, 20, false), 0.025);
    EXPECT_EQ(ChooseAxisStep(30.0, 0.1, 300, 20, false), 2.0);
    EXPECT_EQ(ChooseAxisStep(0, 0.1, 300, 20, false), 0.1);
    for (double span : {0.01, 1.0, 77.0, 1e6}) {
        const double step = ChooseAxisStep(span, 0.025, 250, 20, false);
        EXPECT_GE(step / span * 250, 20) << span;
        if (step > 0.025) {
            EXPECT_LT(step / 2.5 / span * 250, 20) << span;  // not wider than needed
        }
    }
}

TEST(FrostGraphicAxis, TicksAndPaddedRange) {
    EXPECT_EQ(AxisTickValues(-0.06, 0.1, 0.05), (std::vector<double>{-0.05, 0.0, 0.05, 0.1}));
    EXPECT_TRUE(AxisTickValues(0, 1e9, 1e-3).empty());
    EXPECT_TRUE(AxisTickValues(1, 0, 0.1).empty());
    const AxisRange range = PaddedRange(0, 96, 1);
    EXPECT_DOUBLE_EQ(range.Minimum, -2);
    EXPECT_DOUBLE_EQ(range.Maximum, 98);
    EXPECT_EQ(PaddedRange(5, 5, 0.5), (AxisRange{4.5, 5.5}));
}

}  // namespace
}  // namespace zemvalkorta
