#include "core/Processing.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace zemvalkorta {
namespace {

using Samples = std::vector<float>;

// Hand-worked curves use binary fractions so that every step is exact.
struct ModelCase {
    // ic = 2 (first V >= 0.1), i0 = 3 (T = 0), i1 = 5 (T = -10).
    Samples volume{0, 0, 0.5f, 1.0f, 1.5f, 2.5f, 3.0f, 3.0f, 3.0f, 6.5f};
    Samples temperature{10, 10, 5, 0, -5, -10, -12, -15, -15, -15};
    ModelArray model{0.0, 1.0 / 64, 0.0, 0.0, 0.0, 0.0};  // M(t) = t / 64
    std::int32_t period = 8;
};

TEST(FindModelStart, TakesTheFirstSampledTimeStrictlyAboveOne) {
    ModelArray model{0.0, 1.0 / 64, 0.0, 0.0, 0.0, 0.0};
    EXPECT_TRUE(FindModelStart(model, 8));  // M(8 i) = i / 8; exactly 1.0 at i = 8 is not enough
    EXPECT_EQ(model[ModelStartTimeIndex], 72.0);
    EXPECT_EQ(model[ModelStartValueIndex], 1.125);
}

TEST(FindModelStart, ModelThatNeverExceedsOneLeavesZeroAndA0) {
    ModelArray model{0.75, 0.0, 0.0, 0.0, 123.0, 456.0};
    EXPECT_FALSE(FindModelStart(model, 30));
    EXPECT_EQ(model[ModelStartTimeIndex], 0.0);
    EXPECT_EQ(model[ModelStartValueIndex], 0.75);

    // Exceeding 1.0 only after 100000 periods is too late.
    ModelArray late{0.0, 1.0 / 100000.5, 0.0, 0.0, 1.0, 1.0};
    EXPECT_FALSE(FindModelStart(late, 1));
    EXPECT_EQ(late[ModelStartValueIndex], 0.0);
    ModelArray last{0.0, 1.0 / 99999.5, 0.0, 0.0, 1.0, 1.0};
    EXPECT_TRUE(FindModelStart(last, 1));
    EXPECT_EQ(last[ModelStartTimeIndex], 100000.0);
}

TEST(FindModelStart, TimeIsTheUnsignedProductOfStepAndPeriod) {
    ModelArray model{0.0, 1.0 / 64, 0.0, 0.0, 0.0, 0.0};
    EXPECT_TRUE(FindModelStart(model, -8));
    EXPECT_EQ(model[ModelStartTimeIndex], 4294967288.0);
}

TEST(FreezingInterval, FindsStartZeroColdAndScalePoint) {
    const ModelCase c;
    const FreezingInterval interval = FindFreezingInterval(c.volume, c.temperature);
    EXPECT_EQ(interval.Start, 2);
    EXPECT_EQ(interval.Zero, 3);
    EXPECT_EQ(interval.Cold, 5);
    EXPECT_EQ(interval.ScalePoint, 5);
}

TEST(FreezingInterval, ChordSlopeDividesBySampleCountNotSteps) {
    // From i0 = 2 to i1 = 6 V rises in a straight line; over 5 samples the
    // chord is flatter than the line, so the far end stands highest above it.
    const Samples volume{0.5f, 0.5f, 1, 2, 3, 4, 5, 5};
    const Samples temperature{5, 5, -1, -2, -3, -4, -10, -10};
    const FreezingInterval interval = FindFreezingInterval(volume, temperature);
    EXPECT_EQ(interval.Zero, 2);
    EXPECT_EQ(interval.Cold, 6);
    EXPECT_EQ(interval.ScalePoint, 6);
}

TEST(FreezingInterval, ScalePointIsTheHeightAboveTheChordNotTheHighestVolume) {
    // Chord 0.5 -> 6.5 over 6 samples rises by 1 a sample: the early jump
    // stands 1.5 above it, the highest volume at the end only 1.0.
    const Samples volume{0.5f, 3, 3, 3, 3, 6.5f};
    const Samples temperature{0, -1, -2, -3, -4, -10};
    EXPECT_EQ(FindFreezingInterval(volume, temperature).ScalePoint, 1);
}

TEST(FreezingInterval, FirstOfEqualHeightsWinsAndNothingAboveKeepsZero) {
    const Samples temperature{5, 0, -1, -2, -3, -10};
    const FreezingInterval twin = FindFreezingInterval(Samples{0.5f, 1, 2, 1, 2, 1}, temperature);
    EXPECT_EQ(twin.ScalePoint, 2);
    const FreezingInterval sagging = FindFreezingInterval(Samples{0.5f, 1, 0.5f, 0.5f, 0.5f, 1}, temperature);
    EXPECT_EQ(sagging.ScalePoint, 1);
}

TEST(FreezingInterval, TemperatureThatNeverFreezesSearchesToTheEnd) {
    const Samples volume{0, 0.25f, 0.5f, 2, 1, 1};
    const FreezingInterval interval = FindFreezingInterval(volume, Samples{5, 5, 4, 3, 2, 1});
    EXPECT_EQ(interval.Start, 1);
    EXPECT_EQ(interval.Zero, 1);
    EXPECT_EQ(interval.Cold, 5);
    EXPECT_EQ(interval.ScalePoint, 3);
}

TEST(FreezingInterval, ZeroAndMinusTenAtOneSampleTakeTheLastAsCold) {
    Samples volume(60, 0.5f);
    Samples temperature(60, 5.0f);
    for (int i = 40; i < 60; ++i) temperature[i] = -12.0f;
    const FreezingInterval interval = FindFreezingInterval(volume, temperature);
    EXPECT_EQ(interval.Zero, 40);
    EXPECT_EQ(interval.Cold, 59);
}

TEST(FreezingInterval, NanTemperatureEndsTheWarmStretch) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const FreezingInterval interval = FindFreezingInterval(Samples{1, 1, 1, 1, 1}, Samples{5, 5, nan, -10, -10});
    EXPECT_EQ(interval.Zero, 2);
    EXPECT_EQ(interval.Cold, 3);
}

