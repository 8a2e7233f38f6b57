#include "ui/ProgressGauge.h"

#include <QPainter>
#include <QStyleOptionProgressBar>

namespace zemvalkorta {

ProgressGauge::ProgressGauge(QWidget* parent) : QProgressBar(parent) {
    setTextVisible(true);
    setAlignment(Qt::AlignCenter);
}

void ProgressGauge::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QStyleOptionProgressBar option;
    initStyleOption(&option);
    // The style draws the groove only; the bar and the text are ours, so that their colours are known.
    option.textVisible = false;
    style()->drawControl(QStyle::CE_ProgressBarGroove, &option, &painter, this);
    const QRect inside = style()->subElementRect(QStyle::SE_ProgressBarContents, &option, this);
    const int span = maximum() - minimum();
    const int filled = span > 0 ? int(qint64(inside.width()) * (value() - minimum()) / span) : 0;
    const QRect bar(inside.left(), inside.top(), filled, inside.height());
    painter.fillRect(bar, BarColor());

    const QString label = text();
    painter.save();
    painter.setClipRect(bar);
    painter.setPen(Qt::white);
    painter.drawText(inside, Qt::AlignCenter, label);
    painter.restore();
    painter.save();
    painter.setClipRegion(QRegion(inside).subtracted(QRegion(bar)));
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(inside, Qt::AlignCenter, label);
    painter.restore();
}

}  // namespace zemvalkorta
