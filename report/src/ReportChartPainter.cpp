#include <QFont>
#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainterPath>
#include <QPen>
#include <algorithm>
#include <cmath>
#include <limits>

#include "core/FrostGraphicAxis.h"
#include "report/ReportRenderer.h"

namespace zemvalkorta {

namespace {

constexpr double LabelGap = 20.0;  // least distance between axis labels, as the channel charts keep
constexpr double LeftTitleWidth = 60.0;
constexpr double LeftLabelWidth = 56.0;
constexpr double TitlePointSize = 10.0;
constexpr double LabelPointSize = 9.0;
constexpr int MaximumTicks = 200;

QFont ChartFont(const QPainter& painter, double pointSize) {
    QFont font(SansFontFamily);
    const int deviceDpi = painter.device() ? painter.device()->logicalDpiY() : 96;
    font.setPointSizeF(pointSize * TemplateUnitsPerInch / deviceDpi);
    return font;
}

QString Label(const ReportAxis& axis, const FormatSettings& separators, double value) {
    if (axis.Time) return QString::fromStdString(TimeOfDayLabel(value));
    return QString::fromStdString(FormatFloat(axis.NumberFormat.toStdString(), value, separators));
}

AxisRange RangeOf(const ReportChart& chart, bool horizontal, double halfSpanWhenFlat) {
    double low = std::numeric_limits<double>::infinity();
    double high = -low;
    for (const auto& series : chart.Series)
        for (const QPointF& point : series.Points) {
            const double value = horizontal ? point.x() : point.y();
            if (!std::isfinite(value)) continue;
            low = std::min(low, value);
            high = std::max(high, value);
        }
    return PaddedRange(low, high, halfSpanWhenFlat);
}

void DrawSeries(QPainter& painter, const ReportSeries& series, const QRectF& plot, const AxisRange& x,
                const AxisRange& y) {
    QPainterPath path;
    bool started = false;
    for (const QPointF& point : series.Points) {
        if (!std::isfinite(point.x()) || !std::isfinite(point.y())) {
            started = false;
            continue;
        }
        const QPointF at(plot.left() + (point.x() - x.Minimum) / (x.Maximum - x.Minimum) * plot.width(),
                         plot.bottom() - (point.y() - y.Minimum) / (y.Maximum - y.Minimum) * plot.height());
        if (started) {
            path.lineTo(at);
        } else {
            path.moveTo(at);
            started = true;
        }
    }
    painter.setPen(QPen(series.Colour, 1.5));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(path);
}

}  // namespace

void DrawReportChart(QPainter& painter, const QRectF& box, const ReportChart& chart) {
    painter.save();
    painter.fillRect(box, chart.Background);
    painter.setPen(QPen(Qt::black, 1.0));
    painter.drawRect(box);

    const AxisRange x = RangeOf(chart, true, chart.Bottom.Time ? 1800.0 : 0.5);
    const AxisRange y = RangeOf(chart, false, 0.5);

    const QFont labelFont = ChartFont(painter, LabelPointSize);
    const double deviceScale = (painter.device() ? painter.device()->logicalDpiY() : 96) / TemplateUnitsPerInch;
    const double labelHeight = QFontMetricsF(labelFont, painter.device()).height() / deviceScale;
    // Margins as the channel charts keep them: 1 % left and bottom, 4 % top and right.
    const QRectF inner =
        box.adjusted(box.width() * 0.01, box.height() * 0.04, -box.width() * 0.04, -box.height() * 0.01);
    const QRectF plot(inner.left() + LeftTitleWidth + LeftLabelWidth, inner.top(),
                      inner.width() - LeftTitleWidth - LeftLabelWidth, inner.height() - 2 * labelHeight - 16);

    const double yStep =
        ChooseAxisStep(y.Maximum - y.Minimum, chart.Left.Step, plot.height(), labelHeight + LabelGap, chart.Left.Time);
    const double xStep = ChooseAxisStep(x.Maximum - x.Minimum, chart.Bottom.Step, plot.width(),
                                        4 * labelHeight + LabelGap, chart.Bottom.Time);

    painter.setFont(labelFont);
    const QPen grid(QColor(160, 160, 160), 0.75);
    for (double value : AxisTickValues(y.Minimum, y.Maximum, yStep, MaximumTicks)) {
        const double at = plot.bottom() - (value - y.Minimum) / (y.Maximum - y.Minimum) * plot.height();
        painter.setPen(grid);
        painter.drawLine(QPointF(plot.left(), at), QPointF(plot.right(), at));
        painter.setPen(Qt::black);
        painter.drawText(QRectF(plot.left() - LeftLabelWidth, at - labelHeight / 2, LeftLabelWidth - 4, labelHeight),
                         Qt::AlignRight | Qt::AlignVCenter, Label(chart.Left, chart.Separators, value));
    }
    for (double value : AxisTickValues(x.Minimum, x.Maximum, xStep, MaximumTicks)) {
        const double at = plot.left() + (value - x.Minimum) / (x.Maximum - x.Minimum) * plot.width();
        painter.setPen(grid);
        painter.drawLine(QPointF(at, plot.top()), QPointF(at, plot.bottom()));
        painter.setPen(Qt::black);
        painter.drawText(QRectF(at - 40, plot.bottom() + 4, 80, labelHeight), Qt::AlignHCenter | Qt::AlignTop,
                         Label(chart.Bottom, chart.Separators, value));
    }
    painter.setPen(QPen(Qt::black, 1.0));
    painter.drawLine(plot.bottomLeft(), plot.bottomRight());
    painter.drawLine(plot.bottomLeft(), plot.topLeft());

    painter.setFont(ChartFont(painter, TitlePointSize));
    painter.drawText(QRectF(inner.left(), plot.top(), LeftTitleWidth, plot.height()), Qt::AlignLeft | Qt::AlignVCenter,
                     chart.Left.Title);
    painter.drawText(QRectF(plot.left(), plot.bottom() + labelHeight + 8, plot.width(), labelHeight + 8),
                     Qt::AlignHCenter | Qt::AlignTop, chart.Bottom.Title);

    painter.setClipRect(plot.adjusted(-1, -1, 1, 1), Qt::IntersectClip);
    for (const auto& series : chart.Series) DrawSeries(painter, series, plot, x, y);
    painter.restore();
}

void ClearReportGraphics(ReportChart& chart) {
    for (auto& series : chart.Series) series.Points.clear();
    chart.Left.Title.clear();
    chart.Bottom.Title.clear();
}

}  // namespace zemvalkorta
