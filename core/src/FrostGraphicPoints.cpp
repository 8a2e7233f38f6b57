#include "core/FrostGraphicPoints.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace zemvalkorta {

namespace {

const std::array<FrostGraphicAxes, FrostGraphicTypeCount> GraphicAxes = {{
    {"V(t),\ncm³", "#,##0.00", 2, 0.025, "Время, ч:м", true, 1, 60.0, "V(t)", "V(t)"},
    {"T(t),\n°C", "#,##0.0", 1, 0.1, "Время, ч:м", true, 1, 60.0, "T(t)", "T(t)"},
    {"ΔT(t),\n°C", "#,##0.0", 1, 0.1, "Время, ч:м", true, 1, 60.0, "ΔT(t)", "dT(t)"},
    {"V(T),\ncm³", "#,##0.00", 2, 0.025, "T, °C", false, 1, 0.1, "V(T)", "V(T)"},
    {"V(ΔT),\ncm³", "#,##0.00", 2, 0.025, "ΔT, °C", false, 1, 0.1, "V(ΔT)", "V(dT)"},
    {"ΔV(t),\ncm³", "#,##0.00", 2, 0.025, "Время, ч:м", true, 1, 60.0, "ΔV(t)", "dV(t)"},
}};

const Curve EmptyCurve;

const Curve& CurveAt(const TMeasureResult& measure, int index) {
    if (index < 0 || index >= static_cast<int>(measure.Curves.size())) return EmptyCurve;
    return measure.Curves[static_cast<std::size_t>(index)];
}

bool NeedsTemperature(int graphType) { return graphType != VolumeGraphic && graphType != VolumeDifferenceGraphic; }

// The series of a channel's own curves; a concrete channel's has its
// difference curve too. The freezing start is left for the caller, as not
// every graph needs it.
FrostSeriesPlan OwnCurvesPlan(const TMeasureResult& measure, int channel, int graphType) {
    const int first = FirstCurveOfChannel(measure, channel);
    FrostSeriesPlan plan;
    plan.Channel = channel;
    plan.GraphType = graphType;
    plan.Shift = measure.CurveShift[static_cast<std::size_t>(channel)];
    plan.Period = measure.Period;
    plan.VolumeIndex = first + VolumeCurve;
    plan.TemperatureIndex = first + TemperatureCurve;
    if (RoleOfChannel(measure, channel) == ChannelRole::Concrete) {
        plan.Concrete = true;
        plan.DifferenceIndex = first + DifferenceCurve;
    }
    return plan;
}

double FreezingStartOf(const TMeasureResult& measure, const FrostSeriesPlan& plan) {
    return FreezingStartSeconds(CurveAt(measure, plan.TemperatureIndex), measure.Period);
}

}  // namespace

int NormalizedGraphicType(int graphType) {
    return graphType >= 0 && graphType < FrostGraphicTypeCount ? graphType : VolumeGraphic;
}

bool IsTimeGraphic(int graphType) { return AxesOfGraphicType(graphType).BottomIsTime; }

const FrostGraphicAxes& AxesOfGraphicType(int graphType) {
    return GraphicAxes[static_cast<std::size_t>(NormalizedGraphicType(graphType))];
}

