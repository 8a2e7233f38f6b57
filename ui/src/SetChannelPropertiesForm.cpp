#include "ui/SetChannelPropertiesForm.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "ui/LocaleNumbers.h"

namespace zemvalkorta {
namespace {

QLabel* PlaceLabel(QWidget* parent, const QString& text, int x, int y) {
    auto* label = new QLabel(text, parent);
    label->move(x, y);
    return label;
}

QLineEdit* PlaceEdit(QWidget* parent, int x, int y, int width) {
    auto* edit = new QLineEdit(parent);
    edit->setGeometry(x, y, width, 21);
    return edit;
}

QFrame* PlaceLine(QWidget* parent, int y) {
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setGeometry(8, y, 241, 2);
    return line;
}

QString MassText(double mass) { return mass == 0.0 ? QStringLiteral("?") : FormatPattern("0.0", mass); }

}  // namespace

TSetChannelPropertiesForm::TSetChannelPropertiesForm(QWidget* parent) : QDialog(parent) {
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFixedSize(274, 231);

    auto* bevel = new QFrame(this);
    bevel->setFrameShape(QFrame::Box);
    bevel->setFrameShadow(QFrame::Sunken);
    bevel->setGeometry(8, 8, 257, 181);

    PlaceLabel(bevel, QStringLiteral("Геометрические размеры, мм"), 8, 8);
    XLabel = PlaceLabel(bevel, QStringLiteral("x"), 8, 34);
    XEdit = PlaceEdit(bevel, 20, 30, 60);
    YLabel = PlaceLabel(bevel, QStringLiteral("y"), 92, 34);
    YEdit = PlaceEdit(bevel, 104, 30, 60);
    ZLabel = PlaceLabel(bevel, QStringLiteral("z"), 176, 34);
    ZEdit = PlaceEdit(bevel, 188, 30, 60);
    PlaceLine(bevel, 60);
    PlaceLabel(bevel, QStringLiteral("Вес исходный, г"), 8, 74);
    PrimaryWeightEdit = PlaceEdit(bevel, 148, 70, 100);
    PlaceLabel(bevel, QStringLiteral("Вес насыщенный, г"), 8, 102);
    SaturatedWeightEdit = PlaceEdit(bevel, 148, 98, 100);
    PlaceLine(bevel, 128);
    PlaceLabel(bevel, QStringLiteral("Возраст"), 8, 146);
    AgeEdit = PlaceEdit(bevel, 148, 142, 100);

    ApplyButton = new QPushButton(QStringLiteral("Применить"), this);
    ApplyButton->setGeometry(56, 197, 75, 25);
    ApplyButton->setDefault(true);
    CancelButton = new QPushButton(QStringLiteral("Отмена"), this);
    CancelButton->setGeometry(143, 197, 75, 25);
    connect(ApplyButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);

    for (QLineEdit* edit : {XEdit, YEdit, ZEdit, PrimaryWeightEdit, SaturatedWeightEdit})
        InstallNumberKeyFilter(edit, QString());
    setTabOrder(ApplyButton, XEdit);
    setTabOrder(XEdit, YEdit);
    setTabOrder(YEdit, ZEdit);
    setTabOrder(ZEdit, PrimaryWeightEdit);
    setTabOrder(PrimaryWeightEdit, SaturatedWeightEdit);
    setTabOrder(SaturatedWeightEdit, AgeEdit);
    ApplyButton->setFocus();
}

void TSetChannelPropertiesForm::SetChannelNumber(int channelNumber) {
    ChannelNumber = channelNumber;
    setWindowTitle(QStringLiteral("Канал %1").arg(channelNumber));
}

void TSetChannelPropertiesForm::SetDimensions(std::int32_t geometryKind, const Dimensions& dimensions) {
    GeometryKind = geometryKind;
    RememberedDimensions = dimensions;
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
    XEdit->setText(FormatPattern("0.0", dimensions[0]));
    YEdit->setText(FormatPattern("0.0", dimensions[1]));
    if (geometryKind != 2) ZEdit->setText(FormatPattern("0.0", dimensions[2]));
}

Dimensions TSetChannelPropertiesForm::GetDimensions() const {
    Dimensions result = RememberedDimensions;
    result[0] = ParseLocaleNumber(XEdit->text()).value_or(RememberedDimensions[0]);
    result[1] = ParseLocaleNumber(YEdit->text()).value_or(RememberedDimensions[1]);
    if (GeometryKind != 2) result[2] = ParseLocaleNumber(ZEdit->text()).value_or(RememberedDimensions[2]);
    return result;
}

void TSetChannelPropertiesForm::SetPrimaryWeight(double mass) {
    PrimaryWeight = mass < 0.0 ? 0.0 : mass;
    PrimaryWeightEdit->setText(MassText(PrimaryWeight));
}

double TSetChannelPropertiesForm::GetPrimaryWeight() {
    PrimaryWeight = ParseLocaleNumber(PrimaryWeightEdit->text()).value_or(0.0);
    return PrimaryWeight;
}

void TSetChannelPropertiesForm::SetSaturatedWeight(double mass) {
    SaturatedWeight = mass < 0.0 ? 0.0 : mass;
    SaturatedWeightEdit->setText(MassText(SaturatedWeight));
}

double TSetChannelPropertiesForm::GetSaturatedWeight() {
    SaturatedWeight = ParseLocaleNumber(SaturatedWeightEdit->text()).value_or(0.0);
    return SaturatedWeight;
}

void TSetChannelPropertiesForm::SetPatternAge(const QString& age) { AgeEdit->setText(age); }

QString TSetChannelPropertiesForm::GetPatternAge() const { return AgeEdit->text(); }

}  // namespace zemvalkorta
