#pragma once

// A picture of the instrument's display, in two chosen colours, written to a
// bitmap file and put on the clipboard at every redraw.

#include <QDialog>
#include <QString>
#include <memory>

#include "device/DeviceScreenShotUnit.h"
#include "ui/Colors.h"

class QLabel;
class QPushButton;

namespace zemvalkorta {

class TColorComboBox;

class TDeviceScreenShotForm : public QDialog {
    Q_OBJECT
public:
    explicit TDeviceScreenShotForm(std::shared_ptr<TCommandPort> port, QWidget* parent = nullptr);

    void SetPenColor(ColorValue color);
    void SetBackgroundColor(ColorValue color);
    ColorValue PenColor() const { return Pen; }
    ColorValue BackgroundColor() const { return Background; }
    void SetFileName(const QString& fileName) { FileName = fileName; }
    const TScreenPicture& Picture() const { return Buffer; }

    void GetPictureButtonClick();
    void ClearPicture();
    void DrawPicture();

    QLabel* DeviceScreenShotImage;
    TColorComboBox* PenColorComboBox;
    TColorComboBox* BackgroundColorComboBox;
    QPushButton* GetPictureButton;
    QPushButton* CloseButton;

private:
    std::shared_ptr<TCommandPort> Port;
    TScreenPicture Buffer;
    ColorValue Pen = 0x000000;
    ColorValue Background = 0xFFFFFF;
    QString FileName;
};

}  // namespace zemvalkorta
