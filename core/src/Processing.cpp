#include "core/Processing.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace zemvalkorta {

namespace {

constexpr double StartLevel = 0.1;       // cm3: the first sample that counts as moving
constexpr double ModelStartLevel = 1.0;  // cm3
constexpr double FreezingPoint = 0.0;    // degC
constexpr double DeepFrost = -10.0;      // degC
constexpr std::uint32_t ModelSearchSteps = 100000;
constexpr long double FilterPrime = 0.0L;

// The original division trapped on a zero divisor, an invalid operation or an
// overflow and carried on with 0; a non-finite quotient is the same failure here.
double GuardedRatio(double numerator, double denominator, double factor) {
    if (denominator == 0.0) return 0.0;
    const double value = numerator / denominator * factor;
    return std::isfinite(value) ? value : 0.0;
}

int FirstAtOrAbove(std::span<const float> curve, double level) {
    const auto found = std::find_if(curve.begin(), curve.end(), [level](float v) { return v >= level; });
    return found == curve.end() ? 0 : static_cast<int>(found - curve.begin());
}

int CheckedLength(std::span<const float> volume, std::initializer_list<std::size_t> others) {
    if (volume.empty()) throw ProcessingError("a curve holds no samples");
    for (std::size_t size : others)
        if (size != volume.size()) throw ProcessingError("the curves of a channel differ in length");
    return static_cast<int>(volume.size());
}

// A reference sample below zero volume has no physical meaning; NaN is cut too.
double NonNegative(double value) { return value >= 0.0 ? value : 0.0; }

// Time of sample `index` when the period is taken as unsigned; the product
// stays signed so samples before the start lie at negative times.
double SampleTime(std::int64_t index, std::int32_t period) {
    return static_cast<double>(index * static_cast<std::int64_t>(static_cast<std::uint32_t>(period)));
}

// Reference sample ReferenceIndex + step pairs with concrete sample ConcreteIndex + step.
struct SamplePairing {
    int ReferenceIndex = 0;
    int ConcreteIndex = 0;
    int Steps = 0;
};

// The reference is scaled about the zero point (concrete sample Zero, the
// anchored reference there ReferenceZero) onto the concrete; the difference
// counts from concrete sample ScalePoint on.
struct ReferenceFit {
    int Zero = 0;
    int ScalePoint = 0;
    double ReferenceZero = 0;
    double Scale = 0;
};

// The difference pass of either reference, one sweep: each anchored reference
// sample (anchoredAt(reference index), rounded to float as it is stored) is
// fitted and stored, its difference from the concrete stored and filtered.
// The result is the largest filtered difference from the scale point on, -1
// if there is none.
template <typename AnchoredAt>
double FittedDifferencePass(std::span<const float> volume, std::span<float> reference, std::span<float> difference,
                            const SamplePairing& pairing, const ReferenceFit& fit, TMAFilter& filter,
                            AnchoredAt&& anchoredAt) {
    filter.Fill(FilterPrime);
    double result = -1.0;
    const double concreteBase = volume[static_cast<std::size_t>(fit.Zero)];
    filter.AddSeries(
        static_cast<std::size_t>(pairing.Steps),
        [&](std::size_t step) {
            const std::size_t js = static_cast<std::size_t>(pairing.ReferenceIndex) + step;
            const std::size_t jc = static_cast<std::size_t>(pairing.ConcreteIndex) + step;
            const float anchored = anchoredAt(js);
            const double fitted = NonNegative((anchored - fit.ReferenceZero) * fit.Scale + concreteBase);
            reference[js] = static_cast<float>(fitted);
            const double delta = fitted - volume[jc];
            difference[jc] = static_cast<float>(delta);
            return delta;
        },
        [&](std::size_t step, long double smoothed) {
            if (pairing.ConcreteIndex + static_cast<int>(step) >= fit.ScalePoint && smoothed > result)
                result = static_cast<double>(smoothed);
        });
    return result;
}

}  // namespace

double ModelValue(const ModelArray& model, double t) {
    return ((model[3] * t + model[2]) * t + model[1]) * t + model[0];
}

bool FindModelStart(ModelArray& model, std::int32_t period) {
    const auto step = static_cast<std::uint32_t>(period);
    for (std::uint32_t i = 0; i <= ModelSearchSteps; ++i) {
        const std::uint32_t t = i * step;  // wraps as the unsigned 32-bit product it always was
        const double value = ModelValue(model, static_cast<double>(t));
        if (value > ModelStartLevel) {
            model[ModelStartTimeIndex] = static_cast<double>(t);
            model[ModelStartValueIndex] = value;
            return true;
        }
    }
    model[ModelStartTimeIndex] = 0.0;
    model[ModelStartValueIndex] = model[0];
    return false;
}

