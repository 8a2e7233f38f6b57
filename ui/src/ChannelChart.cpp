#include "ui/ChannelChart.h"

#include <QCategoryAxis>
#include <QFontMetricsF>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QGraphicsSimpleTextItem>
#include <QLocale>
#include <QPainter>
#include <QSet>
#include <algorithm>
#include <cmath>
#include <limits>

namespace zemvalkorta {

namespace {

constexpr double LeftTitleWidth = 30.0;

QPen GridPen(ChannelChartStyle style) {
    QPen pen(QColor(0x80, 0x80, 0x80), 1, style == ChannelChartStyle::Report ? Qt::SolidLine : Qt::DotLine);
    pen.setCosmetic(true);
    return pen;
}

// Per run of consecutive points in one pixel column: the first, the lowest,
// the highest and the last, in their order. A line through them covers the
// same pixels as the line through all points.
QList<QPointF> ThinnedToColumns(const QList<QPointF>& points, double minimum, double pixelsPerUnit) {
    QList<QPointF> kept;
    kept.reserve(std::min<qsizetype>(points.size(), 4096));
    auto columnOf = [&](const QPointF& point) {
        const double column = std::floor((point.x() - minimum) * pixelsPerUnit);
        return std::isfinite(column) ? column : std::numeric_limits<double>::quiet_NaN();
    };
    qsizetype runStart = 0;
    while (runStart < points.size()) {
        const double column = columnOf(points[runStart]);
        qsizetype runEnd = runStart + 1;
        while (runEnd < points.size() && columnOf(points[runEnd]) == column) ++runEnd;
        if (runEnd - runStart <= 4) {
            for (qsizetype i = runStart; i < runEnd; ++i) kept.append(points[i]);
        } else {
            qsizetype lowest = runStart, highest = runStart;
            for (qsizetype i = runStart + 1; i < runEnd; ++i) {
                if (points[i].y() < points[lowest].y()) lowest = i;
                if (points[i].y() > points[highest].y()) highest = i;
            }
            std::array<qsizetype, 4> chosen{runStart, std::min(lowest, highest), std::max(lowest, highest), runEnd - 1};
            qsizetype previous = -1;
            for (qsizetype index : chosen) {
                if (index != previous) kept.append(points[index]);
                previous = index;
            }
        }
        runStart = runEnd;
    }
    return kept;
}

QString FromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

ChannelChart::ChannelChart(ChannelChartStyle style, int seriesCount, QGraphicsItem* parent)
    : QChart(parent), style_(style) {
    legend()->hide();
    setBackgroundRoundness(0);
    setDropShadowEnabled(false);
    setAnimationOptions(QChart::NoAnimation);
    setBackgroundBrush(Qt::white);
    setBackgroundPen(QPen(Qt::black, 1, style == ChannelChartStyle::Report ? Qt::SolidLine : Qt::DotLine));

    bottomAxis_ = new QCategoryAxis(this);
    leftAxis_ = new QCategoryAxis(this);
    for (QCategoryAxis* axis : {bottomAxis_, leftAxis_}) {
        axis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
        axis->setLinePen(QPen(Qt::black, 1));
        axis->setGridLinePen(GridPen(style));
        axis->setLabelsColor(Qt::black);
    }
    addAxis(bottomAxis_, Qt::AlignBottom);
    addAxis(leftAxis_, Qt::AlignLeft);

    for (int i = 0; i < std::max(seriesCount, 1); ++i) {
        auto* line = new QLineSeries(this);
        addSeries(line);
        line->attachAxis(bottomAxis_);
        line->attachAxis(leftAxis_);
        series_.push_back(line);
    }
    points_.resize(series_.size());
    fed_.assign(series_.size(), false);

    leftTitle_ = new QGraphicsSimpleTextItem(this);
    leftTitle_->setBrush(Qt::black);

    connect(this, &QGraphicsWidget::geometryChanged, this, [this] {
        ApplyMargins();
        PlaceLeftTitle();
    });
    connect(this, &QChart::plotAreaChanged, this, [this] {
        RefreshLabels();
        PlaceLeftTitle();
    });
    ApplyMargins();
    ResetView();
}

ChannelChart::~ChannelChart() {
    // The scene would delete its items, this chart among them, when it goes.
    if (ownScene_) ownScene_->removeItem(this);
}

QLineSeries* ChannelChart::Series(int series) const {
    if (series < 0 || series >= SeriesCount()) return nullptr;
    return series_[static_cast<std::size_t>(series)];
}

const QList<QPointF>& ChannelChart::SeriesPoints(int series) const {
    static const QList<QPointF> none;
    if (series < 0 || series >= SeriesCount()) return none;
    return points_[static_cast<std::size_t>(series)];
}

QString ChannelChart::LeftTitle() const { return leftTitle_->text(); }
QString ChannelChart::BottomTitle() const { return bottomAxis_->titleText(); }
QStringList ChannelChart::LeftLabels() const { return leftAxis_->categoriesLabels(); }
QStringList ChannelChart::BottomLabels() const { return bottomAxis_->categoriesLabels(); }

void ChannelChart::ClearGraphics() {
    for (QLineSeries* line : series_) line->clear();
    for (auto& points : points_) points.clear();
    fed_.assign(series_.size(), true);
    leftTitle_->setText(QString());
    bottomAxis_->setTitleText(QString());
    hasData_ = false;
    ResetView();
}

void ChannelChart::ShowFrostGraphic(int series, double startSeconds, int graphType, bool concrete, std::int32_t shift,
                                    std::int32_t period, const Curve& volume, const Curve& temperature,
                                    const Curve& difference, const QColor& colour) {
    ShowPoints(series, graphType,
               FrostGraphicPoints(graphType, concrete, shift, period, startSeconds, volume, temperature, difference),
               colour);
}

void ChannelChart::ShowPoints(int series, int graphType, const GraphicPointList& points, const QColor& colour) {
    ApplyAxes(graphType);
    QLineSeries* line = Series(series);
    if (!line) return;
    QPen pen(colour, style_ == ChannelChartStyle::Report ? 1.5 : 1.0);
    pen.setCosmetic(true);
    line->setPen(pen);
    if (!points.empty()) {
        QList<QPointF>& stored = points_[static_cast<std::size_t>(series)];
        stored.reserve(stored.size() + static_cast<qsizetype>(points.size()));
        for (const GraphicPoint& point : points) stored.append(QPointF(point.X, point.Y));
        fed_[static_cast<std::size_t>(series)] = false;
        IncludeInData(points);
    }
    ResetView();
}

void ChannelChart::ApplyAxes(int graphType) {
    graphType_ = NormalizedGraphicType(graphType);
    const FrostGraphicAxes& axes = AxesOfGraphicType(graphType_);
    leftTitle_->setText(FromUtf8(axes.LeftTitle));
    bottomAxis_->setTitleText(FromUtf8(axes.BottomTitle));
    ApplyMargins();
    PlaceLeftTitle();
}

void ChannelChart::IncludeInData(const GraphicPointList& points) {
    double minX = hasData_ ? dataMinX_ : std::numeric_limits<double>::infinity();
    double maxX = hasData_ ? dataMaxX_ : -std::numeric_limits<double>::infinity();
    double minY = hasData_ ? dataMinY_ : std::numeric_limits<double>::infinity();
    double maxY = hasData_ ? dataMaxY_ : -std::numeric_limits<double>::infinity();
    for (const GraphicPoint& point : points) {
        // A NaN sample leaves a gap in the line; it must not poison the scale.
        if (std::isfinite(point.X)) {
            minX = std::min(minX, point.X);
            maxX = std::max(maxX, point.X);
        }
        if (std::isfinite(point.Y)) {
            minY = std::min(minY, point.Y);
            maxY = std::max(maxY, point.Y);
        }
    }
    if (minX > maxX || minY > maxY) return;
    dataMinX_ = minX, dataMaxX_ = maxX, dataMinY_ = minY, dataMaxY_ = maxY;
    hasData_ = true;
}

void ChannelChart::EndBatch() {
    if (batchDepth_ > 0) --batchDepth_;
    if (batchDepth_ == 0 && viewPending_) ResetView();
}

void ChannelChart::ResetView() {
    if (batchDepth_ > 0) {
        viewPending_ = true;
        return;
    }
    viewPending_ = false;
    const FrostGraphicAxes& axes = AxesOfGraphicType(graphType_);
    if (!hasData_) {
        SetView(axes.BottomIsTime ? AxisRange{0.0, 3600.0} : AxisRange{0.0, 1.0}, AxisRange{0.0, 1.0});
        return;
    }
    SetView(PaddedRange(dataMinX_, dataMaxX_, axes.BottomStep), PaddedRange(dataMinY_, dataMaxY_, axes.LeftStep));
}

void ChannelChart::SetView(const AxisRange& horizontal, const AxisRange& vertical) {
    auto sane = [](AxisRange range) {
        if (!std::isfinite(range.Minimum) || !std::isfinite(range.Maximum)) return AxisRange{0.0, 1.0};
        if (range.Maximum - range.Minimum < 1e-9) range.Maximum = range.Minimum + 1e-9;
        return range;
    };
    viewX_ = sane(horizontal);
    viewY_ = sane(vertical);
    labelsKey_.clear();
    RefreshLabels();
}

void ChannelChart::ZoomAround(const QPointF& chartPosition, double factor) {
    const QRectF area = plotArea();
    if (area.width() <= 0 || area.height() <= 0 || !(factor > 0)) return;
    const double fx = std::clamp((chartPosition.x() - area.left()) / area.width(), 0.0, 1.0);
    const double fy = std::clamp((area.bottom() - chartPosition.y()) / area.height(), 0.0, 1.0);
    auto zoom = [factor](const AxisRange& range, double fraction) {
        const double span = range.Maximum - range.Minimum;
        const double anchor = range.Minimum + fraction * span;
        return AxisRange{anchor - fraction * span * factor, anchor + (1 - fraction) * span * factor};
    };
    SetView(zoom(viewX_, fx), zoom(viewY_, fy));
}

void ChannelChart::PanByPixels(const QPointF& delta) {
    const QRectF area = plotArea();
    if (area.width() <= 0 || area.height() <= 0) return;
    const double dx = -delta.x() / area.width() * (viewX_.Maximum - viewX_.Minimum);
    const double dy = delta.y() / area.height() * (viewY_.Maximum - viewY_.Minimum);
    SetView({viewX_.Minimum + dx, viewX_.Maximum + dx}, {viewY_.Minimum + dy, viewY_.Maximum + dy});
}

QString ChannelChart::ReadoutAt(const QPointF& chartPosition) const {
    const QRectF area = plotArea();
    if (!area.contains(chartPosition) || leftTitle_->text().isEmpty()) return QString();
    const FrostGraphicAxes& axes = AxesOfGraphicType(graphType_);
    const double x =
        viewX_.Minimum + (chartPosition.x() - area.left()) / area.width() * (viewX_.Maximum - viewX_.Minimum);
    const double y =
        viewY_.Minimum + (area.bottom() - chartPosition.y()) / area.height() * (viewY_.Maximum - viewY_.Minimum);
    const QString xText = axes.BottomIsTime ? FromUtf8(TimeOfDayLabelWithSeconds(x))
                                            : QLocale().toString(x, 'f', axes.BottomDecimals + 1);
    QString leftTitle = leftTitle_->text();
    leftTitle.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return QStringLiteral("%1: %2   %3: %4")
        .arg(bottomAxis_->titleText(), xText, leftTitle, QLocale().toString(y, 'f', axes.LeftDecimals + 1));
}

QString ChannelChart::LabelOf(double value, bool time, int decimals) const {
    if (time) return FromUtf8(TimeOfDayLabel(value));
    // The locale's group and decimal separators: the "#,##0.00" picture.
    return QLocale().toString(value, 'f', decimals);
}

void ChannelChart::FillCategories(QCategoryAxis* axis, const AxisRange& view, double step, bool time, int decimals) {
    for (const QString& label : axis->categoriesLabels()) axis->remove(label);
    axis->setStartValue(view.Minimum);
    axis->setRange(view.Minimum, view.Maximum);
    QSet<QString> used;
    for (double tick : AxisTickValues(view.Minimum, view.Maximum, step, 200)) {
        const QString label = LabelOf(tick, time, decimals);
        if (used.contains(label)) continue;
        used.insert(label);
        axis->append(label, tick);
    }
}

void ChannelChart::RefreshLabels() {
    if (refreshing_) return;
    const QRectF area = plotArea();
    const double width = area.width() > 1 ? area.width() : std::max(1.0, size().width() * 0.8);
    const double height = area.height() > 1 ? area.height() : std::max(1.0, size().height() * 0.8);
    const FrostGraphicAxes& axes = AxesOfGraphicType(graphType_);
    const QFontMetricsF bottomMetrics(bottomAxis_->labelsFont());
    const QFontMetricsF leftMetrics(leftAxis_->labelsFont());
    const double labelWidth =
        std::max(bottomMetrics.horizontalAdvance(LabelOf(viewX_.Minimum, axes.BottomIsTime, axes.BottomDecimals)),
                 bottomMetrics.horizontalAdvance(LabelOf(viewX_.Maximum, axes.BottomIsTime, axes.BottomDecimals)));
    const double stepX = ChooseAxisStep(viewX_.Maximum - viewX_.Minimum, axes.BottomStep, width,
                                        std::max(MinimumLabelSpacing, labelWidth + 8), axes.BottomIsTime);
    const double stepY = ChooseAxisStep(viewY_.Maximum - viewY_.Minimum, axes.LeftStep, height,
                                        std::max(MinimumLabelSpacing, leftMetrics.height() + 2), false);
    const QString key = QStringLiteral("%1 %2 %3 %4 %5 %6 %7")
                            .arg(viewX_.Minimum)
                            .arg(viewX_.Maximum)
                            .arg(viewY_.Minimum)
                            .arg(viewY_.Maximum)
                            .arg(stepX)
                            .arg(stepY)
                            .arg(graphType_);
    if (key == labelsKey_) {
        FeedSeries(width);
        return;
    }
    refreshing_ = true;
    labelsKey_ = key;
    // Every change of range lays out every series again: empty the ones about
    // to be refilled first, so that each is laid out once, at its new range.
    const bool thinned = style_ == ChannelChartStyle::Screen;
    if (thinned && FeedKey(width) != feedKey_) fed_.assign(series_.size(), false);
    for (std::size_t i = 0; i < series_.size(); ++i)
        if (!fed_[i] && series_[i]->count() > 0) series_[i]->clear();
    FillCategories(bottomAxis_, viewX_, stepX, axes.BottomIsTime, axes.BottomDecimals);
    FillCategories(leftAxis_, viewY_, stepY, false, axes.LeftDecimals);
    FeedSeries(width);
    refreshing_ = false;
}

QString ChannelChart::FeedKey(double width) const {
    if (style_ != ChannelChartStyle::Screen) return QString();
    return QStringLiteral("%1 %2").arg(viewX_.Minimum).arg(width / (viewX_.Maximum - viewX_.Minimum));
}

void ChannelChart::FeedSeries(double width) {
    // The report goes to printers and vector files: every point, whatever the size.
    const bool thinned = style_ == ChannelChartStyle::Screen;
    const double pixelsPerUnit = width / (viewX_.Maximum - viewX_.Minimum);
    const QString key = FeedKey(width);
    if (key != feedKey_) fed_.assign(series_.size(), false);
    feedKey_ = key;
    for (std::size_t i = 0; i < series_.size(); ++i) {
        if (fed_[i]) continue;
        fed_[i] = true;
        series_[i]->replace(thinned ? ThinnedToColumns(points_[i], viewX_.Minimum, pixelsPerUnit) : points_[i]);
    }
}

void ChannelChart::ApplyMargins() {
    const QSizeF chartSize = size();
    const double titleWidth = std::max(LeftTitleWidth, leftTitle_->boundingRect().width());
    setMargins(QMargins(static_cast<int>(chartSize.width() * 0.01 + titleWidth + 4),
                        static_cast<int>(chartSize.height() * 0.04), static_cast<int>(chartSize.width() * 0.04),
                        static_cast<int>(chartSize.height() * 0.01)));
}

void ChannelChart::PlaceLeftTitle() {
    const QRectF area = plotArea();
    const QRectF bounds = leftTitle_->boundingRect();
    const double top = area.height() > 0 ? area.center().y() - bounds.height() / 2 : 0;
    leftTitle_->setPos(size().width() * 0.01 + 2, std::max(0.0, top));
}

void ChannelChart::RenderInto(QPainter& painter, const QRectF& target) {
    if (!scene()) {
        ownScene_ = std::make_unique<QGraphicsScene>();
        ownScene_->addItem(this);
    }
    setPos(0, 0);
    resize(target.size());
    if (layout()) layout()->activate();
    ApplyMargins();
    if (layout()) layout()->activate();
    labelsKey_.clear();
    RefreshLabels();
    if (layout()) layout()->activate();
    PlaceLeftTitle();
    scene()->render(&painter, target, QRectF(QPointF(0, 0), target.size()), Qt::IgnoreAspectRatio);
}

}  // namespace zemvalkorta