TEST(ProcessModel, HandWorkedCurve) {
    const ModelCase c;
    Samples reference(10), difference(10);
    TMAFilter filter(3);
    filter.Fill(50.0L);  // whatever the last pass left must not leak in
    const ChannelOutcome outcome =
        ProcessModel(c.volume, c.temperature, reference, difference, c.period, 1.0, c.model, filter);
    // im = 1, so R(k) = M((k - 1) 8) = (k - 1) / 8, anchored at i0 = 3 by +0.75;
    // scale = (2.5 - 1) / (1.25 - 1) = 6; R(k) = max(0, 0.75 (k - 3) + 1).
    EXPECT_EQ(reference, (Samples{0, 0, 0.25f, 1, 1.75f, 2.5f, 3.25f, 4, 4.75f, 5.5f}));
    EXPECT_EQ(difference, (Samples{0, 0, -0.25f, 0, 0.25f, 0, 0.25f, 1, 1.75f, -1}));
    // Smoothed from zero: ... (0.25 + 1 + 1.75) / 3 = 1 at k = 8 beats the last (1.75 / 3).
    EXPECT_DOUBLE_EQ(outcome.DeltaVolume, 1.0);
    EXPECT_EQ(outcome.Shift, 0);
}

TEST(ProcessModel, StretchScalesTheReference) {
    const ModelCase c;
    Samples reference(10), difference(10);
    TMAFilter filter(3);
    ProcessModel(c.volume, c.temperature, reference, difference, c.period, 0.5, c.model, filter);
    // scale 3: R(k) = max(0, 0.375 (k - 3) + 1)
    EXPECT_EQ(reference, (Samples{0, 0.25f, 0.625f, 1, 1.375f, 1.75f, 2.125f, 2.5f, 2.875f, 3.25f}));
}

