// The parameter dialogs: key filters and number parsing in a comma locale,
// layouts by geometry, fallbacks of texts that are not numbers.

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QtTest>

#include "UiTestSupport.h"
#include "ui/SetChannelPropertiesForm.h"
#include "ui/SetParamForm.h"

using namespace zemvalkorta;

class DialogsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void FullStopTypedIntoDimensionBecomesComma() {
        TSetChannelPropertiesForm form;
        form.SetDimensions(0, {100, 100, 100});
        form.XEdit->clear();
        QTest::keyClicks(form.XEdit, QStringLiteral("1.5"));
        QCOMPARE(form.XEdit->text(), QStringLiteral("1,5"));
        QCOMPARE(form.GetDimensions()[0], 1.5);
    }

    void FiltersKeepOnlyTheirCharacters() {
        TSetChannelPropertiesForm channel;
        channel.PrimaryWeightEdit->clear();
        QTest::keyClicks(channel.PrimaryWeightEdit, QStringLiteral("-a1E2,5"));
        QCOMPARE(channel.PrimaryWeightEdit->text(), QStringLiteral("12,5"));

        TSetParamForm param;
        param.CoefficientEdits[1]->clear();
        QTest::keyClicks(param.CoefficientEdits[1], QStringLiteral("-1.2e-3x"));
        QCOMPARE(param.CoefficientEdits[1]->text(), QStringLiteral("-1,2e-3"));
        QCOMPARE(param.GetModelCoefficients()[1], -1.2e-3);

        channel.AgeEdit->clear();
        QTest::keyClicks(channel.AgeEdit, QStringLiteral("-28 d."));
        QCOMPARE(channel.GetPatternAge(), QStringLiteral("-28 d."));
    }

    void CoefficientsFormattedAndFallBack() {
        TSetParamForm form;
        form.SetModelCoefficients({1.25e-3, -2.0, 0.0, 123456.0});
        QCOMPARE(form.CoefficientEdits[0]->text(), QStringLiteral("1,250E-03"));
        QCOMPARE(form.CoefficientEdits[1]->text(), QStringLiteral("-2,000E+00"));
        form.CoefficientEdits[0]->clear();
        form.CoefficientEdits[3]->setText(QStringLiteral("-"));
        const ModelCoefficientSet read = form.GetModelCoefficients();
        QCOMPARE(read[0], 1.25e-3);
        QCOMPARE(read[1], -2.0);
        QCOMPARE(read[3], 123456.0);
    }

    void KindListsAndCodesOutsideThem() {
        TSetParamForm form;
        QCOMPARE(form.SortComboBox->count(), 4);
        QCOMPARE(form.GeometryComboBox->count(), 3);
        QCOMPARE(form.GeometryComboBox->itemText(1), QStringLiteral("кубик 70 мм"));
        form.SetConcreteKind(7);
        QCOMPARE(form.SortComboBox->currentText(), QString());
        QCOMPARE(form.GetConcreteKind(), -1);
        form.SetGeometryKind(2);
        QCOMPARE(form.GetGeometryKind(), 2);
        form.SetGeometryKind(-1);
        QCOMPARE(form.GetGeometryKind(), -1);
    }

    void ModelFieldsEnabledTogether() {
        TSetParamForm form;
        form.SetModelEnabled(false);
        QVERIFY(!form.MathModelLabel->isEnabled());
        for (int i = 0; i < 4; ++i) QVERIFY(!form.CoefficientEdits[i]->isEnabled());
        form.SetModelEnabled(true);
        for (int i = 0; i < 4; ++i) QVERIFY(form.CoefficientLabels[i]->isEnabled());
    }

    void CylinderLayoutHidesZAndKeepsIt() {
        TSetChannelPropertiesForm form;
        form.show();
        form.SetDimensions(2, {70, 70, 0});
        QCOMPARE(form.XLabel->text(), QStringLiteral("d"));
        QCOMPARE(form.YLabel->text(), QStringLiteral("h"));
        QCOMPARE(form.XEdit->text(), QStringLiteral("70,0"));
        QVERIFY(!form.ZEdit->isVisible());
        QVERIFY(!form.ZLabel->isVisible());
        form.ZEdit->setText(QStringLiteral("55"));
        const Dimensions read = form.GetDimensions();
        QCOMPARE(read[0], 70.0);
        QCOMPARE(read[1], 70.0);
        QCOMPARE(read[2], 0.0);

        form.SetDimensions(1, {70, 70, 70});
        QVERIFY(form.ZEdit->isVisible());
        QCOMPARE(form.XLabel->text(), QStringLiteral("x"));
        form.YEdit->setText(QStringLiteral("?"));
        QCOMPARE(form.GetDimensions()[1], 70.0);
    }

    void UnknownGeometryKeepsLabels() {
        TSetChannelPropertiesForm form;
        form.show();
        form.SetDimensions(2, {70, 70, 0});
        form.SetDimensions(-3, {1, 2, 3});
        QCOMPARE(form.XLabel->text(), QStringLiteral("d"));
        QCOMPARE(form.ZEdit->text(), QStringLiteral("3,0"));
    }

    void MassesShowQuestionMarkForZeroAndNegative() {
        TSetChannelPropertiesForm form;
        form.SetPrimaryWeight(0);
        QCOMPARE(form.PrimaryWeightEdit->text(), QStringLiteral("?"));
        QCOMPARE(form.GetPrimaryWeight(), 0.0);
        form.SetPrimaryWeight(-5);
        QCOMPARE(form.PrimaryWeightEdit->text(), QStringLiteral("?"));
        form.SetSaturatedWeight(2150);
        QCOMPARE(form.SaturatedWeightEdit->text(), QStringLiteral("2150,0"));
        QCOMPARE(form.GetSaturatedWeight(), 2150.0);
    }

    void CaptionNamesTheChannel() {
        TSetChannelPropertiesForm form;
        form.SetChannelNumber(3);
        QCOMPARE(form.windowTitle(), QStringLiteral("Канал 3"));
        QCOMPARE(form.GetChannelNumber(), 3);
    }

    void ParsingAcceptsBothSeparatorsAndRefusesJunk() {
        QCOMPARE(ParseLocaleNumber(QStringLiteral(" 2,5 ")).value_or(0), 2.5);
        QCOMPARE(ParseLocaleNumber(QStringLiteral("2.5")).value_or(0), 2.5);
        QVERIFY(!ParseLocaleNumber(QStringLiteral("")));
        QVERIFY(!ParseLocaleNumber(QStringLiteral("?")));
        QVERIFY(!ParseLocaleNumber(QStringLiteral("12abc")));
    }
};

ZEMVALKORTA_UI_TEST_MAIN(DialogsTest)
#include "DialogsTest.moc"
