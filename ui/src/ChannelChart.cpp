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
constexpr double TickRoom = 5.0;     // pixels Qt keeps for the tick marks outside the plot
constexpr double TextPadding = 4.0;  // between the frame, titles and labels
constexpr int MaximumTicks = 200;

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
        // Qt elides category labels to their category's width ("1:…"); the
        // labels are this chart's own items instead.
        axis->setLabelsVisible(false);
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

    // The frame is the chart's own rectangle, so that everything placed
    // inside it by the margins stays off the dotted line.
    if (layout()) layout()->setContentsMargins(0, 0, 0, 0);
    leftTitle_ = new QGraphicsSimpleTextItem(this);
    leftTitle_->setBrush(Qt::black);
    leftTitle_->setFont(leftAxis_->labelsFont());
    bottomTitle_ = new QGraphicsSimpleTextItem(this);
    bottomTitle_->setBrush(Qt::black);
    bottomTitle_->setFont(bottomAxis_->titleFont());

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
QString ChannelChart::BottomTitle() const { return bottomTitle_->text(); }
QStringList ChannelChart::LeftLabels() const { return leftAxis_->categoriesLabels(); }
QStringList ChannelChart::BottomLabels() const { return bottomAxis_->categoriesLabels(); }

void ChannelChart::ClearGraphics() {
    for (QLineSeries* line : series_) line->clear();
    for (auto& points : points_) points.clear();
    fed_.assign(series_.size(), true);
    leftTitle_->setText(QString());
    bottomTitle_->setText(QString());
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
    bottomTitle_->setText(FromUtf8(axes.BottomTitle));
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
        .arg(bottomTitle_->text(), xText, leftTitle, QLocale().toString(y, 'f', axes.LeftDecimals + 1));
}

QString ChannelChart::LabelOf(double value, bool time, int decimals) const {
    if (time) return FromUtf8(TimeOfDayLabel(value));
    // The locale's group and decimal separators: the "#,##0.00" picture.
    return QLocale().toString(value, 'f', decimals);
}

void ChannelChart::FillCategories(QCategoryAxis* axis, const std::vector<double>& ticks, bool time, int decimals) {
    for (const QString& label : axis->categoriesLabels()) axis->remove(label);
    const AxisRange& view = axis == bottomAxis_ ? viewX_ : viewY_;
    axis->setStartValue(view.Minimum);
    axis->setRange(view.Minimum, view.Maximum);
    std::vector<double>& kept = axis == bottomAxis_ ? bottomTicks_ : leftTicks_;
    kept.clear();
    QSet<QString> used;
    for (double tick : ticks) {
        const QString label = LabelOf(tick, time, decimals);
        if (used.contains(label)) continue;
        used.insert(label);
        axis->append(label, tick);
        kept.push_back(tick);
    }
}

double ChannelChart::LeftLabelWidth() const {
    // The widest label is one of the range's ends: every tick lies between
    // them and has no more digits or signs than they have.
    const FrostGraphicAxes& axes = AxesOfGraphicType(graphType_);
    const QFontMetricsF metrics(leftAxis_->labelsFont());
    double width = 0;
    for (double end : {viewY_.Minimum, viewY_.Maximum, 0.0})
        width = std::max(width, metrics.horizontalAdvance(LabelOf(end, false, axes.LeftDecimals)));
    return std::ceil(width) + 2;
}

