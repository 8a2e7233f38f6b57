#pragma once

// Stretching and compressing the reference curve of a concrete channel: the
// factor CurveStretch the processing fits the reference curve with.

#include <functional>

#include "core/MeasureResult.h"

namespace zemvalkorta {

enum class CurveScaling { Stretch, Compress, Reset };

inline constexpr double CurveStretchStep = 0.002;
inline constexpr double CurveStretchMaximum = 2.0;
inline constexpr double CurveStretchMinimum = 0.2;

// The test comes before the step, so the factor may end one step past a bound.
double ScaledStretch(double stretch, CurveScaling scaling);

// The stretch, compress and undo buttons. frontPage is the 0-based channel page
// in front (-1 for none). readMeasure fills the record from the current row and
// answers whether it could; storeAndShow writes the record back, reprocesses
// it and redraws. Nothing is stored for an unused channel or the standard
// specimen's own channel; otherwise the record is stored even when the factor
// stayed where it was. Answers whether it was stored.
bool ScaleReferenceCurve(CurveScaling scaling, int frontPage, const std::function<bool(TMeasureResult&)>& readMeasure,
                         const std::function<void(TMeasureResult&)>& storeAndShow);

}  // namespace zemvalkorta
