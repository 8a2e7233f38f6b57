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
#include "report/ReportTemplate.h"

namespace zemvalkorta {

namespace {

constexpr double TitlePointSize = 10.0;
constexpr double LabelPointSize = 9.0;
constexpr double TickLength = 4.0;   // template units
constexpr double TextPadding = 6.0;  // between title, labels and axis
constexpr int MaximumTicks = 200;

QString Label(const ReportAxis& axis, const FormatSettings& separators, double value) {
    if (axis.Time) return QString::fromStdString(TimeOfDayLabel(value));
    return QString::fromStdString(FormatFloat(axis.NumberFormat.toStdString(), value, separators));
}

// Digits after the separator that the picture prints.
int DecimalsOf(const ReportAxis& axis) {
    if (axis.Time) return -1;
    const qsizetype point = axis.NumberFormat.indexOf(QLatin1Char('.'));
    if (point < 0) return 0;
    int decimals = 0;
    for (qsizetype i = point + 1; i < axis.NumberFormat.size(); ++i) {
        const QChar c = axis.NumberFormat[i];
        if (c != QLatin1Char('0') && c != QLatin1Char('#')) break;
        ++decimals;
    }
    return decimals;
}

// Text extents in the painter's template units; the fonts are made so that
// the device's metrics already come out in them.
QSizeF TextSize(const QFontMetricsF& metrics, const QString& text) {
    const QRectF bounds = metrics.boundingRect(QRectF(0, 0, 1e6, 1e6), Qt::AlignLeft | Qt::AlignTop, text);
    return bounds.size();
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
    InstallReportFonts();
    painter.save();
    painter.fillRect(box, chart.Background);
    painter.setPen(QPen(Qt::black, 1.0));
    painter.drawRect(box);

    const AxisRange x = RangeOf(chart, true, chart.Bottom.Time ? 1800.0 : 0.5);
    const AxisRange y = RangeOf(chart, false, 0.5);

    const QFont labelFont = ReportFont(painter.device(), SansFontFamily, LabelPointSize);
    const QFont titleFont = ReportFont(painter.device(), SansFontFamily, TitlePointSize);
    const QFontMetricsF labelMetrics(labelFont, painter.device());
    const QFontMetricsF titleMetrics(titleFont, painter.device());
    const double labelHeight = labelMetrics.height();
    const QSizeF leftTitle = TextSize(titleMetrics, chart.Left.Title);
    const QSizeF bottomTitle = TextSize(titleMetrics, chart.Bottom.Title);

    // Margins as the channel charts keep them: 1 % left and bottom, 4 % top
    // and right. Everything written stays inside them.
    const QRectF inner =
        box.adjusted(box.width() * 0.01, box.height() * 0.04, -box.width() * 0.04, -box.height() * 0.01);
    const double plotTop = inner.top() + labelHeight / 2;  // the top label's upper half
    const double plotBottom = inner.bottom() - TickLength - labelHeight - TextPadding - bottomTitle.height();
    const AxisTicks yTicks = ChooseAxisTicks(y, chart.Left.Step, plotBottom - plotTop, labelHeight, chart.Left.Time,
                                             DecimalsOf(chart.Left), MaximumTicks);
    QStringList leftLabels;
    double leftLabelWidth = 0;
    for (double value : yTicks.Values) {
        leftLabels.append(Label(chart.Left, chart.Separators, value));
        leftLabelWidth = std::max(leftLabelWidth, labelMetrics.horizontalAdvance(leftLabels.back()));
    }
    const double plotLeft = inner.left() + leftTitle.width() + TextPadding + leftLabelWidth + TickLength + 2;
    const QRectF plot(QPointF(plotLeft, plotTop), QPointF(inner.right(), plotBottom));
    if (plot.width() <= 1 || plot.height() <= 1) {
        painter.restore();
        return;
    }

    const double bottomLabelWidth =
        std::max(labelMetrics.horizontalAdvance(Label(chart.Bottom, chart.Separators, x.Minimum)),
                 labelMetrics.horizontalAdvance(Label(chart.Bottom, chart.Separators, x.Maximum)));
    const AxisTicks xTicks = ChooseAxisTicks(x, chart.Bottom.Step, plot.width(), bottomLabelWidth, chart.Bottom.Time,
                                             DecimalsOf(chart.Bottom), MaximumTicks);

    painter.setFont(labelFont);
    const QPen grid(QColor(160, 160, 160), 0.75);
    const QPen ink(Qt::black, 1.0);
    for (std::size_t i = 0; i < yTicks.Values.size(); ++i) {
        const double value = yTicks.Values[i];
        const double at = plot.bottom() - (value - y.Minimum) / (y.Maximum - y.Minimum) * plot.height();
        painter.setPen(grid);
        painter.drawLine(QPointF(plot.left(), at), QPointF(plot.right(), at));
        painter.setPen(ink);
        painter.drawLine(QPointF(plot.left() - TickLength, at), QPointF(plot.left(), at));
        const QRectF cell(plot.left() - TickLength - 2 - leftLabelWidth, at - labelHeight / 2, leftLabelWidth,
                          labelHeight);
        painter.drawText(cell, Qt::AlignRight | Qt::AlignVCenter | Qt::TextDontClip,
                         leftLabels[static_cast<qsizetype>(i)]);
    }
    for (double value : xTicks.Values) {
        const double at = plot.left() + (value - x.Minimum) / (x.Maximum - x.Minimum) * plot.width();
        painter.setPen(grid);
        painter.drawLine(QPointF(at, plot.top()), QPointF(at, plot.bottom()));
        painter.setPen(ink);
        painter.drawLine(QPointF(at, plot.bottom()), QPointF(at, plot.bottom() + TickLength));
        const QString text = Label(chart.Bottom, chart.Separators, value);
        const double width = labelMetrics.horizontalAdvance(text) + 2;
        // Centred under its tick, moved inwards where the margin is narrower than half a label.
        const double left = std::clamp(at - width / 2, inner.left(), box.right() - 2 - width);
        painter.drawText(QRectF(left, plot.bottom() + TickLength, width, labelHeight),
                         Qt::AlignHCenter | Qt::AlignTop | Qt::TextDontClip, text);
    }
    painter.setPen(ink);
    painter.drawLine(plot.bottomLeft(), plot.bottomRight());
    painter.drawLine(plot.bottomLeft(), plot.topLeft());

    painter.setFont(titleFont);
    painter.drawText(
        QRectF(inner.left(), plot.center().y() - leftTitle.height() / 2, leftTitle.width(), leftTitle.height()),
        Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, chart.Left.Title);
    painter.drawText(QRectF(plot.left(), inner.bottom() - bottomTitle.height(), plot.width(), bottomTitle.height()),
                     Qt::AlignHCenter | Qt::AlignTop | Qt::TextDontClip, chart.Bottom.Title);

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
