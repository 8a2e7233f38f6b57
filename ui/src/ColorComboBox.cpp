#include "ui/ColorComboBox.h"

#include <QPainter>
#include <QPixmap>

namespace zemvalkorta {

ColorComboBox::ColorComboBox(QWidget* parent) : QComboBox(parent) {
    setIconSize(QSize(40, 12));
    for (ColorValue color : StandardColors) {
        QPixmap swatch(40, 12);
        swatch.fill(ToQColor(color));
        QPainter painter(&swatch);
        painter.setPen(Qt::gray);
        painter.drawRect(0, 0, 39, 11);
        addItem(QIcon(swatch), QString(), QVariant::fromValue(color));
    }
    setCurrentIndex(-1);
    connect(this, &QComboBox::activated, this, [this](int index) {
        if (index >= 0) Q_EMIT ColorPicked(Color());
    });
}

void ColorComboBox::SetColor(ColorValue color) {
    int found = -1;
    for (int i = 0; i < int(StandardColors.size()); ++i)
        if (StandardColors[i] == color) found = i;
    setCurrentIndex(found);
}

ColorValue ColorComboBox::Color() const {
    const int index = currentIndex();
    return index < 0 ? 0 : StandardColors[index];
}

}  // namespace zemvalkorta
