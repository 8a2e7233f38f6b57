#include "core/Catalogue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <numbers>

namespace zemvalkorta {
namespace {

const FormatSettings Plain{".", ","};

TEST(CatalogueTest, NamesOfCodesAndUnknownCodes) {
    EXPECT_EQ(ConcreteKindName(0), "бетон тяжёлый");
    EXPECT_EQ(ConcreteKindName(1), "бетон лёгкий");
    EXPECT_EQ(ConcreteKindName(2), "бетон дорожный");
    EXPECT_EQ(ConcreteKindName(3), "без имени");
    EXPECT_EQ(GeometryName(0), "кубик 100 мм");
    EXPECT_EQ(GeometryName(1), "кубик 70 мм");
    EXPECT_EQ(GeometryName(2), "цилиндр d70x70 мм");
    for (const std::int32_t bad : {-1, 4, 100, INT32_MIN}) EXPECT_EQ(ConcreteKindName(bad), "?") << bad;
    for (const std::int32_t bad : {-1, 3, INT32_MAX}) EXPECT_EQ(GeometryName(bad), "?") << bad;
}

TEST(CatalogueTest, DefaultDimensionsFallBackToTheLargeCube) {
    EXPECT_EQ(DefaultDimensions(0), (Dimensions{100, 100, 100}));
    EXPECT_EQ(DefaultDimensions(1), (Dimensions{70, 70, 70}));
    EXPECT_EQ(DefaultDimensions(2), (Dimensions{70, 70, 0}));
    EXPECT_EQ(DefaultDimensions(-7), (Dimensions{100, 100, 100}));
    Dimensions dimensions{1, 2, 3};
    DefaultDimensions(2, dimensions);
    EXPECT_EQ(dimensions, (Dimensions{70, 70, 0}));
}

TEST(CatalogueTest, SpecimenVolume) {
    EXPECT_NEAR(SpecimenVolume(2, {70, 70, 0}), std::numbers::pi * 4900 / 4 * 70 * 0.001, 1e-12);
    EXPECT_NEAR(SpecimenVolume(2, {70, 70, 0}), 269.39, 0.005);
    EXPECT_EQ(SpecimenVolume(1, {70, 70, 70}), 343.0);
    EXPECT_EQ(SpecimenVolume(5, {100, 100, 100}), 1000.0);
    EXPECT_EQ(SpecimenVolume(0, {100, 100, 100}), 1000.0);
    EXPECT_EQ(SpecimenVolume(2, {70, 0, 5}), 0.0);     // the cylinder ignores z, not y
    EXPECT_EQ(SpecimenVolume(0, {100, 100, 0}), 0.0);  // a cube with a zero side has no volume
    EXPECT_NEAR(SpecimenVolume(2, {70, 70, 123}), SpecimenVolume(2, {70, 70, 0}), 0.0);
    for (std::int32_t geometry = -1; geometry <= 3; ++geometry)
        EXPECT_NEAR(SpecimenVolume(geometry, DefaultDimensions(geometry)),
                    geometry == 1   ? 343.0
                    : geometry == 2 ? 269.3915
                                    : 1000.0,
                    1e-4)
            << geometry;
}

TEST(CatalogueTest, StandardLabelOfEveryCode) {
    const std::array<double, 6> model{1.5, -0.00025, 0, 1234.5, 99, 99};
    EXPECT_EQ(StandardLabel(2, model, Plain), "К2   [1.500E+00,  -2.500E-04,  0.000E+00,  1.235E+03]");
    EXPECT_EQ(StandardLabel(1, model, Plain).substr(0, 7), "К1   [");  // Cyrillic К is two bytes
    EXPECT_EQ(StandardLabel(4, model, Plain).substr(0, 7), "К3   [");
    EXPECT_EQ(StandardLabel(16, model, Plain).substr(0, 6), "M1   [");
    EXPECT_EQ(StandardLabel(32, model, Plain).substr(0, 6), "M2   [");
    EXPECT_EQ(StandardLabel(64, model, Plain).substr(0, 6), "M3   [");
    for (const std::int32_t bad : {0, 3, 5, 7, 8, 48, 128, -1}) EXPECT_EQ(StandardLabel(bad, model, Plain), "?") << bad;
    EXPECT_EQ(StandardLabel(16, std::array<double, 2>{1, 2}, Plain),
              "M1   [1.000E+00,  2.000E+00,  0.000E+00,  0.000E+00]");
    EXPECT_EQ(StandardLabel(2, model, {",", " "}), "К2   [1,500E+00,  -2,500E-04,  0,000E+00,  1,235E+03]");
}

TEST(CatalogueTest, ChannelsLabel) {
    EXPECT_EQ(ChannelsLabel(5), "1+3");
    EXPECT_EQ(ChannelsLabel(7), "все");
    EXPECT_EQ(ChannelsLabel(15), "1+2+3");
    EXPECT_EQ(ChannelsLabel(0), "");
    EXPECT_EQ(ChannelsLabel(8), "");
    EXPECT_EQ(ChannelsLabel(2), "2");
    EXPECT_EQ(ChannelsLabel(6), "2+3");
    EXPECT_EQ(ChannelsLabel(-1), "1+2+3");
}

TEST(CatalogueTest, DurationTextDropsSecondsAndKeepsCountingPastADay) {
    EXPECT_EQ(DurationText(5400), "1:30");
    EXPECT_EQ(DurationText(59), "0:00");
    EXPECT_EQ(DurationText(0), "0:00");
    EXPECT_EQ(DurationText(3599), "0:59");
    EXPECT_EQ(DurationText(86399), "23:59");
    EXPECT_EQ(DurationText(86400), "24:00");
    EXPECT_EQ(DurationText(25 * 3600 + 30 * 60 + 59), "25:30");
    EXPECT_EQ(DurationText(UINT32_MAX), "1193046:28");
}

TEST(CatalogueTest, NumberTextAndScaleRawWord) {
    EXPECT_EQ(NumberText(0), "0");
    EXPECT_EQ(NumberText(20), "20");
    EXPECT_EQ(NumberText(UINT32_MAX), "4294967295");
    EXPECT_EQ(ScaleRawWord(32768, 2.0), 1.0);
    EXPECT_EQ(ScaleRawWord(65536, 1.0), 1.0);  // by 65536, not 65535
    EXPECT_EQ(ScaleRawWord(-32768, 0.5), -0.25);
    EXPECT_EQ(ScaleRawWord(0, 123.0), 0.0);
    EXPECT_EQ(ScaleRawWord(INT32_MAX, 65536.0), static_cast<double>(INT32_MAX));
}

ShortString64 Garbage() {
    ShortString64 age{};
    for (std::size_t i = 0; i < age.size(); ++i) age[i] = static_cast<std::uint8_t>(0xA0 + i % 7);
    age[0] = 0;
    return age;
}

TEST(CatalogueTest, PatternAgeRoundTripLeavesTrailingBytes) {
    ShortString64 age = Garbage();
    SetPatternAgeText(age, "28 сут");
    EXPECT_EQ(age[0], 6);
    EXPECT_EQ(age[4], 0xF1);  // 'с' in Windows-1251
    EXPECT_EQ(PatternAgeText(age), "28 сут");
    const ShortString64 garbage = Garbage();
    EXPECT_TRUE(std::equal(age.begin() + 7, age.end(), garbage.begin() + 7));

    const ShortString64 before = age;
    SetPatternAgeText(age, PatternAgeText(age));
    EXPECT_EQ(age, before);
}

TEST(CatalogueTest, PatternAgeIsCutAfterConversion) {
    ShortString64 age{};
    const std::string sixtyThree(63, 'x');
    SetPatternAgeText(age, sixtyThree);
    EXPECT_EQ(age[0], 63);
    EXPECT_EQ(age[63], 'x');

    // 70 Cyrillic letters are 140 UTF-8 bytes but 70 Windows-1251 bytes: cut
    // to 63 letters, never in the middle of a character.
    std::string cyrillic;
    for (int i = 0; i < 70; ++i) cyrillic += "ж";
    SetPatternAgeText(age, cyrillic);
    EXPECT_EQ(age[0], 63);
    std::string expected;
    for (int i = 0; i < 63; ++i) expected += "ж";
    EXPECT_EQ(PatternAgeText(age), expected);

    SetPatternAgeText(age, "ΔT");
    EXPECT_EQ(PatternAgeText(age), "?T");
    SetPatternAgeText(age, "");
    EXPECT_EQ(age[0], 0);
    EXPECT_EQ(PatternAgeText(age), "");
}

TEST(CatalogueTest, PatternAgeWithAnImpossibleLengthReadsAtMost63Bytes) {
    ShortString64 age{};
    age.fill('a');
    age[0] = 200;
    EXPECT_EQ(PatternAgeText(age), std::string(63, 'a'));
}

}  // namespace
}  // namespace zemvalkorta
