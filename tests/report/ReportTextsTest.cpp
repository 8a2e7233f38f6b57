#include <gtest/gtest.h>

#include "ReportSamples.h"
#include "report/ReportTexts.h"

namespace zemvalkorta {
namespace {

const FormatSettings Comma{",", " "};

TEST(ReportTexts, DatesCarryTwoBlanksAndAddTheWholeDuration) {
    TMeasureResult measure = samples::Measure(7, 1);
    measure.MeasureDate = 45000.0 + (23 * 60 + 59) / 1440.0 + 30.0 / 86400.0;  // 15.03.2023 23:59:30
    measure.Duration = 3600 + 31;
    EXPECT_EQ(BeginDateTimeText(measure), QStringLiteral("начало  15.03.2023  23:59"));
    EXPECT_EQ(EndDateTimeText(measure), QStringLiteral("окончание  16.03.2023  01:00"));
    measure.Duration = 26 * 3600;  // a run longer than a day keeps its true end
    EXPECT_EQ(EndDateTimeText(measure), QStringLiteral("окончание  17.03.2023  01:59"));
    EXPECT_EQ(ReportDateTimeText(0.0), QStringLiteral("30.12.1899  00:00"));
}

TEST(ReportTexts, DimensionsByGeometry) {
    EXPECT_EQ(DimensionsText(0, {100, 100, 100}, Comma), QStringLiteral("100,0x 100,0x 100,0"));
    EXPECT_EQ(DimensionsText(1, {70, 70.25, 69.94}, FormatSettings{}), QStringLiteral("70.0x 70.3x 69.9"));
    EXPECT_EQ(DimensionsText(2, {70, 70, 0}, Comma), QStringLiteral("d 70,0x 70,0"));
    EXPECT_EQ(DimensionsText(3, {70, 70, 70}, Comma), QStringLiteral("?"));
    EXPECT_EQ(DimensionsText(-1, {70, 70, 70}, Comma), QStringLiteral("?"));
}

TEST(ReportTexts, WaterAbsorptionNeedsEveryQuantity) {
    EXPECT_EQ(AbsorptionByMassText(2100, 2200, Comma), QStringLiteral("4,8"));
    EXPECT_EQ(AbsorptionByVolumeText(2100, 2200, 1000, Comma), QStringLiteral("10,0"));
    EXPECT_EQ(AbsorptionByMassText(0, 2200, Comma), QString());
    EXPECT_EQ(AbsorptionByMassText(2100, -1, Comma), QString());
    EXPECT_EQ(AbsorptionByVolumeText(2100, 2200, 0, Comma), QString());
    EXPECT_EQ(AbsorptionByVolumeText(0, 2200, 1000, Comma), QString());
    EXPECT_EQ(WeightText(2100, Comma), QStringLiteral("2100,0"));
    EXPECT_EQ(WeightText(0, Comma), QString());
}

TEST(ReportTexts, MissingGradeAndCyclesShowQuestionMarks) {
    TMeasureResult measure = samples::Measure(7, 1);
    measure.AverageFrostResistance = -1;
    measure.AverageTetta = -1.0;  // no grading for a negative theta
    const QStringList lines = AverageFrostResistanceLines(measure);
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[0], QStringLiteral("?"));
    EXPECT_EQ(lines[1], QStringLiteral("(?)"));
    EXPECT_EQ(lines[2], QString());
    EXPECT_EQ(lines[3], QStringLiteral("бетон тяжёлый"));

    measure.AverageFrostResistance = 300;
    measure.AverageTetta = 0.0001;
    measure.ConcreteKind = 9;
    const QStringList graded = AverageFrostResistanceLines(measure);
    EXPECT_EQ(graded[0], QStringLiteral("300"));
    EXPECT_TRUE(graded[1].startsWith('(') && graded[1].endsWith(')'));
    EXPECT_EQ(graded[3], QStringLiteral("?"));
}

TEST(ReportTexts, SpecimenKindsFollowTheChannelBits) {
    EXPECT_TRUE(HasConcreteSpecimen(samples::Measure(7, 1)));
    EXPECT_TRUE(HasStandardSpecimen(samples::Measure(7, 1)));
    EXPECT_FALSE(HasConcreteSpecimen(samples::Measure(2, 2)));
    EXPECT_TRUE(HasStandardSpecimen(samples::Measure(2, 2)));
    EXPECT_TRUE(HasConcreteSpecimen(samples::Measure(3, 16)));
    EXPECT_FALSE(HasStandardSpecimen(samples::Measure(3, 16)));
    EXPECT_FALSE(HasStandardSpecimen(samples::Measure(3, 4)));  // standard channel not used
}

}  // namespace
}  // namespace zemvalkorta
