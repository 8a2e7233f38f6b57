#pragma once

// A drop-down list of the sixteen standard colours shown as swatches.

#include <QComboBox>

#include "ui/Colors.h"

namespace zemvalkorta {

class ColorComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit ColorComboBox(QWidget* parent = nullptr);

    // A colour outside the list shows no selection.
    void SetColor(ColorValue color);
    ColorValue Color() const;

Q_SIGNALS:
    void ColorPicked(zemvalkorta::ColorValue color);
};

}  // namespace zemvalkorta
