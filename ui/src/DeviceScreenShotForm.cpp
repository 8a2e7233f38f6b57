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

TDeviceScreenShotForm::TDeviceScreenShotForm(std::shared_ptr<TCommandPort> port, QWidget* parent)
    : QDialog(parent), Port(std::move(port)) {
    QFrame* bevel = SetUpDialog(this, QStringLiteral("Картинка с экрана прибора"));
    auto* bevelLayout = LayOutFrame<QHBoxLayout>(bevel, {8, 8, 8, 8}, 10);
    DeviceScreenShotImage = new QLabel(bevel);
    DeviceScreenShotImage->setFixedSize(PictureWidth, PictureHeight);
    bevelLayout->addWidget(DeviceScreenShotImage, 0, Qt::AlignTop);
    auto* controls = new QGridLayout;
    controls->setVerticalSpacing(4);
    auto* penLabel = new QLabel(QStringLiteral("Перо"), bevel);
    PenColorComboBox = new TColorComboBox(bevel);
    PenColorComboBox->setMinimumSize(117, 22);
    auto* backgroundLabel = new QLabel(QStringLiteral("Фон"), bevel);
    BackgroundColorComboBox = new TColorComboBox(bevel);
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
    ConnectCommand(PenColorComboBox, &TColorComboBox::ColorPicked, this, [this](ColorValue color) {
        Pen = color;
        DrawPicture();
    });
    ConnectCommand(BackgroundColorComboBox, &TColorComboBox::ColorPicked, this, [this](ColorValue color) {
        Background = color;
        DrawPicture();
    });
    PenColorComboBox->SetColor(Pen);
    BackgroundColorComboBox->SetColor(Background);
}

void TDeviceScreenShotForm::SetPenColor(ColorValue color) {
    Pen = color;
    PenColorComboBox->SetColor(color);
    DrawPicture();
}

void TDeviceScreenShotForm::SetBackgroundColor(ColorValue color) {
    Background = color;
    BackgroundColorComboBox->SetColor(color);
    DrawPicture();
}

void TDeviceScreenShotForm::ClearPicture() { Buffer.ClearPicture(); }

void TDeviceScreenShotForm::GetPictureButtonClick() {
    std::array<std::uint8_t, DisplayBytes> display{};
    const std::uint32_t status = Port ? FetchDisplay(*Port, display) : 0xFFFFFFFFu;
    if (status != 0) {
        ClearPicture();
        DrawPicture();
        ShowMessage(this, QString::fromUtf8(ScreenCommunicationErrorText), MessageIcon::Error, MessageButtons::Ok,
                    QString());
        return;
    }
    Buffer.SetDisplay(display);
    DrawPicture();
}

void TDeviceScreenShotForm::DrawPicture() {
    const QImage image = PaintPicture(Buffer, Pen, Background);
    DeviceScreenShotImage->setPixmap(QPixmap::fromImage(image));
    if (!FileName.isEmpty()) SavePictureBitmap(image, QFile::encodeName(FileName).toStdString());
    CopyPictureToClipboard(image);
}

}  // namespace zemvalkorta