TEST(ProcessModel, FlatModelCollapsesToTheConcreteBaseAndNeverExceedsMinusOne) {
    // A constant model gives a zero scale divisor: the reference becomes V[i0].
    const Samples volume{0, 0, 0.5f, 0.5f, 10, 10, 10, 10, 10, 10};
    const Samples temperature{5, 5, 5, 0, -10, -10, -10, -10, -10, -10};
    const ModelArray model{0.5, 0, 0, 0, 0, 0};
    Samples reference(10), difference(10);
    TMAFilter filter(3);
    const ChannelOutcome outcome = ProcessModel(volume, temperature, reference, difference, 60, 1.0, model, filter);
    EXPECT_EQ(reference, Samples(10, 0.5f));
    EXPECT_EQ(difference, (Samples{0.5f, 0.5f, 0, 0, -9.5f, -9.5f, -9.5f, -9.5f, -9.5f, -9.5f}));
    EXPECT_EQ(outcome.DeltaVolume, -1.0);  // from pk = 4 on the smoothed difference stays below -3
}

TEST(ProcessModel, ModelBelowTheStartLevelIsSampledFromNegativeTimes) {
    // M never reaches 0.1 in the run: im = 0, so R[k] = M((k - ic) P) with ic = 3.
    const Samples volume{0, 0, 0, 1, 3, 3};
    const Samples temperature{5, 5, 5, 5, 5, 5};
    const ModelArray model{0.0, 0.0, -1.0 / 4096, 0.0, 0, 0};  // M(t) = -t^2 / 4096, never above zero
    Samples reference(6), difference(6);
    TMAFilter filter(3);
    ProcessModel(volume, temperature, reference, difference, 16, 1.0, model, filter);
    // Before anchoring R = -((k - 3) 16)^2 / 4096 = -(k - 3)^2 / 16; the anchor at i0 = ic = 3 adds 1.
    // pk = 4 (highest above the chord 1 -> 3 over 3 samples), scale = 2 / (R[4] - R[3]) = -32.
    EXPECT_EQ(reference, (Samples{19, 9, 3, 1, 3, 9}));
}

// The scale point on the very first sample: the smoothed difference counts
// from the first output on, so whatever the filter held before must be gone.
TEST(ProcessModel, PrimesTheFilterWithZeros) {
    const Samples volume{0.5f, 3, 3, 3, 3, 6.5f};
    const Samples temperature{0, -1, -2, -3, -4, -10};
    const ModelArray model{0.5, 2.5 / 60, 0, 0, 0, 0};
    Samples reference(6), difference(6);
    TMAFilter filter(3);
    const double fresh = ProcessModel(volume, temperature, reference, difference, 60, 1.0, model, filter).DeltaVolume;
    filter.Fill(1e6L);
    EXPECT_EQ(ProcessModel(volume, temperature, reference, difference, 60, 1.0, model, filter).DeltaVolume, fresh);
    EXPECT_LT(fresh, 100.0);
}

TEST(ProcessModel, RefusesCurvesOfDifferentLength) {
    const ModelCase c;
    Samples reference(9), difference(10);
    TMAFilter filter(3);
    EXPECT_THROW(ProcessModel(c.volume, c.temperature, reference, difference, 8, 1.0, c.model, filter),
                 ProcessingError);
    Samples empty;
    EXPECT_THROW(ProcessModel(empty, empty, empty, empty, 8, 1.0, c.model, filter), ProcessingError);
}

// Concrete starts at sample 12; the standard is the same shape, twice as
// large, starting at sample 5.
struct StandardCase {
    static constexpr int n = 40;
    Samples volume = Samples(n), temperature = Samples(n), standard = Samples(n);
    StandardCase() {
        for (int i = 0; i < n; ++i) {
            volume[i] = i < 12 ? 0.0f : 0.125f * static_cast<float>(std::min(i, 20) - 11);
            temperature[i] = i < 15 ? 5.0f : (i < 20 ? -1.0f : -12.0f);
        }
        for (int k = 0; k < n; ++k) standard[k] = 2 * volume[std::min(k + 7, n - 1)];
    }
};

TEST(ProcessStandard, SameShapeTwiceAsLargeFitsExactly) {
    const StandardCase c;
    Samples reference(c.n), difference(c.n, 99.0f);
    TMAFilter filter(3);
    const ChannelOutcome outcome =
        ProcessStandard(c.volume, c.temperature, c.standard, reference, difference, 1.0, filter);
    EXPECT_EQ(outcome.Shift, 7);
    EXPECT_EQ(outcome.DeltaVolume, 0.0);
    for (int k = 0; k < 7; ++k) EXPECT_EQ(difference[k], 99.0f) << k;  // before the pass: untouched
    for (int k = 7; k < c.n; ++k) EXPECT_EQ(difference[k], 0.0f) << k;
    for (int k = 0; k <= c.n - 8; ++k) EXPECT_EQ(reference[k], c.volume[k + 7]) << k;
    // After the pass the reference is anchored (S - 0.5) but not scaled.
    for (int k = c.n - 7; k < c.n; ++k) EXPECT_EQ(reference[k], 1.75f) << k;
}

