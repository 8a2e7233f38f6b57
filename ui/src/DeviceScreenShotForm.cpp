#include "ui/DeviceScreenShotForm.h"

#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

#include "ui/ColorComboBox.h"
#include "ui/MessageBoxes.h"

namespace zemvalkorta {

TDeviceScreenShotForm::TDeviceScreenShotForm(std::shared_ptr<TCommandPort> port, QWidget* parent)
    : QDialog(parent), Port(std::move(port)) {
    setWindowTitle(QStringLiteral("Картинка с экрана прибора"));
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFixedSize(322, 142);

    auto* bevel = new QFrame(this);
    bevel->setFrameShape(QFrame::Box);
    bevel->setFrameShadow(QFrame::Sunken);
    bevel->setGeometry(8, 8, 305, 89);
    DeviceScreenShotImage = new QLabel(bevel);
    DeviceScreenShotImage->setGeometry(8, 10, PictureWidth, PictureHeight);
    auto* penLabel = new QLabel(QStringLiteral("Перо"), bevel);
    penLabel->move(150, 12);
    PenColorComboBox = new TColorComboBox(bevel);
    PenColorComboBox->setGeometry(180, 8, 117, 22);
    auto* backgroundLabel = new QLabel(QStringLiteral("Фон"), bevel);
    backgroundLabel->move(150, 38);
    BackgroundColorComboBox = new TColorComboBox(bevel);
    BackgroundColorComboBox->setGeometry(180, 34, 117, 22);
    GetPictureButton = new QPushButton(QStringLiteral("Прочитать картинку"), bevel);
    GetPictureButton->setGeometry(150, 60, 147, 25);
    CloseButton = new QPushButton(QStringLiteral("Закрыть"), this);
    CloseButton->setGeometry(123, 108, 75, 25);
    CloseButton->setDefault(true);

    connect(GetPictureButton, &QPushButton::clicked, this, &TDeviceScreenShotForm::GetPictureButtonClick);
    connect(CloseButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(PenColorComboBox, &TColorComboBox::ColorPicked, this, [this](ColorValue color) {
        Pen = color;
        DrawPicture();
    });
    connect(BackgroundColorComboBox, &TColorComboBox::ColorPicked, this, [this](ColorValue color) {
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