FreezingInterval FindFreezingInterval(std::span<const float> volume, std::span<const float> temperature) {
    const int n = CheckedLength(volume, {temperature.size()});
    FreezingInterval interval;
    interval.Start = FirstAtOrAbove(volume, StartLevel);

    interval.Zero = interval.Start;
    for (int i = interval.Start; i < n; ++i) {
        if (!(temperature[i] > FreezingPoint)) {  // a NaN temperature also ends the warm stretch
            interval.Zero = i;
            break;
        }
    }
    interval.Cold = interval.Zero;
    for (int i = interval.Zero; i < n; ++i) {
        if (temperature[i] <= DeepFrost) {
            interval.Cold = i;
            break;
        }
    }
    if (interval.Cold == interval.Zero) interval.Cold = n - 1;

    const int zero = interval.Zero;
    const double base = volume[zero];
    // The divisor counts the samples of the chord, not its steps.
    const double slope = GuardedRatio(volume[interval.Cold] - base, interval.Cold - zero + 1, 1.0);
    interval.ScalePoint = zero;
    double best = 0.0;
    for (int k = zero; k <= interval.Cold; ++k) {
        const double deviation = volume[k] - ((k - zero) * slope + base);
        if (deviation > best) {
            best = deviation;
            interval.ScalePoint = k;
        }
    }
    return interval;
}

ChannelOutcome ProcessModel(std::span<const float> volume, std::span<const float> temperature,
                            std::span<float> reference, std::span<float> difference, std::int32_t period,
                            double stretch, const ModelArray& model, TMAFilter& filter) {
    const int n = CheckedLength(volume, {temperature.size(), reference.size(), difference.size()});
    filter.Reset();
    const FreezingInterval interval = FindFreezingInterval(volume, temperature);

    int modelStart = 0;
    for (int i = 0; i < n; ++i) {
        if (ModelValue(model, SampleTime(i, period)) >= StartLevel) {
            modelStart = i;
            break;
        }
    }
    // The model's first sample at or above the start level meets the concrete's.
    const std::int64_t offset = static_cast<std::int64_t>(modelStart) - interval.Start;
    const int zero = interval.Zero;
    const int scalePoint = interval.ScalePoint;
    auto sampled = [&](int k) { return static_cast<float>(ModelValue(model, SampleTime(k + offset, period))); };
    // Sampling, anchoring and the difference pass each touch a sample once and
    // in order, so they run as one sweep: the model is evaluated in the shadow
    // of the filter's extended-precision chain. The anchor and the scale only
    // need the samples at i0 and pk, computed ahead with the same roundings.
    const float anchor = sampled(zero) - volume[zero];
    auto anchored = [&](int k) { return sampled(k) - anchor; };
    const float referenceZero = anchored(zero);
    const double scale = GuardedRatio(static_cast<double>(volume[scalePoint]) - volume[zero],
                                      static_cast<double>(anchored(scalePoint)) - referenceZero, stretch);

    const ReferenceFit fit{.Zero = zero, .ScalePoint = scalePoint, .ReferenceZero = referenceZero, .Scale = scale};
    const double result = FittedDifferencePass(volume, reference, difference, {.Steps = n}, fit, filter,
                                               [&](std::size_t k) { return anchored(static_cast<int>(k)); });
    return {result, 0};
}

ChannelOutcome ProcessStandard(std::span<const float> volume, std::span<const float> temperature,
                               std::span<const float> standard, std::span<float> reference, std::span<float> difference,
                               double stretch, TMAFilter& filter) {
    const int n = CheckedLength(volume, {temperature.size(), standard.size(), reference.size(), difference.size()});
    const FreezingInterval interval = FindFreezingInterval(volume, temperature);
    const int standardStart = FirstAtOrAbove(standard, StartLevel);
    const int zero = interval.Zero;
    const int scalePoint = interval.ScalePoint;

    // A standard that starts later than the concrete puts the opposite indices
    // past its end near the end of the run; its last sample stands in for them.
    const int standardZero = std::clamp(zero - interval.Start + standardStart, 0, n - 1);
    const int standardScalePoint = std::clamp(scalePoint - interval.Start + standardStart, 0, n - 1);

    const float anchor = standard[standardZero] - volume[zero];
    const float referenceZero = standard[standardZero] - anchor;
    const double scale =
        GuardedRatio(static_cast<double>(volume[scalePoint]) - volume[zero],
                     static_cast<double>(standard[standardScalePoint] - anchor) - referenceZero, stretch);

    // The alignment of the two starts, kept even when the opposite indices were clamped.
    const int shift = interval.Start - standardStart;
    const int standardIndex = shift >= 0 ? 0 : -shift;
    const int concreteIndex = shift >= 0 ? shift : 0;
    const int steps = std::min(n - concreteIndex, n - standardIndex);

    // Outside the pass the reference is the anchored standard, not scaled;
    // inside, anchoring and scaling happen in the same sweep.
    for (int k = 0; k < standardIndex; ++k) reference[k] = standard[k] - anchor;
    for (int k = standardIndex + steps; k < n; ++k) reference[k] = standard[k] - anchor;

    const ReferenceFit fit{.Zero = zero, .ScalePoint = scalePoint, .ReferenceZero = referenceZero, .Scale = scale};
    const SamplePairing pairing{.ReferenceIndex = standardIndex, .ConcreteIndex = concreteIndex, .Steps = steps};
    const double result = FittedDifferencePass(volume, reference, difference, pairing, fit, filter,
                                               [&](std::size_t j) -> float { return standard[j] - anchor; });
    return {result, shift};
}

}  // namespace zemvalkorta
