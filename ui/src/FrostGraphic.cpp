#include "ui/FrostGraphic.h"

#include "core/FrostGraphicPoints.h"
#include "ui/ChannelChart.h"

namespace zemvalkorta {

namespace {

QColor ColourOf(const FrostSeriesPlan& plan, const GraphicColours& colours) {
    return plan.Colour == SeriesColourRole::Standard ? colours.Standard
                                                     : colours.Channels[static_cast<std::size_t>(plan.Channel)];
}

// Keeps a chart from rescaling until all its series are filled.
class Batch {
public:
    explicit Batch(ChannelChart* chart) : chart_(chart) {
        if (chart_) chart_->BeginBatch();
    }
    ~Batch() {
        if (chart_) chart_->EndBatch();
    }
    Batch(const Batch&) = delete;
    Batch& operator=(const Batch&) = delete;

private:
    ChannelChart* chart_;
};

void DrawPlans(ChannelChart& chart, const TMeasureResult& measure, const FrostSeriesPlanList& plans,
               const GraphicColours& colours) {
    const Batch batch(&chart);
    for (const FrostSeriesPlan& plan : plans)
        chart.ShowPoints(plan.Series, plan.GraphType, PointsOfPlan(measure, plan), ColourOf(plan, colours));
}

}  // namespace

void DrawMeasureGraphics(const std::array<ChannelChart*, ChannelCount>& charts, const TMeasureResult& measure,
                         int graphType, bool showStandard, const GraphicColours& colours) {
    const Batch first(charts[0]), second(charts[1]), third(charts[2]);
    for (ChannelChart* chart : charts)
        if (chart) chart->ClearGraphics();
    for (const FrostSeriesPlan& plan : PlanChannelGraphics(measure, graphType, showStandard)) {
        ChannelChart* chart = charts[static_cast<std::size_t>(plan.Channel)];
        if (chart) chart->ShowPoints(plan.Series, plan.GraphType, PointsOfPlan(measure, plan), ColourOf(plan, colours));
    }
}

void DrawReportDifferenceGraphic(ChannelChart& reportChart, const TMeasureResult& measure,
                                 const GraphicColours& colours) {
    const Batch batch(&reportChart);
    reportChart.ClearGraphics();
    DrawPlans(reportChart, measure, PlanReportDifferenceGraphic(measure), colours);
}

bool DrawReportStandardGraphic(ChannelChart& reportChart, const TMeasureResult& measure,
                               const GraphicColours& colours) {
    const Batch batch(&reportChart);
    reportChart.ClearGraphics();
    const FrostSeriesPlanList plans = PlanReportStandardGraphic(measure);
    DrawPlans(reportChart, measure, plans, colours);
    return !plans.empty();
}

}  // namespace zemvalkorta
