#include <gtest/gtest.h>

#include <vector>

#include "core/FrostGrading.h"
#include "core/MeasureImage.h"
#include "core/Processing.h"

namespace zemvalkorta {
namespace {

constexpr int PointCount = 40;

// Concrete rising from sample 12 and freezing at 15..20; its standard is the
// same shape twice as large, starting at sample 5.
Curve ConcreteVolume() {
    Curve v(PointCount);
    for (int i = 0; i < PointCount; ++i) v[i] = i < 12 ? 0.0f : 0.125f * static_cast<float>(std::min(i, 20) - 11);
    return v;
}
Curve ConcreteTemperature() {
    Curve t(PointCount);
    for (int i = 0; i < PointCount; ++i) t[i] = i < 15 ? 5.0f : (i < 20 ? -1.0f : -12.0f);
    return t;
}
Curve StandardVolume() {
    const Curve v = ConcreteVolume();
    Curve s(PointCount);
    for (int k = 0; k < PointCount; ++k) s[k] = 2 * v[std::min(k + 7, PointCount - 1)];
    return s;
}

// Results of every channel start as markers, so that what the pass leaves alone shows.
TMeasureResult MarkedRecord(std::int32_t active, std::int32_t standardPattern) {
    TMeasureResult m;
    m.ActiveChannels = active;
    m.StandardPattern = standardPattern;
    m.PointCount = PointCount;
    m.Period = 60;
    m.GeometryKind = 0;  // cube 100 mm
    m.ConcreteKind = 0;  // heavy
    m.PatternVolume = {1000.0, 1000.0, 1000.0};
    m.DeltaVolume = {-7.0, -7.0, -7.0};
    m.Tetta = {-7.0, -7.0, -7.0};
    m.FrostResistance = {77, 77, 77};
    m.CurveShift = {55, 55, 55};
    m.AverageTetta = -7.0;
    m.AverageFrostResistance = 77;
    for (int c = 0; c < ChannelCount; ++c) {
        switch (RoleOfChannel(m, c)) {
            case ChannelRole::Standard:
                m.Curves.push_back(StandardVolume());
                m.Curves.push_back(ConcreteTemperature());
                break;
            case ChannelRole::Concrete:
                m.Curves.push_back(ConcreteVolume());
                m.Curves.push_back(ConcreteTemperature());
                m.Curves.push_back(Curve(PointCount, 0.0f));
                m.Curves.push_back(Curve(PointCount, 0.0f));
                break;
            case ChannelRole::Inactive:
                break;
        }
    }
    return m;
}

void ExpectSameRecord(const TMeasureResult& actual, const TMeasureResult& expected) {
    TMeasureResult actualHead = actual, expectedHead = expected;
    actualHead.Curves.clear();
    expectedHead.Curves.clear();
    EXPECT_EQ(EncodeMeasure(actualHead), EncodeMeasure(expectedHead));
    EXPECT_EQ(actual.Curves, expected.Curves);
}

TEST(ProcessMeasureRecord, StandardInChannelTwoConcreteInOneAndThree) {
    TMeasureResult m = MarkedRecord(7, 2);
    m.CurveStretch[2] = 2.0;
    const TMeasureResult before = m;
    TMAFilter filter(3);
    ProcessMeasureRecord(m, filter);

    EXPECT_EQ(m.DeltaVolume[0], 0.0);  // the same shape fits exactly
    EXPECT_DOUBLE_EQ(m.DeltaVolume[2], 0.625);
    EXPECT_EQ(m.Tetta[0], 0.0);
    EXPECT_DOUBLE_EQ(m.Tetta[2], 0.625 / 1000.0);
    EXPECT_EQ(m.FrostResistance[0], 1000);
    EXPECT_EQ(m.FrostResistance[2], 300);  // 0.625 in (0.33, 0.65]
    EXPECT_EQ(m.CurveShift[0], 7);
    EXPECT_EQ(m.CurveShift[2], 7);
    EXPECT_DOUBLE_EQ(m.AverageTetta, 0.3125 / 1000.0);
    EXPECT_EQ(m.AverageFrostResistance, 400);  // 0.3125 in (0.2, 0.33]

    // The standard channel's results and curves stay as they were.
    EXPECT_EQ(m.DeltaVolume[1], -7.0);
    EXPECT_EQ(m.Tetta[1], -7.0);
    EXPECT_EQ(m.FrostResistance[1], 77);
    EXPECT_EQ(m.CurveShift[1], 55);
    EXPECT_EQ(m.Curves[4], before.Curves[4]);
    EXPECT_EQ(m.Curves[5], before.Curves[5]);
    EXPECT_EQ(m.ModelCoefficients, before.ModelCoefficients);
    // The inputs of the concrete channels are never changed.
    for (int index : {0, 1, 6, 7}) EXPECT_EQ(m.Curves[index], before.Curves[index]) << index;

    // Each concrete channel got its own reference and difference curves.
    Curve reference(PointCount), difference(PointCount, 0.0f);
    ProcessStandard(before.Curves[6], before.Curves[7], before.Curves[4], reference, difference, 2.0, filter);
    EXPECT_EQ(m.Curves[8], reference);
    EXPECT_EQ(m.Curves[9], difference);
}

TEST(ProcessMeasureRecord, ModelReferenceFillsTheModelStartAndEveryConcreteChannel) {
    TMeasureResult m = MarkedRecord(5, 16);
    m.ModelCoefficients = {0.0, 1.0 / 1024, 0.0, 0.0, -3.0, -3.0};  // exceeds 1.0 at 18 periods of 60 s
    const TMeasureResult before = m;
    TMAFilter filter(3);
    ProcessMeasureRecord(m, filter);

    EXPECT_EQ(m.ModelCoefficients[ModelStartTimeIndex], 1080.0);
    EXPECT_EQ(m.ModelCoefficients[ModelStartValueIndex], 1080.0 / 1024);

    Curve reference(PointCount), difference(PointCount);
    const ChannelOutcome expected = ProcessModel(before.Curves[0], before.Curves[1], reference, difference, 60, 1.0,
                                                 before.ModelCoefficients, filter);
    for (int channel : {0, 2}) {
        const int first = FirstCurveOfChannel(m, channel);
        EXPECT_EQ(m.Curves[first + ReferenceCurve], reference) << channel;
        EXPECT_EQ(m.Curves[first + DifferenceCurve], difference) << channel;
        EXPECT_EQ(m.DeltaVolume[channel], expected.DeltaVolume);
        EXPECT_EQ(m.Tetta[channel], expected.DeltaVolume / 1000.0);
        EXPECT_EQ(m.FrostResistance[channel], FrostGrade(0, 0, expected.DeltaVolume / 1000.0));
        EXPECT_EQ(m.CurveShift[channel], 0);
    }
    EXPECT_EQ(m.AverageTetta, expected.DeltaVolume / 1000.0);
    // Channel 2 is not in use: its results stay.
    EXPECT_EQ(m.DeltaVolume[1], -7.0);
    EXPECT_EQ(m.FrostResistance[1], 77);
}

TEST(ProcessMeasureRecord, NegativeDeltaGivesNoGrade) {
    TMeasureResult m = MarkedRecord(1, 16);
    m.ModelCoefficients = {0.5, 0, 0, 0, 0, 0};  // flat: the reference collapses to V[i0]
    m.Curves[0] = Curve(PointCount, 5.0f);
    for (int i = 20; i < PointCount; ++i) m.Curves[0][i] = 50.0f;  // swells far above the reference
    TMAFilter filter(3);
    ProcessMeasureRecord(m, filter);
    EXPECT_EQ(m.DeltaVolume[0], -1.0);
    EXPECT_EQ(m.Tetta[0], -1.0 / 1000.0);
    EXPECT_EQ(m.FrostResistance[0], -1);
    EXPECT_EQ(m.AverageFrostResistance, -1);
    EXPECT_EQ(m.ModelCoefficients[ModelStartTimeIndex], 0.0);  // never above 1.0: t0 = 0, m0 = a0
    EXPECT_EQ(m.ModelCoefficients[ModelStartValueIndex], 0.5);
}

TEST(ProcessMeasureRecord, OnlyAStandardChannelRunsNoVariant) {
    TMeasureResult m = MarkedRecord(2, 2);
    TMAFilter filter(3);
    ProcessMeasureRecord(m, filter);
    EXPECT_EQ(m.AverageTetta, 0.0);
    EXPECT_EQ(m.AverageFrostResistance, 77);
    EXPECT_EQ(m.DeltaVolume[1], -7.0);
}

TEST(ProcessMeasureRecord, RepeatedPassesGiveTheSameRecord) {
    TMeasureResult m = MarkedRecord(7, 4);
    m.CurveStretch = {1.5, 0.75, 1.0};
    TMAFilter filter(3);
    ProcessMeasureRecord(m, filter);
    const TMeasureResult first = m;
    filter.Fill(1e6L);  // a dirty filter must not change the next pass
    ProcessMeasureRecord(m, filter);
    ExpectSameRecord(m, first);
}

struct Refusal {
    const char* what;
    TMeasureResult record;
    const char* message;
};

std::vector<Refusal> Refusals() {
    std::vector<Refusal> cases;
    TMeasureResult m = MarkedRecord(6, 16);
    m.StandardPattern = 1;  // channel 1 is not in use
    cases.push_back({"standard channel not in use", m, "channel 1"});
    m = MarkedRecord(7, 2);
    m.StandardPattern = 3;
    cases.push_back({"two standard channels", m, "reference code 3"});
    m = MarkedRecord(7, 2);
    m.StandardPattern = 18;
    cases.push_back({"standard mixed with a model", m, "reference code 18"});
    m = MarkedRecord(7, 2);
    m.PointCount = 0;
    cases.push_back({"no points", m, "point count 0"});
    m = MarkedRecord(7, 2);
    m.PointCount = -4;
    cases.push_back({"negative point count", m, "point count -4"});
    m = MarkedRecord(7, 2);
    m.Curves.pop_back();
    cases.push_back({"a curve missing", m, "holds 9 curves"});
    m = MarkedRecord(7, 16);
    m.Curves[9].resize(PointCount - 1);
    cases.push_back({"a short curve", m, "curve 10"});
    m = MarkedRecord(7, 1);
    m.PatternVolume[1] = 0.0;
    cases.push_back({"zero volume", m, "channel 2: specimen volume is zero"});
    m = MarkedRecord(5, 32);
    m.PatternVolume[2] = 0.0;
    cases.push_back({"zero volume after a processed channel", m, "channel 3: specimen volume is zero"});
    return cases;
}

TEST(ProcessMeasureRecord, RefusedRecordsAreLeftUnchanged) {
    for (const Refusal& refusal : Refusals()) {
        SCOPED_TRACE(refusal.what);
        TMeasureResult m = refusal.record;
        TMAFilter filter(3);
        try {
            ProcessMeasureRecord(m, filter);
            ADD_FAILURE() << "not refused";
        } catch (const ProcessingError& error) {
            EXPECT_NE(std::string(error.what()).find(refusal.message), std::string::npos) << error.what();
        }
        ExpectSameRecord(m, refusal.record);
    }
}

TEST(ProcessMeasureRecord, ZeroVolumeOfTheStandardChannelIsNoFault) {
    TMeasureResult m = MarkedRecord(7, 2);
    m.PatternVolume[1] = 0.0;
    TMAFilter filter(3);
    EXPECT_NO_THROW(ProcessMeasureRecord(m, filter));
    EXPECT_EQ(m.FrostResistance[0], 1000);
}

}  // namespace
}  // namespace zemvalkorta
