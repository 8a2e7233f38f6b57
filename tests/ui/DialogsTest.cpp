// The parameter dialogs: key filters and number parsing in a comma locale,
// layouts by geometry, fallbacks of texts that are not numbers.

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "UiTestSupport.h"
#include "ui/SetChannelPropertiesForm.h"
#include "ui/SetParamForm.h"

using namespace zemvalkorta;

class DialogsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Enter confirms and Esc cancels from inside a number field; Tab still moves on; both dialogs open
    // with the focus on "Применить", not in a field.
    void EnterEscAndTabInNumberFields() {
        auto check = [](QDialog& dialog, QPushButton* apply, QLineEdit* field, QLineEdit* next) {
            dialog.show();
            QVERIFY(QTest::qWaitForWindowActive(&dialog));
            QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(apply));
            QVERIFY(apply->isDefault());
            field->setFocus();
            QTest::keyClick(field, Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(next));
            QTest::keyClick(next, Qt::Key_Return);
            QVERIFY(!dialog.isVisible());
            QCOMPARE(dialog.result(), int(QDialog::Accepted));
            dialog.show();
            QVERIFY(QTest::qWaitForWindowActive(&dialog));
            field->setFocus();
            QTest::keyClick(field, Qt::Key_Escape);
            QVERIFY(!dialog.isVisible());
            QCOMPARE(dialog.result(), int(QDialog::Rejected));
        };
        TSetParamForm param;
        param.SetModelEnabled(true);
        param.SetModelCoefficients({1, 2, 3, 4});
        check(param, param.ApplyButton, param.CoefficientEdits[0], param.CoefficientEdits[1]);
        TSetChannelPropertiesForm channel;
        channel.SetDimensions(0, {100, 100, 100});
        check(channel, channel.ApplyButton, channel.XEdit, channel.YEdit);
        check(channel, channel.ApplyButton, channel.PrimaryWeightEdit, channel.SaturatedWeightEdit);
    }

    // A field shows its value rounded; confirming without touching it must give back the stored value
    // itself, while a field the operator changed gives what was typed.
    void UntouchedFieldsKeepTheirStoredValues() {
        TSetParamForm param;
        param.SetModelEnabled(true);
        const ModelCoefficientSet stored{-2.00123456e-3, 2.3487123e-4, -1.234567e-5, 6.7891e-7};
        param.SetModelCoefficients(stored);
        QCOMPARE(param.GetModelCoefficients(), stored);
        param.CoefficientEdits[1]->setText(QStringLiteral("2,5E-04"));
        const ModelCoefficientSet read = param.GetModelCoefficients();
        QCOMPARE(read[1], 2.5e-4);
        QCOMPARE(read[0], stored[0]);
        QCOMPARE(read[3], stored[3]);
        // Typing the shown text again is no change either.
        param.CoefficientEdits[1]->setText(QStringLiteral("2,349E-04"));
        QCOMPARE(param.GetModelCoefficients()[1], stored[1]);

        TSetChannelPropertiesForm channel;
        channel.SetDimensions(0, {70.04, 100.06, 99.95});
        channel.SetPrimaryWeight(2150.05);
        channel.SetSaturatedWeight(2201.26);
        QCOMPARE(channel.GetDimensions(), (Dimensions{70.04, 100.06, 99.95}));
        QCOMPARE(channel.GetPrimaryWeight(), 2150.05);
        QCOMPARE(channel.GetSaturatedWeight(), 2201.26);
        channel.YEdit->setText(QStringLiteral("100"));
        channel.SaturatedWeightEdit->setText(QStringLiteral("2200,5"));
        QCOMPARE(channel.GetDimensions(), (Dimensions{70.04, 100.0, 99.95}));
        QCOMPARE(channel.GetSaturatedWeight(), 2200.5);
        QCOMPARE(channel.GetPrimaryWeight(), 2150.05);
        channel.SetDimensions(2, {70.04, 69.96, 5});
        QCOMPARE(channel.GetDimensions(), (Dimensions{70.04, 69.96, 5}));
    }

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
