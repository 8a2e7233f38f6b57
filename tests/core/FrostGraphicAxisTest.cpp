// The label rule shared by the window's charts and the report chart.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "core/FrostGraphicAxis.h"

namespace zemvalkorta {
namespace {

std::vector<std::string> Printed(const std::vector<double>& values, int decimals) {
    std::vector<std::string> texts;
    for (double value : values) {
        char text[64];
        std::snprintf(text, sizeof text, "%.*f", decimals, value);
        texts.emplace_back(text);
    }
    return texts;
}

TEST(AxisTicks, StepIsPrintableAtTheLabelsDecimals) {
    // 0.025 cannot be shown with two decimals: 0.05 is the least printable
    // round step, whatever room the axis has.
    EXPECT_DOUBLE_EQ(ChooseAxisStep(0.2, 0.025, 4000, 20, false, 2), 0.05);
    EXPECT_DOUBLE_EQ(ChooseAxisStep(0.2, 0.025, 4000, 20, false, 3), 0.025);
    // One decimal: the desired 0.1 stands when there is room, then 0.2, 0.5, 1 ... but never 0.25 or 2.5.
    EXPECT_DOUBLE_EQ(ChooseAxisStep(1.0, 0.1, 1000, 20, false, 1), 0.1);
    for (double length : {20.0, 35.0, 60.0, 90.0, 150.0, 260.0, 400.0, 900.0}) {
        const double step = ChooseAxisStep(40.0, 0.1, length, 20, false, 1);
        const double tenths = step * 10;
        EXPECT_NEAR(tenths, std::round(tenths), 1e-9) << length;
        EXPECT_GE(step / 40.0 * length, 20 - 1e-9) << length;
    }
    // Whole numbers only with no decimals.
    EXPECT_DOUBLE_EQ(ChooseAxisStep(10.0, 0.1, 1000, 20, false, 0), 1.0);
    // Time steps are whole minutes whatever the decimals.
    EXPECT_DOUBLE_EQ(ChooseAxisStep(3600, 60, 600, 20, true, 2), 120);
}

TEST(AxisTicks, LabelsAreWholeMultiplesOfTheWidenedStep) {
    // A ΔV(t) axis from -0.012 to 0.27 on a short chart.
    const AxisTicks ticks = ChooseAxisTicks({-0.012, 0.27}, 0.025, 140, 14, false, 2);
    EXPECT_DOUBLE_EQ(ticks.Step, 0.1);  // 0.05 would put labels 24.8 px apart, 14 + 20 are needed
    EXPECT_EQ(Printed(ticks.Values, 2), (std::vector<std::string>{"0.00", "0.10", "0.20"}));

    const AxisTicks roomy = ChooseAxisTicks({-0.012, 0.27}, 0.025, 600, 14, false, 2);
    EXPECT_DOUBLE_EQ(roomy.Step, 0.05);
    EXPECT_EQ(Printed(roomy.Values, 2), (std::vector<std::string>{"0.00", "0.05", "0.10", "0.15", "0.20", "0.25"}));

    // Negative temperatures: multiples of the step on both sides of zero.
    const AxisTicks temperatures = ChooseAxisTicks({-21.3, 20.4}, 0.1, 300, 40, false, 1);
    EXPECT_DOUBLE_EQ(temperatures.Step, 10.0);
    EXPECT_EQ(Printed(temperatures.Values, 1), (std::vector<std::string>{"-20.0", "-10.0", "0.0", "10.0", "20.0"}));
}

TEST(AxisTicks, NeighboursKeepTheGapForAnyLengthAndLabelSize) {
    for (double length : {40.0, 120.0, 333.0, 700.0, 2400.0})
        for (double extent : {0.0, 12.0, 35.0, 80.0})
            for (bool time : {false, true}) {
                const AxisRange range = time ? AxisRange{3720, 21400} : AxisRange{-0.4, 1.63};
                const AxisTicks ticks = ChooseAxisTicks(range, time ? 60 : 0.025, length, extent, time, time ? -1 : 2);
                const double pixelsBetween = ticks.Step / (range.Maximum - range.Minimum) * length;
                EXPECT_GE(pixelsBetween, extent + MinimumLabelGap - 1e-9) << length << " " << extent;
                for (double value : ticks.Values) {
                    EXPECT_GE(value, range.Minimum);
                    EXPECT_LE(value, range.Maximum);
                    const double multiple = value / ticks.Step;
                    EXPECT_NEAR(multiple, std::round(multiple), 1e-6) << value;
                }
                if (time) {
                    EXPECT_EQ(std::fmod(ticks.Step, 60.0), 0.0);
                }
            }
}

TEST(AxisTicks, DegenerateRangesGiveNoLabelsRatherThanMillions) {
    EXPECT_TRUE(ChooseAxisTicks({1.0, 0.0}, 0.025, 300, 14, false, 2).Values.empty());
    EXPECT_TRUE(ChooseAxisTicks({0.0, 1e12}, 0.025, 1e9, 0, false, 2, 200).Values.empty());
    const AxisTicks nan = ChooseAxisTicks({NAN, 1.0}, 0.025, 300, 14, false, 2);
    EXPECT_TRUE(nan.Values.empty());
}

}  // namespace
}  // namespace zemvalkorta
