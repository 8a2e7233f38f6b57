#include "ui/FrostGraphic.h"

#include "core/FrostGraphicPoints.h"
#include "ui/ChannelChart.h"

namespace zemvalkorta {

namespace {

QColor ColourOf(const FrostSeriesPlan& plan, const GraphicColours& colours) {
    return plan.Colour == SeriesColourRole::Standard ? colours.Standard
                                                     : colours.Channels[static_cast<std::size_t>(plan.Channel)];
}

void DrawPlans(ChannelChart& chart, const TMeasureResult& measure, const FrostSeriesPlanList& plans,
               const GraphicColours& colours) {
    for (const FrostSeriesPlan& plan : plans)
        chart.ShowPoints(plan.Series, plan.GraphType, PointsOfPlan(measure, plan), ColourOf(plan, colours));
}

}  // namespace

void DrawMeasureGraphics(const std::array<ChannelChart*, ChannelCount>& charts, const TMeasureResult& measure,
                         int graphType, bool showStandard, const GraphicColours& colours) {
    for (ChannelChart* chart : charts)
        if (chart) chart->ClearGraphics();
    for (const FrostSeriesPlan& plan : PlanChannelGraphics(measure, graphType, showStandard)) {
        ChannelChart* chart = charts[static_cast<std::size_t>(plan.Channel)];
        if (chart) chart->ShowPoints(plan.Series, plan.GraphType, PointsOfPlan(measure, plan), ColourOf(plan, colours));
    }
}

void DrawReportDifferenceGraphic(ChannelChart& reportChart, const TMeasureResult& measure,
                                 const GraphicColours& colours) {
    reportChart.ClearGraphics();
    DrawPlans(reportChart, measure, PlanReportDifferenceGraphic(measure), colours);
}

bool DrawReportStandardGraphic(ChannelChart& reportChart, const TMeasureResult& measure,
                               const GraphicColours& colours) {
    reportChart.ClearGraphics();
    const FrostSeriesPlanList plans = PlanReportStandardGraphic(measure);
    DrawPlans(reportChart, measure, plans, colours);
    return !plans.empty();
}

}  // namespace zemvalkorta
