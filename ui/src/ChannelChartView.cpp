#include "ui/ChannelChartView.h"

#include <QMouseEvent>
#include <QWheelEvent>
#include <cmath>

#include "ui/ChannelChart.h"

namespace zemvalkorta {

ChannelChartView::ChannelChartView(QWidget* parent)
    : QChartView(new ChannelChart(ChannelChartStyle::Screen, ChannelChartSeriesCount), parent),
      chart_(static_cast<ChannelChart*>(chart())) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setMouseTracking(true);
    setRubberBand(QChartView::NoRubberBand);
    setRenderHint(QPainter::Antialiasing, false);
}

void ChannelChartView::wheelEvent(QWheelEvent* event) {
    const double notches = event->angleDelta().y() / 120.0;
    if (notches == 0) return;
    chart_->ZoomAround(mapToScene(event->position().toPoint()), std::pow(0.8, notches));
    event->accept();
}

void ChannelChartView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        dragging_ = true;
        lastDragPosition_ = event->position();
        setCursor(Qt::ClosedHandCursor);
        event->accept();
        return;
    }
    QChartView::mousePressEvent(event);
}

void ChannelChartView::mouseMoveEvent(QMouseEvent* event) {
    if (dragging_) {
        chart_->PanByPixels(event->position() - lastDragPosition_);
        lastDragPosition_ = event->position();
    }
    Q_EMIT PointerReadout(chart_->ReadoutAt(mapToScene(event->position().toPoint())));
    event->accept();
}

void ChannelChartView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && dragging_) {
        dragging_ = false;
        unsetCursor();
        event->accept();
        return;
    }
    QChartView::mouseReleaseEvent(event);
}

void ChannelChartView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        chart_->ResetView();
        event->accept();
        return;
    }
    QChartView::mouseDoubleClickEvent(event);
}

void ChannelChartView::leaveEvent(QEvent* event) {
    Q_EMIT PointerReadout(QString());
    QChartView::leaveEvent(event);
}

}  // namespace zemvalkorta
