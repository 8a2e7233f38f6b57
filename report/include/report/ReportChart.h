#pragma once

// The report chart: what the graph pages draw, kept as values so that a page
// holds its own copy and can be drawn at any resolution as vectors.

#include <QColor>
#include <QPointF>
#include <QString>
#include <array>
#include <vector>

#include "core/NumberFormat.h"

namespace zemvalkorta {

struct ReportAxis {
    QString Title;         // may hold a line break
    QString NumberFormat;  // picture such as "#,##0.00"; unused for time labels
    double Step = 0.0;     // desired distance between labels, in axis units
    bool Time = false;     // values are seconds since the first sample, labelled "h:mm"
};

struct ReportSeries {
    QColor Colour = Qt::black;
    std::vector<QPointF> Points;  // in the order added
};

inline constexpr int ReportSeriesCount = 3;

struct ReportChart {
    ReportAxis Left;
    ReportAxis Bottom;
    std::array<ReportSeries, ReportSeriesCount> Series;
    QColor Background = Qt::white;
    FormatSettings Separators;  // of the axis labels
};

// Empties every series and the axis titles.
void ClearReportGraphics(ReportChart& chart);

}  // namespace zemvalkorta
