#include "ui/DeviceScreenShotForm.h"

#include <QFile>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

#include "ui/ColorComboBox.h"
#include "ui/CommandErrors.h"
#include "ui/DialogLayout.h"
#include "ui/MessageBoxes.h"

namespace zemvalkorta {

TDeviceScreenShotForm::TDeviceScreenShotForm(std::shared_ptr<CommandPort> port, QWidget* parent)
    : QDialog(parent), port_(std::move(port)) {
    QFrame* bevel = SetUpDialog(this, QStringLiteral("Картинка с экрана прибора"));
    auto* bevelLayout = LayOutFrame<QHBoxLayout>(bevel, {8, 8, 8, 8}, 10);
    DeviceScreenShotImage = new QLabel(bevel);
    DeviceScreenShotImage->setFixedSize(PictureWidth, PictureHeight);
    bevelLayout->addWidget(DeviceScreenShotImage, 0, Qt::AlignTop);
    auto* controls = new QGridLayout;
    controls->setVerticalSpacing(4);
    auto* penLabel = new QLabel(QStringLiteral("Перо"), bevel);
    PenColorComboBox = new ColorComboBox(bevel);
    PenColorComboBox->setMinimumSize(117, 22);
    auto* backgroundLabel = new QLabel(QStringLiteral("Фон"), bevel);
    BackgroundColorComboBox = new ColorComboBox(bevel);
    BackgroundColorComboBox->setMinimumSize(117, 22);
    GetPictureButton = MakeDialogButton(QStringLiteral("Прочитать картинку"), bevel);
    GetPictureButton->setMinimumWidth(147);
    penLabel->setBuddy(PenColorComboBox);
    backgroundLabel->setBuddy(BackgroundColorComboBox);
    controls->addWidget(penLabel, 0, 0);
    controls->addWidget(PenColorComboBox, 0, 1);
    controls->addWidget(backgroundLabel, 1, 0);
    controls->addWidget(BackgroundColorComboBox, 1, 1);
    controls->addWidget(GetPictureButton, 2, 0, 1, 2);
    controls->setRowStretch(3, 1);
    bevelLayout->addLayout(controls, 1);
    CloseButton = MakeDialogButton(QStringLiteral("Закрыть"), this);
    CloseButton->setDefault(true);
    AddButtonRow(this, {CloseButton});
    FitDialog(this, QSize(322, 142));

    ConnectCommand(GetPictureButton, &QPushButton::clicked, this, &TDeviceScreenShotForm::GetPictureButtonClick);
    connect(CloseButton, &QPushButton::clicked, this, &QDialog::accept);
    // A new colour writes the picture's file again, which may fail.
    ConnectCommand(PenColorComboBox, &ColorComboBox::ColorPicked, this, [this](ColorValue color) {
        pen_ = color;
        DrawPicture();
    });
    ConnectCommand(BackgroundColorComboBox, &ColorComboBox::ColorPicked, this, [this](ColorValue color) {
        background_ = color;
        DrawPicture();
    });
    PenColorComboBox->SetColor(pen_);
    BackgroundColorComboBox->SetColor(background_);
}

void TDeviceScreenShotForm::SetPenColor(ColorValue color) {
    pen_ = color;
    PenColorComboBox->SetColor(color);
    DrawPicture();
}

void TDeviceScreenShotForm::SetBackgroundColor(ColorValue color) {
    background_ = color;
    BackgroundColorComboBox->SetColor(color);
    DrawPicture();
}

void TDeviceScreenShotForm::ClearPicture() { buffer_.ClearPicture(); }

void TDeviceScreenShotForm::GetPictureButtonClick() {
    std::array<std::uint8_t, DisplayBytes> display{};
    const std::uint32_t status = port_ ? FetchDisplay(*port_, display) : 0xFFFFFFFFu;
    if (status != 0) {
        ClearPicture();
        DrawPicture();
        ShowMessage(this, QString::fromUtf8(ScreenCommunicationErrorText), MessageIcon::Error, MessageButtons::Ok,
                    QString());
        return;
    }
    buffer_.SetDisplay(display);
    DrawPicture();
}

void TDeviceScreenShotForm::DrawPicture() {
    const QImage image = PaintPicture(buffer_, pen_, background_);
    DeviceScreenShotImage->setPixmap(QPixmap::fromImage(image));
    if (!fileName_.isEmpty()) SavePictureBitmap(image, QFile::encodeName(fileName_).toStdString());
    CopyPictureToClipboard(image);
}

}  // namespace zemvalkorta
