#pragma once

// Curve colours: the standard specimen and each channel.

#include <QDialog>
#include <vector>

#include "ui/Colors.h"

class QPushButton;
class QTableWidget;

namespace zemvalkorta {

class ColorComboBox;

class TSetColorsForm : public QDialog {
    Q_OBJECT
public:
    explicit TSetColorsForm(QWidget* parent = nullptr);

    ColorValue StandardColor() const { return standard_; }
    void SetStandardColor(ColorValue color);
    void SetColorCount(int count);
    int GetColorCount() const { return int(channelColors_.size()); }
    void SetChannelColor(int index, ColorValue color);
    ColorValue GetChannelColor(int index) const;

    // Selects a cell of the grid as the operator's click does.
    void SelectCell(int row, int column);

    QTableWidget* ColorsGrid;
    ColorComboBox* ColorBox;
    QPushButton* ApplyButton;
    QPushButton* CancelButton;

private:
    void RefreshRow(int row);
    void FitGrid();
    ColorValue RowColor(int row) const;
    void ColorsGridSelectCell(int row, int column);
    void ColorBoxChange(ColorValue color);

    ColorValue standard_ = 0;
    std::vector<ColorValue> channelColors_;
};

}  // namespace zemvalkorta
