#pragma once

// Where a theta falls on the frost-resistance scale of the theta strip: the
// scale has 14 ticks 50 pixels apart, highest thetas (lowest grades) at the left.

#include <array>
#include <cstdint>

#include "core/FrostGrading.h"
#include "core/MeasureResult.h"

namespace zemvalkorta {

inline constexpr int TettaIntervalPixels = 50;
inline constexpr int TettaOpenIntervalPosition = 25;  // the first interval has no upper limit

// Offset from tick 0 in pixels, or -1 when the theta has no place in the row.
// tetta is the plain ratio; a value on a boundary lands on that boundary's tick;
// rounding to the nearest pixel takes halves to even.
int TettaPositionInRow(const FrostRow& row, double tetta);

// The same for the grading row of the pair; -1 for a pair without a row.
int TettaPosition(std::int32_t geometryKind, std::int32_t concreteKind, double tetta);

// What the strip shows of a measurement: the theta of every concrete channel,
// -1 for a channel not used or holding the standard specimen.
struct TettaStripValues {
    bool HasData = false;
    std::array<double, ChannelCount> ChannelTetta{-1.0, -1.0, -1.0};
    double AverageTetta = -1.0;
    std::int32_t GeometryKind = 0;
    std::int32_t ConcreteKind = 0;
};
TettaStripValues TettaStripValuesOf(const TMeasureResult& measure);

}  // namespace zemvalkorta
