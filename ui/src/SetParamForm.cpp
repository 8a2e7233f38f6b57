#include "ui/SetParamForm.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "ui/CatalogueTexts.h"
#include "ui/LocaleNumbers.h"

namespace zemvalkorta {

TSetParamForm::TSetParamForm(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Параметры"));
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFixedSize(426, 150);

    auto* bevel = new QFrame(this);
    bevel->setFrameShape(QFrame::Box);
    bevel->setFrameShadow(QFrame::Sunken);
    bevel->setGeometry(8, 8, 409, 101);

    MathModelLabel = new QLabel(QStringLiteral("Математическая модель"), bevel);
    MathModelLabel->move(8, 6);
    for (int i = 0; i < 4; ++i) {
        CoefficientLabels[i] = new QLabel(QStringLiteral("a%1").arg(i), bevel);
        CoefficientLabels[i]->move(8 + i * 100, 31);
        CoefficientEdits[i] = new QLineEdit(bevel);
        CoefficientEdits[i]->setObjectName(QStringLiteral("a%1Edit").arg(i));
        CoefficientEdits[i]->setGeometry(26 + i * 100, 27, 76, 21);
        InstallNumberKeyFilter(CoefficientEdits[i], QStringLiteral("+-Ee"));
    }
    auto* line = new QFrame(bevel);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setGeometry(8, 56, 393, 2);

    auto* sortLabel = new QLabel(QStringLiteral("Вид"), bevel);
    sortLabel->move(8, 72);
    SortComboBox = new QComboBox(bevel);
    SortComboBox->setGeometry(36, 68, 150, 22);
    auto* geometryLabel = new QLabel(QStringLiteral("Геометрия"), bevel);
    geometryLabel->move(196, 72);
    GeometryComboBox = new QComboBox(bevel);
    GeometryComboBox->setGeometry(258, 68, 143, 22);

    ApplyButton = new QPushButton(QStringLiteral("Применить"), this);
    ApplyButton->setGeometry(130, 117, 75, 25);
    ApplyButton->setDefault(true);
    CancelButton = new QPushButton(QStringLiteral("Отмена"), this);
    CancelButton->setGeometry(221, 117, 75, 25);
    connect(ApplyButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);

    FormCreate();
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
    RememberedCoefficients = coefficients;
    for (int i = 0; i < 4; ++i) CoefficientEdits[i]->setText(FormatPattern("0.000E+00", coefficients[i]));
}

ModelCoefficientSet TSetParamForm::GetModelCoefficients() const {
    ModelCoefficientSet result{};
    for (int i = 0; i < 4; ++i)
        result[i] = ParseLocaleNumber(CoefficientEdits[i]->text()).value_or(RememberedCoefficients[i]);
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