TEST(ProcessStandard, StretchDoublesTheDeviation) {
    const StandardCase c;
    Samples reference(c.n), difference(c.n);
    TMAFilter filter(3);
    const ChannelOutcome outcome =
        ProcessStandard(c.volume, c.temperature, c.standard, reference, difference, 2.0, filter);
    // s = 2 V - 0.5 cut at zero: D = 0 up to 11, -0.125 at 12, V - 0.5 from 13 on.
    EXPECT_EQ(difference[11], 0.0f);
    EXPECT_EQ(difference[12], -0.125f);
    EXPECT_EQ(difference[16], 0.125f);
    EXPECT_EQ(difference[30], 0.625f);
    EXPECT_DOUBLE_EQ(outcome.DeltaVolume, 0.625);
}

TEST(ProcessStandard, StandardStartingAfterTheConcreteShiftsTheOtherWay) {
    const StandardCase c;
    // Swap roles: the specimen now starts 7 samples before its standard.
    Samples volume(c.n), standard(c.n);
    for (int k = 0; k < c.n; ++k) {
        volume[k] = c.volume[std::min(k + 7, c.n - 1)];
        standard[k] = 2 * c.volume[k];
    }
    Samples temperature(c.n);
    for (int k = 0; k < c.n; ++k) temperature[k] = c.temperature[std::min(k + 7, c.n - 1)];
    Samples reference(c.n), difference(c.n, 99.0f);
    TMAFilter filter(3);
    const ChannelOutcome outcome = ProcessStandard(volume, temperature, standard, reference, difference, 1.0, filter);
    EXPECT_EQ(outcome.Shift, -7);
    EXPECT_EQ(outcome.DeltaVolume, 0.0);
    for (int k = 0; k < c.n - 7; ++k) EXPECT_EQ(difference[k], 0.0f) << k;
    for (int k = c.n - 7; k < c.n; ++k) EXPECT_EQ(difference[k], 99.0f) << k;
}

TEST(ProcessStandard, PrimesTheFilterWithZeros) {
    const Samples volume{0.5f, 3, 3, 3, 3, 6.5f};
    const Samples temperature{0, -1, -2, -3, -4, -10};
    Samples reference(6), difference(6);
    TMAFilter filter(3);
    filter.Fill(1e6L);
    const ChannelOutcome outcome = ProcessStandard(volume, temperature, volume, reference, difference, 1.0, filter);
    EXPECT_EQ(outcome.DeltaVolume, 0.0);  // a specimen against itself
    EXPECT_EQ(difference, Samples(6, 0.0f));
}

TEST(ProcessStandard, OppositeIndicesPastTheEndAreClamped) {
    // The standard starts 30 samples after the concrete, whose freezing lies
    // near the end: j0 and jp fall beyond the standard's last sample.
    constexpr int n = 40;
    Samples volume(n), temperature(n), standard(n, 0.0f);
    for (int i = 0; i < n; ++i) {
        volume[i] = 0.25f + 0.01f * static_cast<float>(i * i % 7);
        temperature[i] = i < 35 ? 5.0f : -12.0f;
        standard[i] = i < 30 ? 0.0f : 0.5f;
    }
    Samples reference(n), difference(n);
    TMAFilter filter(3);
    const ChannelOutcome outcome = ProcessStandard(volume, temperature, standard, reference, difference, 1.0, filter);
    EXPECT_EQ(outcome.Shift, -30);
    EXPECT_TRUE(std::isfinite(outcome.DeltaVolume));
    // Clamped to the last sample, both indices meet: the divisor is zero, the
    // reference collapses to V[i0] over the pass.
    for (int k = 30; k < n; ++k) EXPECT_EQ(reference[k], volume[35]) << k;
}

}  // namespace
}  // namespace zemvalkorta
