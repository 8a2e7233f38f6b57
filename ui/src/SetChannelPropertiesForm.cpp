#include "ui/SetChannelPropertiesForm.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "ui/DialogLayout.h"
#include "ui/LocaleNumbers.h"

namespace zemvalkorta {
namespace {

QFrame* MakeLine(QWidget* parent) {
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

QString MassText(double mass) { return mass == 0.0 ? QStringLiteral("?") : FormatPattern("0.0", mass); }

// The number in `edit`, or `stored` when the field still shows what was put into it
// (its text is the stored value rounded for display) or holds no number.
double FieldValue(const QLineEdit* edit, const QString& shown, double stored, double fallback) {
    if (edit->text() == shown) return stored;
    return ParseLocaleNumber(edit->text()).value_or(fallback);
}

// A mass field: a negative mass is kept as none, which the field shows as "?".
void ShowMass(QLineEdit* edit, double mass, double& stored, QString& shown) {
    stored = mass < 0.0 ? 0.0 : mass;
    shown = MassText(stored);
    edit->setText(shown);
}

double ReadMass(const QLineEdit* edit, double& stored, QString& shown) {
    stored = FieldValue(edit, shown, stored, 0.0);
    shown = edit->text();
    return stored;
}

}  // namespace

TSetChannelPropertiesForm::TSetChannelPropertiesForm(QWidget* parent) : QDialog(parent) {
    QFrame* bevel = SetUpDialog(this, QString());  // titled by the channel it edits
    auto* grid = LayOutFrame<QGridLayout>(bevel, {8, 8, 8, 8});
    grid->setVerticalSpacing(6);

    grid->addWidget(new QLabel(QStringLiteral("Геометрические размеры, мм"), bevel), 0, 0, 1, 2);
    auto* dimensions = new QHBoxLayout;
    auto addDimension = [&](const char* name, QLabel*& label, QLineEdit*& edit) {
        label = new QLabel(QString::fromLatin1(name), bevel);
        edit = new QLineEdit(bevel);
        FitEditToText(edit, FormatPattern("0.0", -8888.8), 60);
        label->setBuddy(edit);
        dimensions->addWidget(label);
        dimensions->addWidget(edit);
    };
    addDimension("x", XLabel, XEdit);
    dimensions->addSpacing(6);
    addDimension("y", YLabel, YEdit);
    dimensions->addSpacing(6);
    addDimension("z", ZLabel, ZEdit);
    dimensions->addStretch(1);
    grid->addLayout(dimensions, 1, 0, 1, 2);
    grid->addWidget(MakeLine(bevel), 2, 0, 1, 2);

    auto addField = [&](int row, const char* caption, int designWidth) {
        auto* label = new QLabel(QString::fromUtf8(caption), bevel);
        auto* edit = new QLineEdit(bevel);
        FitEditToText(edit, FormatPattern("0.0", -88888.8), designWidth);
        label->setBuddy(edit);
        grid->addWidget(label, row, 0);
        grid->addWidget(edit, row, 1);
        return edit;
    };
    PrimaryWeightEdit = addField(3, "Вес исходный, г", 100);
    SaturatedWeightEdit = addField(4, "Вес насыщенный, г", 100);
    grid->addWidget(MakeLine(bevel), 5, 0, 1, 2);
    AgeEdit = addField(6, "Возраст", 100);
    grid->setColumnStretch(1, 1);

    MakeApplyCancelButtons(this, ApplyButton, CancelButton);

    for (QLineEdit* edit : {XEdit, YEdit, ZEdit, PrimaryWeightEdit, SaturatedWeightEdit})
        InstallNumberKeyFilter(edit, QString());
    setTabOrder(ApplyButton, XEdit);
    setTabOrder(XEdit, YEdit);
    setTabOrder(YEdit, ZEdit);
    setTabOrder(ZEdit, PrimaryWeightEdit);
    setTabOrder(PrimaryWeightEdit, SaturatedWeightEdit);
    setTabOrder(SaturatedWeightEdit, AgeEdit);
    setTabOrder(AgeEdit, CancelButton);
    FitDialog(this, QSize(274, 231));
    FocusWhenShown(this, ApplyButton);
}

void TSetChannelPropertiesForm::SetChannelNumber(int channelNumber) {
    channelNumber_ = channelNumber;
    setWindowTitle(QStringLiteral("Канал %1").arg(channelNumber));
}

void TSetChannelPropertiesForm::SetDimensions(std::int32_t geometryKind, const Dimensions& dimensions) {
    geometryKind_ = geometryKind;
    rememberedDimensions_ = dimensions;
    if (geometryKind == 0 || geometryKind == 1) {
        XLabel->setText(QStringLiteral("x"));
        YLabel->setText(QStringLiteral("y"));
        ZLabel->setText(QStringLiteral("z"));
        ZLabel->setVisible(true);
        ZEdit->setVisible(true);
    } else if (geometryKind == 2) {
        XLabel->setText(QStringLiteral("d"));
        YLabel->setText(QStringLiteral("h"));
        ZLabel->setVisible(false);
        ZEdit->setVisible(false);
    }
    std::array<QLineEdit*, 3> edits{XEdit, YEdit, ZEdit};
    for (std::size_t i = 0; i < edits.size(); ++i) {
        if (geometryKind == 2 && i == 2) continue;
        shownDimensions_[i] = FormatPattern("0.0", dimensions[i]);
        edits[i]->setText(shownDimensions_[i]);
    }
}

Dimensions TSetChannelPropertiesForm::GetDimensions() const {
    Dimensions result = rememberedDimensions_;
    result[0] = FieldValue(XEdit, shownDimensions_[0], rememberedDimensions_[0], rememberedDimensions_[0]);
    result[1] = FieldValue(YEdit, shownDimensions_[1], rememberedDimensions_[1], rememberedDimensions_[1]);
    if (geometryKind_ != 2)
        result[2] = FieldValue(ZEdit, shownDimensions_[2], rememberedDimensions_[2], rememberedDimensions_[2]);
    return result;
}

void TSetChannelPropertiesForm::SetPrimaryWeight(double mass) {
    ShowMass(PrimaryWeightEdit, mass, primaryWeight_, shownPrimaryWeight_);
}

double TSetChannelPropertiesForm::GetPrimaryWeight() {
    return ReadMass(PrimaryWeightEdit, primaryWeight_, shownPrimaryWeight_);
}

void TSetChannelPropertiesForm::SetSaturatedWeight(double mass) {
    ShowMass(SaturatedWeightEdit, mass, saturatedWeight_, shownSaturatedWeight_);
}

double TSetChannelPropertiesForm::GetSaturatedWeight() {
    return ReadMass(SaturatedWeightEdit, saturatedWeight_, shownSaturatedWeight_);
}

void TSetChannelPropertiesForm::SetPatternAge(const QString& age) { AgeEdit->setText(age); }

QString TSetChannelPropertiesForm::GetPatternAge() const { return AgeEdit->text(); }

}  // namespace zemvalkorta
