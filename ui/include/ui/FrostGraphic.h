#pragma once

// Drawing a measurement into the channel charts and the report chart.

#include <QColor>
#include <array>

#include "core/MeasureResult.h"

class QPainter;
class QRectF;

namespace zemvalkorta {

class ChannelChart;

struct GraphicColours {
    QColor Standard = Qt::black;
    std::array<QColor, ChannelCount> Channels{QColor(Qt::blue), QColor(Qt::red), QColor(Qt::magenta)};
};

// Empties the three charts and draws the measurement in the graph type; the
// chart of a channel not used stays empty, without axis titles. Null charts
// are skipped.
void DrawMeasureGraphics(const std::array<ChannelChart*, ChannelCount>& charts, const TMeasureResult& measure,
                         int graphType, bool showStandard, const GraphicColours& colours);

// The report chart (three series): the dV(t) curves of the concrete channels.
void DrawReportDifferenceGraphic(ChannelChart& reportChart, const TMeasureResult& measure,
                                 const GraphicColours& colours);
// The report chart: the standard specimen's V(t). Answers false (chart left
// empty) when no channel holds the standard specimen.
bool DrawReportStandardGraphic(ChannelChart& reportChart, const TMeasureResult& measure, const GraphicColours& colours);

}  // namespace zemvalkorta
