#pragma once

// Deformation processing: for every concrete specimen the fitted reference
// curve, the difference curve, dV, theta and the grade; then the mean theta.

#include <array>
#include <cstdint>
#include <span>
#include <stdexcept>

#include "core/DSPUnit.h"
#include "core/MeasureResult.h"

namespace zemvalkorta {

class ProcessingError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

using ModelArray = std::array<double, ModelCoefficientCount>;
inline constexpr int ModelStartTimeIndex = 4;
inline constexpr int ModelStartValueIndex = 5;

// M(t) = ((a3 t + a2) t + a1) t + a0, in this nested order.
double ModelValue(const ModelArray& model, double t);

// Writes the first sampled time with M(t) > 1.0 and its value into places 4
// and 5; t0 = 0, m0 = a0 when no sample of 100001 periods qualifies.
bool FindModelStart(ModelArray& model, std::int32_t period);

// Sample indices of the freezing run found on a concrete channel's own curves.
struct FreezingInterval {
    int Start = 0;       // first V >= 0.1
    int Zero = 0;        // first T <= 0 degC from Start on
    int Cold = 0;        // first T <= -10 degC from Zero on, else the last sample
    int ScalePoint = 0;  // highest point above the chord Zero..Cold
};

// volume and temperature must have the same, non-zero, length.
FreezingInterval FindFreezingInterval(std::span<const float> volume, std::span<const float> temperature);

struct ChannelOutcome {
    double DeltaVolume = -1.0;  // largest smoothed difference from the scale point on, never below -1.0
    std::int32_t Shift = 0;     // samples between the reference and the concrete curve
};

// Both variants fill reference and difference of one concrete channel. Every
// span must hold the same non-zero number of samples (ProcessingError otherwise).
ChannelOutcome ProcessModel(std::span<const float> volume, std::span<const float> temperature,
                            std::span<float> reference, std::span<float> difference, std::int32_t period,
                            double stretch, const ModelArray& model, TMAFilter& filter);

ChannelOutcome ProcessStandard(std::span<const float> volume, std::span<const float> temperature,
                               std::span<const float> standard, std::span<float> reference, std::span<float> difference,
                               double stretch, TMAFilter& filter);

// The whole pass over one record: model start, every concrete channel, the mean.
// Throws ProcessingError, leaving `measure` unchanged, for a standard channel
// that is not active (or a reference code naming more than one channel),
// PointCount <= 0, a curve list shorter than the channels need or a curve
// shorter than PointCount, and a concrete channel whose PatternVolume is 0
// (the message names the channel, e.g. "channel 2: specimen volume is zero").
void ProcessMeasureRecord(TMeasureResult& measure, TMAFilter& filter);

}  // namespace zemvalkorta
