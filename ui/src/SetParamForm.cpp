#include "ui/SetParamForm.h"

#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/CatalogueTexts.h"
#include "ui/DialogLayout.h"
#include "ui/LocaleNumbers.h"

namespace zemvalkorta {

TSetParamForm::TSetParamForm(QWidget* parent) : QDialog(parent) {
    QFrame* bevel = SetUpDialog(this, QStringLiteral("Параметры"));
    auto* bevelLayout = LayOutFrame<QVBoxLayout>(bevel, {8, 6, 8, 8});

    MathModelLabel = new QLabel(QStringLiteral("Математическая модель"), bevel);
    bevelLayout->addWidget(MathModelLabel);
    auto* coefficients = new QHBoxLayout;
    for (int i = 0; i < 4; ++i) {
        CoefficientLabels[i] = new QLabel(QStringLiteral("a%1").arg(i), bevel);
        CoefficientEdits[i] = new QLineEdit(bevel);
        CoefficientEdits[i]->setObjectName(QStringLiteral("a%1Edit").arg(i));
        FitEditToText(CoefficientEdits[i], FormatPattern("0.000E+00", -8.888e-88), 76);
        CoefficientLabels[i]->setBuddy(CoefficientEdits[i]);
        InstallNumberKeyFilter(CoefficientEdits[i], QStringLiteral("+-Ee"));
        coefficients->addWidget(CoefficientLabels[i]);
        coefficients->addWidget(CoefficientEdits[i]);
        if (i < 3) coefficients->addSpacing(6);
    }
    bevelLayout->addLayout(coefficients);
    auto* line = new QFrame(bevel);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    bevelLayout->addWidget(line);

    auto* kinds = new QHBoxLayout;
    auto* sortLabel = new QLabel(QStringLiteral("Вид"), bevel);
    SortComboBox = new QComboBox(bevel);
    SortComboBox->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    SortComboBox->setMinimumWidth(150);
    auto* geometryLabel = new QLabel(QStringLiteral("Геометрия"), bevel);
    GeometryComboBox = new QComboBox(bevel);
    GeometryComboBox->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    GeometryComboBox->setMinimumWidth(143);
    sortLabel->setBuddy(SortComboBox);
    geometryLabel->setBuddy(GeometryComboBox);
    kinds->addWidget(sortLabel);
    kinds->addWidget(SortComboBox, 1);
    kinds->addSpacing(10);
    kinds->addWidget(geometryLabel);
    kinds->addWidget(GeometryComboBox, 1);
    bevelLayout->addLayout(kinds);

    MakeApplyCancelButtons(this, ApplyButton, CancelButton);
    FormCreate();
    FitDialog(this, QSize(426, 150));
    // The dialog opens on its default button, so Enter confirms at once and no field is half-typed by accident.
    FocusWhenShown(this, ApplyButton);
}

void TSetParamForm::FormCreate() {
    SortComboBox->clear();
    for (int code = 0; code <= 3; ++code) SortComboBox->addItem(ConcreteKindText(code));
    GeometryComboBox->clear();
    for (int code = 0; code <= 2; ++code) GeometryComboBox->addItem(GeometryText(code));
    SortComboBox->setCurrentIndex(-1);
    GeometryComboBox->setCurrentIndex(-1);
}

void TSetParamForm::SetModelEnabled(bool enabled) {
    MathModelLabel->setEnabled(enabled);
    for (int i = 0; i < 4; ++i) {
        CoefficientLabels[i]->setEnabled(enabled);
        CoefficientEdits[i]->setEnabled(enabled);
    }
}

void TSetParamForm::SetModelCoefficients(const ModelCoefficientSet& coefficients) {
    rememberedCoefficients_ = coefficients;
    for (int i = 0; i < 4; ++i) {
        shownCoefficients_[i] = FormatPattern("0.000E+00", coefficients[i]);
        CoefficientEdits[i]->setText(shownCoefficients_[i]);
    }
}

ModelCoefficientSet TSetParamForm::GetModelCoefficients() const {
    ModelCoefficientSet result{};
    for (int i = 0; i < 4; ++i) {
        // The field shows the value rounded to four digits; an untouched field must not round the stored value.
        const QString text = CoefficientEdits[i]->text();
        result[i] = text == shownCoefficients_[i] ? rememberedCoefficients_[i]
                                                  : ParseLocaleNumber(text).value_or(rememberedCoefficients_[i]);
    }
    return result;
}

void TSetParamForm::SetConcreteKind(std::int32_t code) {
    SortComboBox->setCurrentIndex(code >= 0 && code <= 3 ? code : -1);
}

std::int32_t TSetParamForm::GetConcreteKind() const { return SortComboBox->currentIndex(); }

void TSetParamForm::SetGeometryKind(std::int32_t code) {
    GeometryComboBox->setCurrentIndex(code >= 0 && code <= 2 ? code : -1);
}

std::int32_t TSetParamForm::GetGeometryKind() const { return GeometryComboBox->currentIndex(); }

}  // namespace zemvalkorta
