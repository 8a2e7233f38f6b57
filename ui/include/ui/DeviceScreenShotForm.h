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

class ColorComboBox;

class TDeviceScreenShotForm : public QDialog {
    Q_OBJECT
public:
    explicit TDeviceScreenShotForm(std::shared_ptr<CommandPort> port, QWidget* parent = nullptr);

    void SetPenColor(ColorValue color);
    void SetBackgroundColor(ColorValue color);
    ColorValue PenColor() const { return pen_; }
    ColorValue BackgroundColor() const { return background_; }
    void SetFileName(const QString& fileName) { fileName_ = fileName; }
    const ScreenPicture& Picture() const { return buffer_; }

    void GetPictureButtonClick();
    void ClearPicture();
    void DrawPicture();

    QLabel* DeviceScreenShotImage;
    ColorComboBox* PenColorComboBox;
    ColorComboBox* BackgroundColorComboBox;
    QPushButton* GetPictureButton;
    QPushButton* CloseButton;

private:
    std::shared_ptr<CommandPort> port_;
    ScreenPicture buffer_;
    ColorValue pen_ = 0x000000;
    ColorValue background_ = 0xFFFFFF;
    QString fileName_;
};

}  // namespace zemvalkorta
