#include "core/DSPUnit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <deque>
#include <numeric>
#include <vector>

namespace zemvalkorta {
namespace {

TEST(TMAFilter, WindowIsClampedIntoOneToSixtyFour) {
    TMAFilter filter(3);
    filter.SetWindow(0);
    EXPECT_EQ(filter.Window(), 1);
    filter.Add(7.0L);
    EXPECT_EQ(filter.Output(), 7.0L);  // a window of one follows the input
    filter.Add(-2.5L);
    EXPECT_EQ(filter.Output(), -2.5L);

    filter.SetWindow(-5);
    EXPECT_EQ(filter.Window(), 1);
    filter.SetWindow(100);
    EXPECT_EQ(filter.Window(), 64);
    filter.SetWindow(64);
    EXPECT_EQ(filter.Window(), 64);
    EXPECT_EQ(TMAFilter(65).Window(), 64);
}

TEST(TMAFilter, StartsUpFromZeroAfterReset) {
    TMAFilter filter(3);
    filter.Reset();
    const long double x1 = 1.5L, x2 = -4.0L, x3 = 10.25L, x4 = 2.0L;
    filter.Add(x1);
    EXPECT_DOUBLE_EQ(static_cast<double>(filter.Output()), static_cast<double>(x1 / 3));
    filter.Add(x2);
    EXPECT_DOUBLE_EQ(static_cast<double>(filter.Output()), static_cast<double>((x1 + x2) / 3));
    filter.Add(x3);
    EXPECT_DOUBLE_EQ(static_cast<double>(filter.Output()), static_cast<double>((x1 + x2 + x3) / 3));
    filter.Add(x4);
    EXPECT_DOUBLE_EQ(static_cast<double>(filter.Output()), static_cast<double>((x2 + x3 + x4) / 3));
}

TEST(TMAFilter, ThreeThreeThreeZeroGivesOneTwoThreeTwo) {
    TMAFilter filter(3);
    filter.Reset();
    const long double expected[] = {1.0L, 2.0L, 3.0L, 2.0L};
    const long double samples[] = {3.0L, 3.0L, 3.0L, 0.0L};
    for (int i = 0; i < 4; ++i) {
        filter.Add(samples[i]);
        EXPECT_DOUBLE_EQ(static_cast<double>(filter.Output()), static_cast<double>(expected[i])) << "sample " << i;
    }
}

TEST(TMAFilter, FillPutsTheValueIntoEverySlot) {
    TMAFilter filter(3);
    filter.Fill(5.0L);
    EXPECT_DOUBLE_EQ(static_cast<double>(filter.Output()), 5.0);
    filter.Add(2.0L);
    EXPECT_DOUBLE_EQ(static_cast<double>(filter.Output()), 4.0);  // (5 + 5 + 2) / 3
}

TEST(TMAFilter, ResetKeepsThePositionAndClearsEverySlot) {
    TMAFilter filter(3);
    filter.Add(9.0L);
    filter.Add(6.0L);
    ASSERT_EQ(filter.Position(), 2);
    filter.Reset();
    EXPECT_EQ(filter.Position(), 2);
    EXPECT_EQ(filter.Output(), 0.0L);
    // With every slot at zero the start-up ramp is the same from any position.
    filter.Add(3.0L);
    EXPECT_DOUBLE_EQ(static_cast<double>(filter.Output()), 1.0);
    filter.Add(3.0L);
    EXPECT_DOUBLE_EQ(static_cast<double>(filter.Output()), 2.0);
    filter.Add(3.0L);
    EXPECT_DOUBLE_EQ(static_cast<double>(filter.Output()), 3.0);
}

TEST(TMAFilter, NarrowingTheWindowInUseLeavesNoOldSamplesInTheSum) {
    TMAFilter filter(5);
    for (long double v : {100.0L, 200.0L, 300.0L, 400.0L}) filter.Add(v);
    filter.SetWindow(2);
    EXPECT_EQ(filter.Position(), 0);
    filter.Add(4.0L);
    EXPECT_DOUBLE_EQ(static_cast<double>(filter.Output()), 2.0);
    filter.Add(6.0L);
    EXPECT_DOUBLE_EQ(static_cast<double>(filter.Output()), 5.0);
}

TEST(TMAFilter, SeriesMatchesAddSampleForSample) {
    TMAFilter one(3), series(3);
    one.Add(0.7L);  // start both away from position 0 with a non-zero sum
    series.Add(0.7L);
    std::vector<long double> samples, expected, seen;
    for (int i = 0; i < 50; ++i) samples.push_back(std::sin(i * 0.9L) * 3.3L);
    for (long double v : samples) {
        one.Add(v);
        expected.push_back(one.Output());
    }
    series.AddSeries(
        samples.size(), [&](std::size_t i) { return samples[i]; },
        [&](std::size_t, long double output) { seen.push_back(output); });
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(series.Position(), one.Position());
    one.Add(1.25L);
    series.Add(1.25L);
    EXPECT_EQ(series.Output(), one.Output());  // the slots and the running sum were carried over
}

TEST(TMAFilter, LongSeriesStaysTheMeanOfTheLastWindow) {
    for (int window : {1, 3, 7, 64}) {
        TMAFilter filter(window);
        std::deque<long double> last(static_cast<std::size_t>(window), 0.0L);
        for (int i = 0; i < 5000; ++i) {
            const long double sample = ((i * 37) % 101) * 0.013L - 0.4L;
            filter.Add(sample);
            last.pop_front();
            last.push_back(sample);
            const long double mean = std::accumulate(last.begin(), last.end(), 0.0L) / window;
            ASSERT_NEAR(static_cast<double>(filter.Output()), static_cast<double>(mean), 1e-12)
                << "window " << window << " sample " << i;
        }
    }
}

}  // namespace
}  // namespace zemvalkorta