void ChannelChart::RefreshLabels() {
    if (refreshing_) return;
    ApplyMargins();
    const QRectF area = plotArea();
    const double width = area.width() > 1 ? area.width() : std::max(1.0, size().width() * 0.8);
    const double height = area.height() > 1 ? area.height() : std::max(1.0, size().height() * 0.8);
    const FrostGraphicAxes& axes = AxesOfGraphicType(graphType_);
    const QFontMetricsF bottomMetrics(bottomAxis_->labelsFont());
    const QFontMetricsF leftMetrics(leftAxis_->labelsFont());
    // The padding puts the time axis a little before the first sample; no
    // label stands there, so "-0:00" must not widen the step.
    const double firstLabel = axes.BottomIsTime && viewX_.Minimum < 0 && viewX_.Maximum > 0 ? 0.0 : viewX_.Minimum;
    const double labelWidth =
        std::max(bottomMetrics.horizontalAdvance(LabelOf(firstLabel, axes.BottomIsTime, axes.BottomDecimals)),
                 bottomMetrics.horizontalAdvance(LabelOf(viewX_.Maximum, axes.BottomIsTime, axes.BottomDecimals)));
    const int bottomDecimals = axes.BottomIsTime ? -1 : axes.BottomDecimals;
    const AxisTicks ticksX =
        ChooseAxisTicks(viewX_, axes.BottomStep, width, labelWidth, axes.BottomIsTime, bottomDecimals, MaximumTicks);
    const AxisTicks ticksY =
        ChooseAxisTicks(viewY_, axes.LeftStep, height, leftMetrics.height(), false, axes.LeftDecimals, MaximumTicks);
    const QString key = QStringLiteral("%1 %2 %3 %4 %5 %6 %7")
                            .arg(viewX_.Minimum)
                            .arg(viewX_.Maximum)
                            .arg(viewY_.Minimum)
                            .arg(viewY_.Maximum)
                            .arg(ticksX.Step)
                            .arg(ticksY.Step)
                            .arg(graphType_);
    if (key == labelsKey_) {
        FeedSeries(width);
        PlaceLabels();
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
    FillCategories(bottomAxis_, ticksX.Values, axes.BottomIsTime, axes.BottomDecimals);
    FillCategories(leftAxis_, ticksY.Values, false, axes.LeftDecimals);
    FeedSeries(width);
    PlaceLabels();
    refreshing_ = false;
}

void ChannelChart::PlaceLabels() {
    const QRectF area = plotArea();
    const QRectF frame = FrameRect();
    const FrostGraphicAxes& axes = AxesOfGraphicType(graphType_);
    auto items = [this](std::vector<QGraphicsSimpleTextItem*>& pool, std::size_t count, const QFont& font) {
        while (pool.size() < count) {
            auto* item = new QGraphicsSimpleTextItem(this);
            item->setBrush(Qt::black);
            pool.push_back(item);
        }
        for (std::size_t i = 0; i < pool.size(); ++i) {
            pool[i]->setFont(font);
            pool[i]->setVisible(i < count);
        }
    };
    const std::size_t leftCount = area.height() > 1 ? leftTicks_.size() : 0;
    const std::size_t bottomCount = area.width() > 1 ? bottomTicks_.size() : 0;
    items(leftLabels_, leftCount, leftAxis_->labelsFont());
    items(bottomLabels_, bottomCount, bottomAxis_->labelsFont());
    const double spanY = viewY_.Maximum - viewY_.Minimum;
    for (std::size_t i = 0; i < leftCount; ++i) {
        QGraphicsSimpleTextItem* item = leftLabels_[i];
        item->setText(LabelOf(leftTicks_[i], false, axes.LeftDecimals));
        const QRectF bounds = item->boundingRect();
        const double at = area.bottom() - (leftTicks_[i] - viewY_.Minimum) / spanY * area.height();
        item->setPos(area.left() - TickRoom - 2 - bounds.width(), at - bounds.height() / 2);
    }
    const double spanX = viewX_.Maximum - viewX_.Minimum;
    for (std::size_t i = 0; i < bottomCount; ++i) {
        QGraphicsSimpleTextItem* item = bottomLabels_[i];
        item->setText(LabelOf(bottomTicks_[i], axes.BottomIsTime, axes.BottomDecimals));
        const QRectF bounds = item->boundingRect();
        const double at = area.left() + (bottomTicks_[i] - viewX_.Minimum) / spanX * area.width();
        // Centred under the tick, moved inwards where the frame is nearer than half a label.
        const double left = std::clamp(at - bounds.width() / 2, frame.left() + TextPadding,
                                       frame.right() - TextPadding - bounds.width());
        item->setPos(left, area.bottom() + TickRoom);
    }
    const QRectF titleBounds = bottomTitle_->boundingRect();
    const double labelHeight = std::ceil(QFontMetricsF(bottomAxis_->labelsFont()).height());
    bottomTitle_->setPos(area.center().x() - titleBounds.width() / 2, area.bottom() + TickRoom + labelHeight + 1);
    PlaceLeftTitle();
}

QRectF ChannelChart::FrameRect() const { return QRectF(QPointF(0, 0), size()); }

std::vector<ChannelChart::DrawnText> ChannelChart::DrawnTexts() const {
    std::vector<DrawnText> texts;
    auto add = [&texts](TextRole role, const QGraphicsSimpleTextItem* item) {
        if (item->isVisible() && !item->text().isEmpty())
            texts.push_back({role, item->text(), item->mapRectToParent(item->boundingRect())});
    };
    add(TextRole::Title, leftTitle_);
    add(TextRole::Title, bottomTitle_);
    for (const auto* item : leftLabels_) add(TextRole::LeftLabel, item);
    for (const auto* item : bottomLabels_) add(TextRole::BottomLabel, item);
    return texts;
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
    const double labelHeight = QFontMetricsF(bottomAxis_->labelsFont()).height();
    const double bottomTitleHeight = QFontMetricsF(bottomTitle_->font()).height();
    const double leftLabelHeight = QFontMetricsF(leftAxis_->labelsFont()).height();
    // Room outside the plot, from the frame inwards: the margin of the
    // graph's set-up, then the title and the labels whole.
    const QMargins margins(static_cast<int>(std::ceil(chartSize.width() * 0.01 + TextPadding + titleWidth +
                                                      TextPadding + LeftLabelWidth())),
                           static_cast<int>(std::ceil(chartSize.height() * 0.04 + leftLabelHeight / 2)),
                           static_cast<int>(std::ceil(chartSize.width() * 0.04)),
                           static_cast<int>(std::ceil(chartSize.height() * 0.01 + std::ceil(labelHeight) + 1 +
                                                      bottomTitleHeight + TextPadding)));
    if (margins != this->margins()) setMargins(margins);
}

void ChannelChart::PlaceLeftTitle() {
    const QRectF area = plotArea();
    const QRectF bounds = leftTitle_->boundingRect();
    const QRectF frame = FrameRect();
    const double top = area.height() > 0 ? area.center().y() - bounds.height() / 2 : 0;
    leftTitle_->setPos(frame.left() + size().width() * 0.01 + TextPadding,
                       std::clamp(top, frame.top() + TextPadding,
                                  std::max(frame.top() + TextPadding, frame.bottom() - TextPadding - bounds.height())));
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