GraphicPointList FrostGraphicPoints(int graphType, bool concrete, std::int32_t shift, std::int32_t period,
                                    double startSeconds, const Curve& volume, const Curve& temperature,
                                    const Curve& difference) {
    graphType = NormalizedGraphicType(graphType);
    // 64-bit so that a shift of INT32_MIN or a curve of any length cannot overflow.
    const std::int64_t last = static_cast<std::int64_t>(volume.size()) - 1;
    const std::int64_t s = shift;
    const std::int64_t magnitude = s < 0 ? -s : s;
    std::int64_t first = 0;
    std::int64_t end = last;
    std::int64_t timeOffset = 0;  // samples added to i for its x time
    if (concrete) {
        if (s >= 0)
            first = s;
        else
            end = last - magnitude;
    } else {
        if (s >= 0)
            end = last - s;
        else
            first = magnitude;
        timeOffset = s;
    }

    const bool temperatureNeeded = NeedsTemperature(graphType);
    const bool differenceNeeded = graphType == VolumeDifferenceGraphic && concrete;
    if (temperatureNeeded) end = std::min(end, static_cast<std::int64_t>(temperature.size()) - 1);
    if (differenceNeeded) end = std::min(end, static_cast<std::int64_t>(difference.size()) - 1);

    GraphicPointList points;
    if (first > end) return points;
    points.reserve(static_cast<std::size_t>(end - first + 1));

    const bool cutsAtStart = graphType == VolumeGraphic || graphType == VolumeDifferenceGraphic;
    const double initialTemperature = temperature.empty() ? 0.0 : temperature.front();
    auto timeOf = [&](std::int64_t i) { return static_cast<double>(i + timeOffset) * period; };
    auto at = [](const Curve& curve, std::int64_t i) {
        return static_cast<double>(curve[static_cast<std::size_t>(i)]);
    };

    switch (graphType) {
        case VolumeByTemperatureGraphic:
            for (std::int64_t i = end; i >= first; --i) points.push_back({at(temperature, i), at(volume, i)});
            return points;
        case VolumeByTemperatureDropGraphic:
            for (std::int64_t i = end; i >= first; --i)
                points.push_back({initialTemperature - at(temperature, i), at(volume, i)});
            return points;
        default:
            break;
    }
    for (std::int64_t i = first; i <= end; ++i) {
        const double x = timeOf(i);
        if (cutsAtStart && x < startSeconds) continue;
        double y = 0.0;
        switch (graphType) {
            case VolumeGraphic:
                y = at(volume, i);
                break;
            case TemperatureGraphic:
                y = at(temperature, i);
                break;
            case TemperatureDropGraphic:
                y = initialTemperature - at(temperature, i);
                break;
            case VolumeDifferenceGraphic:
                y = concrete ? at(difference, i) : 0.0;
                break;
            default:
                break;
        }
        points.push_back({x, y});
    }
    return points;
}

double FreezingStartSeconds(const Curve& temperature, std::int32_t period) {
    for (std::size_t j = 0; j < temperature.size(); ++j) {
        const float value = temperature[j];
        if (!(value > 0.0f)) return static_cast<double>(j) * period;
    }
    return 0.0;
}

FrostSeriesPlanList PlanChannelGraphics(const TMeasureResult& measure, int graphType, bool showStandard) {
    graphType = NormalizedGraphicType(graphType);
    const bool withReference = showStandard && graphType == VolumeGraphic;
    FrostSeriesPlanList plans;
    for (int channel = 0; channel < ChannelCount; ++channel) {
        const ChannelRole role = RoleOfChannel(measure, channel);
        if (role == ChannelRole::Inactive) continue;
        FrostSeriesPlan own = OwnCurvesPlan(measure, channel, graphType);
        if (role == ChannelRole::Standard) {
            plans.push_back(own);
            continue;
        }
        if (withReference || graphType == VolumeDifferenceGraphic) own.StartSeconds = FreezingStartOf(measure, own);
        plans.push_back(own);
        if (withReference) {
            FrostSeriesPlan reference = own;
            reference.Series = 1;
            reference.Concrete = false;
            reference.VolumeIndex = FirstCurveOfChannel(measure, channel) + ReferenceCurve;
            reference.TemperatureIndex = -1;
            reference.DifferenceIndex = -1;
            reference.Colour = SeriesColourRole::Standard;
            plans.push_back(reference);
        }
    }
    return plans;
}

FrostSeriesPlanList PlanReportDifferenceGraphic(const TMeasureResult& measure) {
    FrostSeriesPlanList plans;
    for (int channel = 0; channel < ChannelCount; ++channel) {
        if (RoleOfChannel(measure, channel) != ChannelRole::Concrete) continue;
        FrostSeriesPlan plan = OwnCurvesPlan(measure, channel, VolumeDifferenceGraphic);
        plan.Series = channel;
        plan.StartSeconds = FreezingStartOf(measure, plan);
        plans.push_back(plan);
    }
    return plans;
}

FrostSeriesPlanList PlanReportStandardGraphic(const TMeasureResult& measure) {
    const int channel = StandardChannel(measure);
    if (channel < 0) return {};
    return {OwnCurvesPlan(measure, channel, VolumeGraphic)};
}

GraphicPointList PointsOfPlan(const TMeasureResult& measure, const FrostSeriesPlan& plan) {
    return FrostGraphicPoints(plan.GraphType, plan.Concrete, plan.Shift, plan.Period, plan.StartSeconds,
                              CurveAt(measure, plan.VolumeIndex), CurveAt(measure, plan.TemperatureIndex),
                              CurveAt(measure, plan.DifferenceIndex));
}

}  // namespace zemvalkorta
