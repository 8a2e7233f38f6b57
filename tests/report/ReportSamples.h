#pragma once

// Measurements made up for the report tests and benchmarks: curves that cool
// through 0 degC, a difference curve, and the results the processing would
// have stored.

#include <cmath>
#include <cstdint>
#include <optional>
#include <vector>

#include "core/Catalogue.h"
#include "core/MeasureResult.h"

namespace zemvalkorta::samples {

inline Curve Ramp(int count, float start, float slope) {
    Curve curve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) curve[static_cast<std::size_t>(i)] = start + slope * static_cast<float>(i);
    return curve;
}

inline Curve Wave(int count, float amplitude) {
    Curve curve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        curve[static_cast<std::size_t>(i)] = amplitude * static_cast<float>(std::sin(i * 0.05)) + 0.01f * i / count;
    return curve;
}

// standardPattern 1, 2, 4 puts the standard specimen in that channel; 16 the model.
inline TMeasureResult Measure(std::int32_t activeChannels, std::int32_t standardPattern, int pointCount = 240) {
    TMeasureResult measure;
    measure.MeasureDate = 45000.5 + 10.0 / 1440.0;  // 15.03.2023 12:10
    measure.MeasureNumber = 7;
    measure.ActiveChannels = activeChannels;
    measure.StandardPattern = standardPattern;
    measure.Period = 30;
    measure.PointCount = pointCount;
    measure.Duration = static_cast<std::uint32_t>(pointCount * measure.Period);
    measure.ConcreteKind = 0;
    measure.GeometryKind = Cube100;
    for (int channel = 0; channel < ChannelCount; ++channel) {
        const auto index = static_cast<std::size_t>(channel);
        measure.PatternDimensions[index] = {100.0, 100.0, 100.0};
        measure.PatternVolume[index] = 1000.0;
        if (RoleOfChannel(measure, channel) == ChannelRole::Inactive) continue;
        measure.Curves.push_back(Ramp(pointCount, 10.0f + channel, 0.01f));      // V
        measure.Curves.push_back(Ramp(pointCount, 20.0f, -25.0f / pointCount));  // T: 20 .. -5 degC
        if (RoleOfChannel(measure, channel) == ChannelRole::Concrete) {
            measure.Curves.push_back(Ramp(pointCount, 10.0f, 0.01f));           // R
            measure.Curves.push_back(Wave(pointCount, 0.05f * (channel + 1)));  // D
            measure.DeltaVolume[index] = 0.125 * (channel + 1);
            measure.Tetta[index] = 0.000125 * (channel + 1);
            measure.FrostResistance[index] = 300;
        }
    }
    measure.AverageTetta = 0.00025;
    measure.AverageFrostResistance = 300;
    return measure;
}

inline std::vector<std::optional<TMeasureResult>> Rows(std::initializer_list<TMeasureResult> measures) {
    return {measures.begin(), measures.end()};
}

}  // namespace zemvalkorta::samples
