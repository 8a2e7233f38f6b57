#include "ui/TettaPaintBox.h"

#include <QFontMetrics>
#include <QLocale>
#include <QPaintEvent>
#include <QPainter>

namespace zemvalkorta {

namespace {

constexpr int TickTop = 1;
constexpr int TickBottom = 8;
constexpr int MarkTop = 1;
constexpr int MarkBottom = 21;

void DrawTextAt(QPainter& painter, int x, int y, const QString& text) {
    // Positions name the top-left corner of the text, as the scale was laid out.
    painter.drawText(QPoint(x, y + painter.fontMetrics().ascent()), text);
}

void DrawVertical(QPainter& painter, int x, int top, int bottom, const QColor& colour) {
    painter.fillRect(QRect(x, top, 1, bottom - top + 1), colour);
}

}  // namespace

TettaPaintBox::TettaPaintBox(QWidget* parent) : QWidget(parent) {
    setAutoFillBackground(true);
    setMinimumHeight(TettaPaintBoxHeight);
}

QSize TettaPaintBox::sizeHint() const {
    return {TettaFirstTickX + TettaIntervalPixels * FrostGradeCount + 40, TettaPaintBoxHeight};
}
QSize TettaPaintBox::minimumSizeHint() const { return {0, TettaPaintBoxHeight}; }

void TettaPaintBox::ShowTetta(const TettaStripValues& values, const std::array<QColor, ChannelCount>& channelColours) {
    values_ = values;
    channelColours_ = channelColours;
    update();
}

void TettaPaintBox::ClearTettaPaintBox() {
    values_.HasData = false;
    update();
}

void TettaPaintBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    TettaPaintBoxPaint(painter);
}

void TettaPaintBox::TettaPaintBoxPaint(QPainter& painter) const {
    painter.save();
    painter.setPen(Qt::black);
    for (int i = 0; i <= FrostGradeCount; ++i)
        DrawVertical(painter, TettaFirstTickX + TettaIntervalPixels * i, TickTop, TickBottom, Qt::black);

    QFont font = this->font();
    font.setPointSize(7);
    painter.setFont(font);
    DrawTextAt(painter, 2, 0, QStringLiteral("F"));
    for (int i = 0; i < FrostGradeCount; ++i)
        DrawTextAt(painter, 60 + TettaIntervalPixels * i, 0, QString::number(FrostGrades[static_cast<std::size_t>(i)]));

    const int row = GradeRow(values_.GeometryKind, values_.ConcreteKind);
    if (!values_.HasData || row < 0 || row >= FrostRowCount) {
        painter.restore();
        return;
    }

    font.setPointSize(8);
    painter.setFont(font);
    DrawTextAt(painter, 2, 10, QStringLiteral("Θx10³"));
    const FrostRow& boundaries = FrostTable[static_cast<std::size_t>(row)];
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    for (int i = 0; i < FrostBoundaryCount; ++i) {
        const double boundary = boundaries[static_cast<std::size_t>(i)];
        if (boundary == FrostNoUpperLimit || boundary == FrostRowEnd || boundary == FrostNoBoundary) continue;
        DrawTextAt(painter, 30 + TettaIntervalPixels * i, 10, locale.toString(boundary, 'f', 2));
    }

    for (int channel = 0; channel < ChannelCount; ++channel) {
        const int position = TettaPosition(values_.GeometryKind, values_.ConcreteKind,
                                           values_.ChannelTetta[static_cast<std::size_t>(channel)]);
        if (position == -1) continue;
        const QColor& colour = channelColours_[static_cast<std::size_t>(channel)];
        DrawVertical(painter, TettaFirstTickX + position - 1, MarkTop, MarkBottom, colour);
        DrawVertical(painter, TettaFirstTickX + position, MarkTop, MarkBottom, colour);
    }
    // Last, so that it lies over a channel mark at the same place.
    const int mean = TettaPosition(values_.GeometryKind, values_.ConcreteKind, values_.AverageTetta);
    if (mean != -1) DrawVertical(painter, TettaFirstTickX + mean, MarkTop, MarkBottom, Qt::black);
    painter.restore();
}

}  // namespace zemvalkorta
