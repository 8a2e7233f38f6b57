#include "core/MeasureEdits.h"

#include <gtest/gtest.h>

namespace zemvalkorta {
namespace {

// Channel 1 the physical standard, channels 2 and 3 concrete 100 mm cubes
// whose dimensions were measured by hand.
TMeasureResult MeasuredCubes() {
    TMeasureResult measure;
    measure.ActiveChannels = 7;
    measure.StandardPattern = 1;
    measure.GeometryKind = Cube100;
    for (std::size_t c = 0; c < ChannelCount; ++c) {
        measure.PatternDimensions[c] = {101.0, 99.0, 100.5};
        measure.PatternVolume[c] = 1004.9;
    }
    measure.ModelCoefficients = {1, 2, 3, 4, 5, 6};
    return measure;
}

TEST(MeasureEdits, ANewGeometryResetsEveryChannelAndTheSameOneNothing) {
    TMeasureResult measure = MeasuredCubes();
    SetGeometryKind(measure, Cube100);
    for (std::size_t c = 0; c < ChannelCount; ++c) {
        EXPECT_EQ(measure.PatternDimensions[c], (Dimensions{101.0, 99.0, 100.5}));
        EXPECT_EQ(measure.PatternVolume[c], 1004.9);
    }

    SetGeometryKind(measure, Cube70);
    EXPECT_EQ(measure.GeometryKind, Cube70);
    for (std::size_t c = 0; c < ChannelCount; ++c) {
        EXPECT_EQ(measure.PatternDimensions[c], (Dimensions{70.0, 70.0, 70.0}));
        EXPECT_EQ(measure.PatternVolume[c], 343.0);
    }

    // Dimensions entered for the new shape survive setting that shape again.
    SetPatternDimensions(measure, 1, {71.0, 70.0, 70.0});
    SetGeometryKind(measure, Cube70);
    EXPECT_EQ(measure.PatternDimensions[1], (Dimensions{71.0, 70.0, 70.0}));

    SetGeometryKind(measure, Cylinder70);
    for (std::size_t c = 0; c < ChannelCount; ++c) {
        EXPECT_EQ(measure.PatternDimensions[c], (Dimensions{70.0, 70.0, 0.0}));
        EXPECT_NEAR(measure.PatternVolume[c], 269.39, 0.005);
    }
}

TEST(MeasureEdits, GeneralParametersChangeOnlyWhatIsGivenAndTheModelOnlyWithoutAStandard) {
    TMeasureResult measure = MeasuredCubes();
    ApplyGeneralParameters(measure, {.ConcreteKind = 2});
    EXPECT_EQ(measure.ConcreteKind, 2);
    EXPECT_EQ(measure.GeometryKind, Cube100);
    EXPECT_EQ(measure.PatternVolume[2], 1004.9);

    // A physical standard: the record has no model to change.
    ApplyGeneralParameters(measure, {.GeometryKind = Cylinder70, .ModelCoefficients = ModelCoefficientSet{9, 9, 9, 9}});
    EXPECT_EQ(measure.ModelCoefficients, (std::array<double, ModelCoefficientCount>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(measure.ConcreteKind, 2);
    EXPECT_EQ(measure.PatternDimensions[0], (Dimensions{70.0, 70.0, 0.0}));

    measure.StandardPattern = 32;  // model 2
    ApplyGeneralParameters(measure, {.ModelCoefficients = ModelCoefficientSet{0.5, -1, 2e-3, 7}});
    // The start time and value of the model are measured, not entered.
    EXPECT_EQ(measure.ModelCoefficients, (std::array<double, ModelCoefficientCount>{0.5, -1, 2e-3, 7, 5, 6}));
}

TEST(MeasureEdits, ChannelPropertiesChangeTheirChannelOnlyAndTheVolumeFollowsTheDimensions) {
    TMeasureResult measure = MeasuredCubes();
    ApplyChannelProperties(
        measure, 1,
        {.PatternDimensions = Dimensions{100.0, 100.0, 50.0}, .PrimaryWeight = 2350.5, .PatternAge = "28 сут"});
    EXPECT_EQ(measure.PatternDimensions[1], (Dimensions{100.0, 100.0, 50.0}));
    EXPECT_EQ(measure.PatternVolume[1], 500.0);
    EXPECT_EQ(measure.PatternPrimaryWeight[1], 2350.5);
    EXPECT_EQ(measure.PatternSaturatedWeight[1], 0.0);
    EXPECT_EQ(PatternAgeText(measure.PatternAge[1]), "28 сут");
    EXPECT_EQ(measure.PatternAge[1][0], 6);  // Windows-1251: one byte a letter

    for (std::size_t c : {0u, 2u}) {
        EXPECT_EQ(measure.PatternDimensions[c], (Dimensions{101.0, 99.0, 100.5}));
        EXPECT_EQ(measure.PatternVolume[c], 1004.9);
        EXPECT_EQ(measure.PatternPrimaryWeight[c], 0.0);
        EXPECT_EQ(measure.PatternAge[c][0], 0);
    }

    // Dimensions of a cylinder give a cylinder's volume: the record's geometry counts.
    measure.GeometryKind = Cylinder70;
    ApplyChannelProperties(measure, 2, {.PatternDimensions = Dimensions{70.0, 70.0, 70.0}, .SaturatedWeight = 2400.0});
    EXPECT_NEAR(measure.PatternVolume[2], 269.39, 0.005);
    EXPECT_EQ(measure.PatternSaturatedWeight[2], 2400.0);
    EXPECT_EQ(measure.PatternPrimaryWeight[2], 0.0);
    EXPECT_EQ(PatternAgeText(measure.PatternAge[1]), "28 сут");
}

TEST(MeasureEdits, WhatMayBeEdited) {
    TMeasureResult measure = MeasuredCubes();
    measure.ActiveChannels = 3;  // channel 3 unused
    EXPECT_TRUE(CanEditGeneralParameters(measure));
    EXPECT_FALSE(HasEditableModel(measure));
    EXPECT_FALSE(CanEditChannelProperties(measure, 0));  // the standard's channel
    EXPECT_TRUE(CanEditChannelProperties(measure, 1));
    EXPECT_FALSE(CanEditChannelProperties(measure, 2));
    EXPECT_FALSE(CanEditChannelProperties(measure, -1));
    EXPECT_FALSE(CanEditChannelProperties(measure, 3));

    measure.ActiveChannels = 1;  // the standard alone
    EXPECT_FALSE(CanEditGeneralParameters(measure));

    measure.ActiveChannels = 5;
    measure.StandardPattern = 16;  // model 1: every active channel is concrete
    EXPECT_TRUE(HasEditableModel(measure));
    EXPECT_TRUE(CanEditChannelProperties(measure, 0));
    EXPECT_FALSE(CanEditChannelProperties(measure, 1));
    EXPECT_TRUE(CanEditChannelProperties(measure, 2));
}

}  // namespace
}  // namespace zemvalkorta
