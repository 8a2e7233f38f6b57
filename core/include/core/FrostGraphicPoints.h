#pragma once

// The points of one chart series for one graph type, and which series a
// measurement needs. X is seconds since the first sample for the time types and
// degrees Celsius for V(T) and V(dT); times past 24 hours stay past 24 hours.

#include <cstdint>
#include <string>
#include <vector>

#include "core/MeasureResult.h"

namespace zemvalkorta {

// Values of the FrostGraphicType setting.
enum FrostGraphicType : int {
    VolumeGraphic = 0,                   // V(t)
    TemperatureGraphic = 1,              // T(t)
    TemperatureDropGraphic = 2,          // dT(t)
    VolumeByTemperatureGraphic = 3,      // V(T)
    VolumeByTemperatureDropGraphic = 4,  // V(dT)
    VolumeDifferenceGraphic = 5,         // dV(t)
};
inline constexpr int FrostGraphicTypeCount = 6;

// Any value outside 0..5 is treated as V(t), as the toolbar does.
int NormalizedGraphicType(int graphType);
bool IsTimeGraphic(int graphType);

// Axis captions and label pictures of a graph type (UTF-8).
struct FrostGraphicAxes {
    std::string LeftTitle;   // two lines joined by '\n'
    std::string LeftFormat;  // "#,##0.00" or "#,##0.0"
    int LeftDecimals = 2;
    double LeftStep = 0.025;  // desired label step
    std::string BottomTitle;
    bool BottomIsTime = true;  // "h:mm", step in seconds; otherwise "#,##0.0"
    int BottomDecimals = 1;
    double BottomStep = 60.0;
    std::string ButtonCaption;   // with the Greek capital delta
    std::string CommandCaption;  // plain letters: "dT(t)"
};
const FrostGraphicAxes& AxesOfGraphicType(int graphType);

struct GraphicPoint {
    double X = 0.0;
    double Y = 0.0;
    friend bool operator==(const GraphicPoint&, const GraphicPoint&) = default;
};
using GraphicPointList = std::vector<GraphicPoint>;

// One call of ShowFrostGraphic without the chart: the series' points.
// concrete: a concrete specimen's own curve (window starts at the shift);
// otherwise the standard's own curve or the reference curve, drawn moved by
// the shift. Points earlier than startSeconds are left out for V(t) and dV(t).
// Samples missing from temperature or difference end the window early.
GraphicPointList FrostGraphicPoints(int graphType, bool concrete, std::int32_t shift, std::int32_t period,
                                    double startSeconds, const Curve& volume, const Curve& temperature,
                                    const Curve& difference);

// Seconds of the first sample at 0 degC or colder (or NaN), 0 when none.
double FreezingStartSeconds(const Curve& temperature, std::int32_t period);

// Which curve of which channel goes to which series, in drawing order.
enum class SeriesColourRole { Channel, Standard };
struct FrostSeriesPlan {
    int Channel = 0;  // 0-based
    int Series = 0;
    int GraphType = VolumeGraphic;
    bool Concrete = false;
    double StartSeconds = 0.0;
    std::int32_t Shift = 0;
    std::int32_t Period = 0;
    int VolumeIndex = -1;  // indices into Curves, -1 = none
    int TemperatureIndex = -1;
    int DifferenceIndex = -1;
    SeriesColourRole Colour = SeriesColourRole::Channel;
};
using FrostSeriesPlanList = std::vector<FrostSeriesPlan>;

// The channel charts: series 0 the channel's own curve, series 1 the reference.
FrostSeriesPlanList PlanChannelGraphics(const TMeasureResult& measure, int graphType, bool showStandard);
// The report's dV(t) page: one series per concrete channel (series = channel).
FrostSeriesPlanList PlanReportDifferenceGraphic(const TMeasureResult& measure);
// The report's standard specimen page: its V(t) in series 0, or nothing.
FrostSeriesPlanList PlanReportStandardGraphic(const TMeasureResult& measure);

// Points of a planned series; curves absent from the record count as empty.
GraphicPointList PointsOfPlan(const TMeasureResult& measure, const FrostSeriesPlan& plan);

}  // namespace zemvalkorta
