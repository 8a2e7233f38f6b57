#include "core/FrostGraphicPoints.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace zemvalkorta {
namespace {

Curve Ramp(int count, float first, float step) {
    Curve curve;
    for (int i = 0; i < count; ++i) curve.push_back(first + step * static_cast<float>(i));
    return curve;
}

std::vector<double> Xs(const GraphicPointList& points) {
    std::vector<double> xs;
    for (const auto& point : points) xs.push_back(point.X);
    return xs;
}
std::vector<double> Ys(const GraphicPointList& points) {
    std::vector<double> ys;
    for (const auto& point : points) ys.push_back(point.Y);
    return ys;
}

// Ten samples, period 60 s: V = 100 + i, T = 20 - 3 i, D = 0.5 i.
struct Curves10 {
    Curve Volume = Ramp(10, 100, 1);
    Curve Temperature = Ramp(10, 20, -3);
    Curve Difference = Ramp(10, 0, 0.5f);
};

TEST(FrostGraphicPoints, EachGraphTypeWithoutShift) {
    const Curves10 c;
    auto points = [&](int type) {
        return FrostGraphicPoints(type, true, 0, 60, 0.0, c.Volume, c.Temperature, c.Difference);
    };
    const auto volume = points(VolumeGraphic);
    ASSERT_EQ(volume.size(), 10u);
    EXPECT_EQ(volume[3], (GraphicPoint{180, 103}));
    EXPECT_EQ(points(TemperatureGraphic)[9], (GraphicPoint{540, -7}));
    // The drop counts from the first sample: positive while colder than at the start.
    EXPECT_EQ(Ys(points(TemperatureDropGraphic)), (std::vector<double>{0, 3, 6, 9, 12, 15, 18, 21, 24, 27}));
    // V(T) and V(dT) run from the last sample back to the first.
    const auto byTemperature = points(VolumeByTemperatureGraphic);
    EXPECT_EQ(byTemperature.front(), (GraphicPoint{-7, 109}));
    EXPECT_EQ(byTemperature.back(), (GraphicPoint{20, 100}));
    const auto byDrop = points(VolumeByTemperatureDropGraphic);
    EXPECT_EQ(byDrop.front(), (GraphicPoint{27, 109}));
    EXPECT_EQ(byDrop.back(), (GraphicPoint{0, 100}));
    EXPECT_EQ(Ys(points(VolumeDifferenceGraphic)), (std::vector<double>{0, 0.5, 1, 1.5, 2, 2.5, 3, 3.5, 4, 4.5}));
    // Out-of-range types draw V(t).
    EXPECT_EQ(points(9), volume);
}

TEST(FrostGraphicPoints, ShiftThreeMovesReferenceOntoSpecimen) {
    const Curves10 c;
    const Curve reference = Ramp(10, 500, 1);
    const auto specimen = FrostGraphicPoints(VolumeGraphic, true, 3, 60, 0.0, c.Volume, c.Temperature, {});
    const auto moved = FrostGraphicPoints(VolumeGraphic, false, 3, 60, 0.0, reference, {}, {});
    EXPECT_EQ(Xs(specimen), (std::vector<double>{180, 240, 300, 360, 420, 480, 540}));
    EXPECT_EQ(Ys(specimen).front(), 103);
    EXPECT_EQ(Xs(moved), Xs(specimen));
    EXPECT_EQ(Ys(moved), (std::vector<double>{500, 501, 502, 503, 504, 505, 506}));
}

TEST(FrostGraphicPoints, ShiftMinusTwoDrawsReferenceFromItsThirdSample) {
    const Curves10 c;
    const Curve reference = Ramp(10, 500, 1);
    const auto specimen = FrostGraphicPoints(VolumeGraphic, true, -2, 60, 0.0, c.Volume, c.Temperature, {});
    const auto moved = FrostGraphicPoints(VolumeGraphic, false, -2, 60, 0.0, reference, {}, {});
    EXPECT_EQ(Xs(specimen), (std::vector<double>{0, 60, 120, 180, 240, 300, 360, 420}));
    EXPECT_EQ(Ys(specimen).back(), 107);
    EXPECT_EQ(Xs(moved), Xs(specimen));
    EXPECT_EQ(Ys(moved).front(), 502);
    EXPECT_EQ(Ys(moved).back(), 509);
    // dT keeps the first value of the whole curve even when the window starts later.
    const auto drop = FrostGraphicPoints(TemperatureDropGraphic, false, -2, 60, 0.0, c.Volume, c.Temperature, {});
    EXPECT_EQ(drop.front(), (GraphicPoint{0, 6}));
}

TEST(FrostGraphicPoints, ShiftBeyondTheCurveOrExtremeGivesNothing) {
    const Curves10 c;
    EXPECT_TRUE(FrostGraphicPoints(VolumeGraphic, true, 10, 60, 0, c.Volume, c.Temperature, {}).empty());
    EXPECT_TRUE(FrostGraphicPoints(VolumeGraphic, false, -10, 60, 0, c.Volume, c.Temperature, {}).empty());
    EXPECT_EQ(FrostGraphicPoints(VolumeGraphic, true, 9, 60, 0, c.Volume, c.Temperature, {}).size(), 1u);
    const auto extreme = std::numeric_limits<std::int32_t>::min();
    EXPECT_TRUE(FrostGraphicPoints(VolumeGraphic, true, extreme, 60, 0, c.Volume, c.Temperature, {}).empty());
    EXPECT_TRUE(FrostGraphicPoints(VolumeGraphic, false, extreme, 60, 0, c.Volume, c.Temperature, {}).empty());
    EXPECT_TRUE(FrostGraphicPoints(TemperatureGraphic, true, 0, 60, 0, {}, c.Temperature, {}).empty());
}

TEST(FrostGraphicPoints, ShortCompanionCurvesEndTheWindowInsteadOfReadingPastThem) {
    const Curves10 c;
    const Curve shortTemperature = Ramp(4, 20, -3);
    EXPECT_EQ(FrostGraphicPoints(TemperatureGraphic, true, 0, 60, 0, c.Volume, shortTemperature, {}).size(), 4u);
    EXPECT_EQ(FrostGraphicPoints(VolumeByTemperatureGraphic, true, 0, 60, 0, c.Volume, {}, {}).size(), 0u);
    EXPECT_EQ(FrostGraphicPoints(VolumeDifferenceGraphic, true, 0, 60, 0, c.Volume, {}, Ramp(6, 0, 1)).size(), 6u);
    // The standard's zero line needs neither temperature nor difference.
    EXPECT_EQ(FrostGraphicPoints(VolumeDifferenceGraphic, false, 0, 60, 0, c.Volume, {}, {}).size(), 10u);
}

TEST(FrostGraphicPoints, StartTimeCutsOnlyVolumeAndDifference) {
    const Curves10 c;
    const double start = 4 * 60;
    EXPECT_EQ(Xs(FrostGraphicPoints(VolumeGraphic, true, 0, 60, start, c.Volume, c.Temperature, {})).front(), start);
    EXPECT_EQ(
        FrostGraphicPoints(VolumeDifferenceGraphic, true, 0, 60, start, c.Volume, c.Temperature, c.Difference).size(),
        6u);
    EXPECT_EQ(FrostGraphicPoints(TemperatureGraphic, true, 0, 60, start, c.Volume, c.Temperature, {}).size(), 10u);
    EXPECT_EQ(FrostGraphicPoints(VolumeByTemperatureGraphic, true, 0, 60, start, c.Volume, c.Temperature, {}).size(),
              10u);
}

TEST(FrostGraphicPoints, TimesPastOneDayAreNotFolded) {
    const Curve volume = Ramp(4320, 0, 0.001f);
    const auto points = FrostGraphicPoints(VolumeGraphic, true, 0, 30, 0, volume, {}, {});
    EXPECT_EQ(points.back().X, 4319.0 * 30);
    EXPECT_GT(points.back().X, 86400.0);
}

TEST(FrostGraphicPoints, FreezingStartIsTheFirstSampleAtOrBelowZero) {
    EXPECT_EQ(FreezingStartSeconds({5, 1, 0.5f, 0, -1, 3}, 60), 180);
    EXPECT_EQ(FreezingStartSeconds({5, std::nanf(""), -1}, 60), 60);
    EXPECT_EQ(FreezingStartSeconds({5, 4}, 60), 0);
    EXPECT_EQ(FreezingStartSeconds({}, 60), 0);
}

// Standard specimen in channel 1, concrete in 2 and 3; 60 samples, period 30 s.
// Channel 2 reaches 0 degC at sample 40, channel 3 never.
TMeasureResult MixedMeasure() {
    TMeasureResult measure;
    measure.ActiveChannels = 7;
    measure.StandardPattern = 1;
    measure.Period = 30;
    measure.PointCount = 60;
    measure.CurveShift = {5, 3, -2};
    auto temperatureFreezingAt = [](int sample) {
        Curve curve(60, 10.0f);
        for (int i = sample; i < 60; ++i) curve[static_cast<std::size_t>(i)] = -1.0f;
        return curve;
    };
    measure.Curves = {Ramp(60, 10, 1), temperatureFreezingAt(20),  // standard V, T
                      Ramp(60, 20, 1), temperatureFreezingAt(40), Ramp(60, 200, 1), Ramp(60, 0, 0.1f),
                      Ramp(60, 30, 1), Curve(60, 10.0f),          Ramp(60, 300, 1), Ramp(60, 0, 0.2f)};
    return measure;
}

TEST(FrostGraphicPlan, VolumeWithStandardShownStartsBothCurvesAtFreezing) {
    const TMeasureResult measure = MixedMeasure();
    const auto plans = PlanChannelGraphics(measure, VolumeGraphic, true);
    ASSERT_EQ(plans.size(), 5u);
    EXPECT_EQ(plans[0].Channel, 0);
    EXPECT_FALSE(plans[0].Concrete);
    EXPECT_EQ(plans[0].StartSeconds, 0);
    EXPECT_EQ(plans[1].Channel, 1);
    EXPECT_EQ(plans[1].StartSeconds, 40 * 30);
    EXPECT_EQ(plans[2].Series, 1);
    EXPECT_EQ(plans[2].VolumeIndex, 4);
    EXPECT_EQ(plans[2].Colour, SeriesColourRole::Standard);
    EXPECT_EQ(Xs(PointsOfPlan(measure, plans[1])).front(), 40 * 30);
    EXPECT_EQ(Xs(PointsOfPlan(measure, plans[2])).front(), 40 * 30);
    EXPECT_EQ(Ys(PointsOfPlan(measure, plans[2])).front(), 200 + 40 - 3);
    // Channel 3 never freezes: nothing is cut, the reference is moved back by 2 samples.
    EXPECT_EQ(plans[4].StartSeconds, 0);
    EXPECT_EQ(Ys(PointsOfPlan(measure, plans[4])).front(), 302);
    // The standard's own page keeps its own shift and every sample.
    EXPECT_EQ(PointsOfPlan(measure, plans[0]).size(), 55u);
}

TEST(FrostGraphicPlan, TemperatureShowsEverySampleAndNoReference) {
    const TMeasureResult measure = MixedMeasure();
    const auto plans = PlanChannelGraphics(measure, TemperatureGraphic, true);
    ASSERT_EQ(plans.size(), 3u);
    EXPECT_EQ(plans[1].StartSeconds, 0);
    EXPECT_EQ(PointsOfPlan(measure, plans[1]).size(), 57u);
}

TEST(FrostGraphicPlan, DifferenceCutsAtFreezingWithoutTickAndStandardIsAZeroLine) {
    const TMeasureResult measure = MixedMeasure();
    const auto plans = PlanChannelGraphics(measure, VolumeDifferenceGraphic, false);
    ASSERT_EQ(plans.size(), 3u);
    const auto zeroLine = PointsOfPlan(measure, plans[0]);
    ASSERT_EQ(zeroLine.size(), 55u);
    EXPECT_EQ(zeroLine.front(), (GraphicPoint{150, 0}));
    EXPECT_EQ(zeroLine.back(), (GraphicPoint{59 * 30, 0}));
    const auto difference = PointsOfPlan(measure, plans[1]);
    EXPECT_EQ(difference.front().X, 40 * 30);
    EXPECT_FLOAT_EQ(static_cast<float>(difference.front().Y), 4.0f);
    EXPECT_EQ(PlanChannelGraphics(measure, VolumeGraphic, false).size(), 3u);
    EXPECT_EQ(PlanChannelGraphics(measure, VolumeGraphic, false)[1].StartSeconds, 0);
}

TEST(FrostGraphicPlan, ReportPagesAndMissingCurves) {
    TMeasureResult measure = MixedMeasure();
    const auto difference = PlanReportDifferenceGraphic(measure);
    ASSERT_EQ(difference.size(), 2u);
    EXPECT_EQ(difference[0].Series, 1);
    EXPECT_EQ(difference[0].GraphType, VolumeDifferenceGraphic);
    EXPECT_EQ(difference[0].StartSeconds, 40 * 30);
    const auto standard = PlanReportStandardGraphic(measure);
    ASSERT_EQ(standard.size(), 1u);
    EXPECT_EQ(standard[0].Shift, 5);
    measure.StandardPattern = 32;  // a model: every used channel is concrete
    EXPECT_TRUE(PlanReportStandardGraphic(measure).empty());
    EXPECT_EQ(PlanReportDifferenceGraphic(measure).size(), 3u);
    // A record whose curves were lost draws empty series instead of reading past the list.
    measure.Curves.resize(3);
    for (const auto& plan : PlanChannelGraphics(measure, VolumeDifferenceGraphic, true))
        if (plan.Channel == 2) {
            EXPECT_TRUE(PointsOfPlan(measure, plan).empty());
        }
}

}  // namespace
}  // namespace zemvalkorta
