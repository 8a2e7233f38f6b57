// The pass over one whole record. Every check runs before the first write, so
// a refused record is left exactly as it came.

#include <bit>
#include <string>

#include "core/FrostGrading.h"
#include "core/Processing.h"

namespace zemvalkorta {

namespace {

constexpr std::int32_t StandardChannelBits = 7;

std::string ChannelName(int channel) { return "channel " + std::to_string(channel + 1); }

// Returns the standard channel, or -1 for a model reference.
int CheckedStandardChannel(const TMeasureResult& measure) {
    const std::int32_t standardBits = measure.StandardPattern & StandardChannelBits;
    if (standardBits == 0) return -1;
    // Several bits, or a channel bit mixed with a model code, would make the
    // processing and the stored curve layout disagree on who owns which curves.
    if (!std::has_single_bit(static_cast<std::uint32_t>(standardBits)) || measure.StandardPattern != standardBits)
        throw ProcessingError("reference code " + std::to_string(measure.StandardPattern) +
                              " names no single standard channel");
    const int channel = std::countr_zero(static_cast<std::uint32_t>(standardBits));
    if (!IsChannelActive(measure.ActiveChannels, channel))
        throw ProcessingError(ChannelName(channel) + ": holds the standard specimen but is not in use");
    return channel;
}

void CheckCurves(const TMeasureResult& measure) {
    if (measure.PointCount <= 0)
        throw ProcessingError("point count " + std::to_string(measure.PointCount) + " is not positive");
    const int required = RequiredCurveCount(measure);
    if (static_cast<int>(measure.Curves.size()) < required)
        throw ProcessingError("the record holds " + std::to_string(measure.Curves.size()) +
                              " curves, its channels need " + std::to_string(required));
    for (int index = 0; index < required; ++index)
        if (measure.Curves[index].size() < static_cast<std::size_t>(measure.PointCount))
            throw ProcessingError("curve " + std::to_string(index + 1) + " holds fewer than " +
                                  std::to_string(measure.PointCount) + " samples");
}

void CheckVolumes(const TMeasureResult& measure) {
    for (int channel = 0; channel < ChannelCount; ++channel)
        if (RoleOfChannel(measure, channel) == ChannelRole::Concrete && measure.PatternVolume[channel] == 0.0)
            throw ProcessingError(ChannelName(channel) + ": specimen volume is zero");
}

}  // namespace

void ProcessMeasureRecord(TMeasureResult& measure, TMAFilter& filter) {
    const int standardChannel = CheckedStandardChannel(measure);
    CheckCurves(measure);
    CheckVolumes(measure);

    const auto n = static_cast<std::size_t>(measure.PointCount);
    auto samples = [&measure, n](int index) { return std::span<float>(measure.Curves[index]).first(n); };

    std::span<const float> standard;
    if (standardChannel >= 0)
        standard = samples(FirstCurveOfChannel(measure, standardChannel) + VolumeCurve);
    else
        FindModelStart(measure.ModelCoefficients, measure.Period);

    double tettaSum = 0.0;
    int concreteCount = 0;
    for (int channel = 0; channel < ChannelCount; ++channel) {
        if (RoleOfChannel(measure, channel) != ChannelRole::Concrete) continue;
        const int first = FirstCurveOfChannel(measure, channel);
        const auto volume = samples(first + VolumeCurve);
        const auto temperature = samples(first + TemperatureCurve);
        const auto reference = samples(first + ReferenceCurve);
        const auto difference = samples(first + DifferenceCurve);
        const double stretch = measure.CurveStretch[channel];

        const ChannelOutcome outcome =
            standardChannel >= 0
                ? ProcessStandard(volume, temperature, standard, reference, difference, stretch, filter)
                : ProcessModel(volume, temperature, reference, difference, measure.Period, stretch,
                               measure.ModelCoefficients, filter);

        measure.CurveShift[channel] = outcome.Shift;
        measure.DeltaVolume[channel] = outcome.DeltaVolume;
        measure.Tetta[channel] = outcome.DeltaVolume / measure.PatternVolume[channel];
        measure.FrostResistance[channel] =
            FrostGrade(measure.GeometryKind, measure.ConcreteKind, measure.Tetta[channel]);
        tettaSum += measure.Tetta[channel];
        ++concreteCount;
    }

    measure.AverageTetta = concreteCount > 0 ? tettaSum / concreteCount : 0.0;
    if (concreteCount > 0)
        measure.AverageFrostResistance = FrostGrade(measure.GeometryKind, measure.ConcreteKind, measure.AverageTetta);
}

}  // namespace zemvalkorta
