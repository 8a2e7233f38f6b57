#include "core/MeasureImage.h"

#include <gtest/gtest.h>

#include <cstring>
#include <numeric>

namespace zemvalkorta {
namespace {

TMeasureResult MakeMeasure(std::int32_t active, std::int32_t standard, std::int32_t points) {
    TMeasureResult m;
    m.ActiveChannels = active;
    m.StandardPattern = standard;
    m.PointCount = points;
    m.Curves.resize(static_cast<std::size_t>(RequiredCurveCount(m)));
    float value = 0.5f;
    for (Curve& curve : m.Curves) {
        curve.resize(static_cast<std::size_t>(points));
        for (float& v : curve) v = (value += 0.25f);
    }
    return m;
}

TEST(ChannelRoles, CurveCountsAndOffsets) {
    EXPECT_EQ(RequiredCurveCount(7, 2), 10);
    EXPECT_EQ(FirstCurveOfChannel(7, 2, 1), 4);
    EXPECT_EQ(FirstCurveOfChannel(7, 2, 2), 6);
    EXPECT_EQ(RequiredCurveCount(3, 16), 8);
    EXPECT_EQ(FirstCurveOfChannel(3, 16, 1), 4);
    EXPECT_EQ(RequiredCurveCount(5, 1), 6);
    EXPECT_EQ(FirstCurveOfChannel(5, 1, 2), 2);
    EXPECT_EQ(RoleOfChannel(6, 4, 2), ChannelRole::Standard);
    EXPECT_EQ(RoleOfChannel(6, 4, 1), ChannelRole::Concrete);
    EXPECT_EQ(RoleOfChannel(6, 4, 0), ChannelRole::Inactive);
    // A standard code naming an inactive channel leaves every active one concrete.
    EXPECT_EQ(RequiredCurveCount(6, 1), 8);
    EXPECT_FALSE(HasPhysicalStandard(32));
    EXPECT_TRUE(HasPhysicalStandard(4));
}

TEST(MeasureImage, SizeFollowsCurves) {
    const TMeasureResult m = MakeMeasure(7, 2, 100);
    const ByteArray image = EncodeMeasure(m);
    EXPECT_EQ(image.size(), 4560u);
    // The in-memory reference is never stored.
    EXPECT_EQ(image[556] | image[557] | image[558] | image[559], 0);
}

TEST(MeasureImage, RoundTripKeepsEveryRecordByte) {
    TMeasureResult m = MakeMeasure(7, 2, 100);
    ByteArray image = EncodeMeasure(m);
    // Fill the record with a byte pattern, including the bytes after each age
    // text and the model start fields, keeping the point count sane.
    for (std::size_t i = 0; i < 556; ++i) image[i] = static_cast<std::uint8_t>(i * 7 + 3);
    const std::int32_t points = 100;
    std::memcpy(image.data() + 32, &points, 4);
    const TMeasureResult decoded = DecodeMeasure(image);
    EXPECT_EQ(decoded.Curves.size(), 10u);
    const ByteArray again = EncodeMeasure(decoded);
    ASSERT_EQ(again.size(), image.size());
    EXPECT_EQ(0, std::memcmp(again.data(), image.data(), 556));
    EXPECT_EQ(0, std::memcmp(again.data() + 560, image.data() + 560, image.size() - 560));
}

TEST(MeasureImage, DecodesFieldsAtTheirOffsets) {
    TMeasureResult m = MakeMeasure(5, 1, 3);
    m.MeasureDate = 45000.5;
    m.PatternDimensions[2] = {70, 71, 72};
    m.PatternAge[1][0] = 2;
    m.PatternAge[1][1] = 'a';
    m.ModelCoefficients[5] = 0.125;
    m.CurveStretch[2] = 1.5;
    m.DeviceTemperature[1] = -3.0625f;
    const ByteArray image = EncodeMeasure(m);
    double d;
    std::memcpy(&d, image.data() + 68 + 2 * 24 + 8, 8);
    EXPECT_EQ(d, 71.0);
    EXPECT_EQ(image[188 + 64], 2);
    EXPECT_EQ(image[188 + 65], 'a');
    std::memcpy(&d, image.data() + 380 + 5 * 8, 8);
    EXPECT_EQ(d, 0.125);
    std::memcpy(&d, image.data() + 532 + 16, 8);
    EXPECT_EQ(d, 1.5);
    float f;
    std::memcpy(&f, image.data() + 436 + 4, 4);
    EXPECT_EQ(f, -3.0625f);
    std::memcpy(&d, image.data() + 428, 8);
    EXPECT_EQ(d, -9.5);
    const TMeasureResult back = DecodeMeasure(image);
    EXPECT_EQ(back.MeasureDate, 45000.5);
    EXPECT_EQ(back.Curves, m.Curves);
}

TEST(MeasureImage, CurveCountComesFromLength) {
    TMeasureResult m = MakeMeasure(7, 2, 100);
    ByteArray image = EncodeMeasure(m);
    image.insert(image.end(), {1, 2, 3});
    EXPECT_EQ(DecodeMeasure(image).Curves.size(), 10u);
    image.resize(560);
    EXPECT_TRUE(DecodeMeasure(image).Curves.empty());
}

TEST(MeasureImage, RefusesImagesItCannotRead) {
    TMeasureResult target = MakeMeasure(1, 1, 4);
    const TMeasureResult before = target;
    EXPECT_THROW(DecodeMeasure(ByteArray{}, target), ImageError);
    EXPECT_THROW(DecodeMeasure(ByteArray(559, 0), target), ImageError);
    ByteArray zeroPoints = EncodeMeasure(MakeMeasure(1, 1, 0));
    EXPECT_THROW(DecodeMeasure(zeroPoints, target), ImageError);
    ByteArray negative(600, 0);
    const std::int32_t minus = -5;
    std::memcpy(negative.data() + 32, &minus, 4);
    EXPECT_THROW(DecodeMeasure(negative, target), ImageError);
    EXPECT_EQ(target.Curves, before.Curves);
    EXPECT_EQ(target.PointCount, before.PointCount);
}

TEST(MeasureImage, EncodePadsShortCurves) {
    TMeasureResult m = MakeMeasure(1, 16, 4);
    m.Curves[3].resize(2);
    const TMeasureResult back = DecodeMeasure(EncodeMeasure(m));
    ASSERT_EQ(back.Curves[3].size(), 4u);
    EXPECT_EQ(back.Curves[3][3], 0.0f);
}

}  // namespace
}  // namespace zemvalkorta
