#pragma once

// One graph: a channel's page on screen, or the report's off-screen chart.
// The axes are category axes that give the grid; the labels and titles are
// items of this class, placed by it and never elided, so that times read
// "h:mm" past 24 hours, numbers follow the locale, and the label step widens
// from the desired one until whole labels keep MinimumLabelGap apart.

#include <QChart>
#include <QColor>
#include <QLineSeries>
#include <QStringList>

#include <array>
#include <memory>
#include <vector>

#include "core/FrostGraphicAxis.h"
#include "core/FrostGraphicPoints.h"

class QCategoryAxis;
class QGraphicsScene;
class QGraphicsSimpleTextItem;
class QPainter;

namespace zemvalkorta {

enum class ChannelChartStyle {
    Screen,  // dotted grid and frame
    Report,  // white, solid grid and frame
};

inline constexpr int ChannelChartSeriesCount = 2;
inline constexpr int ReportChartSeriesCount = 3;
inline constexpr double MinimumLabelSpacing = MinimumLabelGap;  // pixels, the shared label rule

class ChannelChart : public QChart {
    Q_OBJECT
public:
    explicit ChannelChart(ChannelChartStyle style = ChannelChartStyle::Screen,
                          int seriesCount = ChannelChartSeriesCount, QGraphicsItem* parent = nullptr);
    ~ChannelChart() override;

    // Empties every series and clears both axis titles.
    void ClearGraphics();

    // Sets the axes of the graph type, appends the curve's points to the
    // series (which the caller has emptied) in the series colour, and shows
    // all the data. startSeconds as in FrostGraphicPoints.
    void ShowFrostGraphic(int series, double startSeconds, int graphType, bool concrete, std::int32_t shift,
                          std::int32_t period, const Curve& volume, const Curve& temperature, const Curve& difference,
                          const QColor& colour);
    void ShowPoints(int series, int graphType, const GraphicPointList& points, const QColor& colour);

    int GraphType() const { return graphType_; }
    int SeriesCount() const { return static_cast<int>(series_.size()); }
    // The line series on screen hold at most four points per pixel column
    // (first, lowest, highest, last of each run), which draws the same line;
    // SeriesPoints has every point added, in the order added.
    QLineSeries* Series(int series) const;
    const QList<QPointF>& SeriesPoints(int series) const;
    QString LeftTitle() const;
    QString BottomTitle() const;
    QStringList LeftLabels() const;
    QStringList BottomLabels() const;
    // The texts drawn on the chart (titles and labels) with their rectangles
    // in chart coordinates, and the frame they must stay within.
    enum class TextRole { Title, LeftLabel, BottomLabel };
    struct DrawnText {
        TextRole Role;
        QString Text;
        QRectF Box;
    };
    std::vector<DrawnText> DrawnTexts() const;
    QRectF FrameRect() const;
    AxisRange HorizontalView() const { return viewX_; }
    AxisRange VerticalView() const { return viewY_; }

    // While a batch is open, series change without rescaling; closing the
    // last batch shows all the data once. Drawing a measurement fills several
    // series, and every rescale relays out every series.
    void BeginBatch() { ++batchDepth_; }
    void EndBatch();

    // The view only: the data and the report stay as drawn.
    void ResetView();
    void SetView(const AxisRange& horizontal, const AxisRange& vertical);
    void ZoomAround(const QPointF& chartPosition, double factor);
    void PanByPixels(const QPointF& delta);
    // "Время 1:23:45   V(t) 12,34", or empty outside the plot area.
    QString ReadoutAt(const QPointF& chartPosition) const;

    // Lays the chart out at the size of target and draws it there; vectors on
    // a vector device (printer, PDF, QPicture). The chart must not be shown in
    // a view meanwhile.
    void RenderInto(QPainter& painter, const QRectF& target);

    // Rewrites the axis labels for the current size and view.
    void RefreshLabels();

private:
    void ApplyAxes(int graphType);
    void ApplyMargins();
    void PlaceLeftTitle();
    void IncludeInData(const GraphicPointList& points);
    void FeedSeries(double width);
    QString FeedKey(double width) const;
    void FillCategories(QCategoryAxis* axis, const std::vector<double>& ticks, bool time, int decimals);
    void PlaceLabels();
    double LeftLabelWidth() const;
    QString LabelOf(double value, bool time, int decimals) const;

    ChannelChartStyle style_;
    std::vector<QLineSeries*> series_;
    std::vector<QList<QPointF>> points_;  // everything added, per series
    std::vector<bool> fed_;               // series_ shows points_ for feedKey_
    QString feedKey_;
    QCategoryAxis* bottomAxis_ = nullptr;
    QCategoryAxis* leftAxis_ = nullptr;
    QGraphicsSimpleTextItem* leftTitle_ = nullptr;
    QGraphicsSimpleTextItem* bottomTitle_ = nullptr;
    std::vector<QGraphicsSimpleTextItem*> leftLabels_;
    std::vector<QGraphicsSimpleTextItem*> bottomLabels_;
    std::vector<double> leftTicks_, bottomTicks_;
    int graphType_ = VolumeGraphic;
    bool hasData_ = false;
    double dataMinX_ = 0, dataMaxX_ = 0, dataMinY_ = 0, dataMaxY_ = 0;
    AxisRange viewX_{0.0, 3600.0};
    AxisRange viewY_{0.0, 1.0};
    bool refreshing_ = false;
    int batchDepth_ = 0;
    bool viewPending_ = false;
    QString labelsKey_;                         // view and steps the labels were written for
    std::unique_ptr<QGraphicsScene> ownScene_;  // only for drawing off screen
};

}  // namespace zemvalkorta
