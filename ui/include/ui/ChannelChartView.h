#pragma once

// A channel chart on its page: wheel zoom, drag pan, double click back to the
// whole curve, and the time and value under the pointer for the status bar.

#include <QChartView>

namespace zemvalkorta {

class ChannelChart;

class ChannelChartView : public QChartView {
    Q_OBJECT
public:
    explicit ChannelChartView(QWidget* parent = nullptr);

    ChannelChart* Chart() const { return chart_; }

Q_SIGNALS:
    // Empty when the pointer leaves the plot area.
    void PointerReadout(const QString& text);

protected:
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    ChannelChart* chart_;
    bool dragging_ = false;
    QPointF lastDragPosition_;
};

}  // namespace zemvalkorta
