// Texts of the two result grids for the measurements the operator meets.

#include <QtTest>

#include "UiTestSupport.h"
#include "core/Catalogue.h"
#include "ui/ResultGridTexts.h"

using namespace zemvalkorta;

namespace {

TMeasureResult ThreeChannels(std::int32_t standardPattern) {
    TMeasureResult measure;
    measure.ActiveChannels = 7;
    measure.StandardPattern = standardPattern;
    measure.GeometryKind = 2;
    measure.ConcreteKind = 0;
    measure.Duration = 5400;
    measure.Period = 20;
    for (int c = 0; c < ChannelCount; ++c) {
        measure.PatternVolume[c] = 269.3915;
        measure.DeltaVolume[c] = 0.351;
        measure.Tetta[c] = 0.0037358;
        measure.FrostResistance[c] = 75;
    }
    measure.AverageTetta = 0.0012;
    measure.AverageFrostResistance = 100;
    return measure;
}

}  // namespace

class ResultGridTextsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void ConcreteColumnWithLocaleSeparator() {
        TMeasureResult measure = ThreeChannels(2);
        measure.PatternPrimaryWeight[0] = 0;
        measure.PatternSaturatedWeight[0] = 2150;
        SetPatternAgeText(measure.PatternAge[0], " 28");
        const auto texts = DetailsColumnTexts(measure, 0);
        QCOMPARE(texts[1], QStringLiteral("3,51E-01"));
        QCOMPARE(texts[2], QStringLiteral("3,74E-03"));
        QCOMPARE(texts[4], QStringLiteral("75"));
        QCOMPARE(texts[5], QStringLiteral("1,20E-03"));
        QCOMPARE(texts[7], QStringLiteral("100"));
        QCOMPARE(texts[8], QStringLiteral("269,4"));
        QCOMPARE(texts[9], QStringLiteral("?"));
        QCOMPARE(texts[10], QStringLiteral("2150,0"));
        QCOMPARE(texts[11], QStringLiteral(" 28"));
    }

    void StandardAndUnusedColumnsStayEmpty() {
        TMeasureResult measure = ThreeChannels(2);
        for (const QString& text : DetailsColumnTexts(measure, 1)) QVERIFY(text.isEmpty());
        measure.ActiveChannels = 5;
        measure.StandardPattern = 32;
        for (const QString& text : DetailsColumnTexts(measure, 1)) QVERIFY(text.isEmpty());
        // The mean values repeat, equal, in every concrete column.
        const auto first = DetailsColumnTexts(measure, 0);
        const auto third = DetailsColumnTexts(measure, 2);
        for (int row = 5; row <= 7; ++row) QCOMPARE(first[row], third[row]);
    }

    void MissingThetaShowsMinusOneThousandAndNoCycles() {
        TMeasureResult measure = ThreeChannels(32);
        measure.GeometryKind = 0;
        measure.Tetta[2] = -1.0;
        measure.FrostResistance[2] = -1;
        const auto texts = DetailsColumnTexts(measure, 2);
        QCOMPARE(texts[2], QStringLiteral("-1000,00E-03"));
        QCOMPARE(texts[3], QStringLiteral("?"));
        QCOMPARE(texts[4], QStringLiteral("?"));
    }

    void ThetaIsNotNormalised() {
        TMeasureResult measure = ThreeChannels(32);
        measure.Tetta[0] = 0.0123;
        QCOMPARE(DetailsColumnTexts(measure, 0)[2], QStringLiteral("12,30E-03"));
    }

    void UnknownKindGivesNoCycles() {
        TMeasureResult measure = ThreeChannels(32);
        measure.ConcreteKind = 9;
        QCOMPARE(DetailsColumnTexts(measure, 0)[3], QStringLiteral("?"));
        QCOMPARE(ParamGridTexts(measure)[4], QStringLiteral("?, цилиндр d70x70 мм"));
    }

    void AgeOfBlanksOrControlsIsUnknown() {
        ShortString64 age{};
        QCOMPARE(AgeText(age), QStringLiteral("?"));
        SetPatternAgeText(age, "   ");
        QCOMPARE(AgeText(age), QStringLiteral("?"));
        SetPatternAgeText(age, "\t\x01 ");
        QCOMPARE(AgeText(age), QStringLiteral("?"));
        SetPatternAgeText(age, "28 сут");
        QCOMPARE(AgeText(age), QStringLiteral("28 сут"));
    }

    void GeneralParameterColumn() {
        TMeasureResult measure = ThreeChannels(32);
        measure.ModelCoefficients[0] = 1.5;
        const auto texts = ParamGridTexts(measure);
        QVERIFY2(texts[0].startsWith(QStringLiteral("M2   [1,500E+00,  ")), qPrintable(texts[0]));
        QCOMPARE(texts[1], QStringLiteral("все"));
        QCOMPARE(texts[2], QStringLiteral("1:30"));
        QCOMPARE(texts[3], QStringLiteral("20"));
        QCOMPARE(texts[4], QStringLiteral("бетон тяжёлый, цилиндр d70x70 мм"));
    }

    void LabelsShowGreekAndSuperscriptDirectly() {
        QCOMPARE(DetailsRowLabel(1), QStringLiteral("ΔV, cm³"));
        QCOMPARE(DetailsRowLabel(5), QStringLiteral("<Θ>"));
        QCOMPARE(DetailsHeaderText(3), QStringLiteral("Канал 3"));
        QCOMPARE(DetailsHeaderText(0), QString());
        QCOMPARE(ParamRowLabel(2), QStringLiteral("Длительность, ч:м"));
    }
};

ZEMVALKORTA_UI_TEST_MAIN(ResultGridTextsTest)
#include "ResultGridTextsTest.moc"
