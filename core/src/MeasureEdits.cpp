#include "core/MeasureEdits.h"

#include <algorithm>

namespace zemvalkorta {

bool CanEditGeneralParameters(const TMeasureResult& measure) {
    return measure.StandardPattern != measure.ActiveChannels;
}

bool HasEditableModel(const TMeasureResult& measure) { return !HasPhysicalStandard(measure.StandardPattern); }

bool CanEditChannelProperties(const TMeasureResult& measure, int channel) {
    return channel >= 0 && channel < ChannelCount && RoleOfChannel(measure, channel) == ChannelRole::Concrete;
}

void ResetPatternDimensions(TMeasureResult& measure) {
    for (std::size_t c = 0; c < std::size_t{ChannelCount}; ++c) {
        DefaultDimensions(measure.GeometryKind, measure.PatternDimensions[c]);
        measure.PatternVolume[c] = SpecimenVolume(measure.GeometryKind, measure.PatternDimensions[c]);
    }
}

void SetGeometryKind(TMeasureResult& measure, std::int32_t geometryKind) {
    if (geometryKind == measure.GeometryKind) return;
    measure.GeometryKind = geometryKind;
    ResetPatternDimensions(measure);
}

void SetPatternDimensions(TMeasureResult& measure, int channel, const Dimensions& dimensions) {
    const auto c = static_cast<std::size_t>(channel);
    measure.PatternDimensions.at(c) = dimensions;
    measure.PatternVolume[c] = SpecimenVolume(measure.GeometryKind, dimensions);
}

void SetModelCoefficients(TMeasureResult& measure, const ModelCoefficientSet& coefficients) {
    std::copy(coefficients.begin(), coefficients.end(), measure.ModelCoefficients.begin());
}

void ApplyGeneralParameters(TMeasureResult& measure, const GeneralParametersEdit& edit) {
    if (edit.ModelCoefficients && HasEditableModel(measure)) SetModelCoefficients(measure, *edit.ModelCoefficients);
    if (edit.ConcreteKind) measure.ConcreteKind = *edit.ConcreteKind;
    if (edit.GeometryKind) SetGeometryKind(measure, *edit.GeometryKind);
}

void ApplyChannelProperties(TMeasureResult& measure, int channel, const ChannelPropertiesEdit& edit) {
    const auto c = static_cast<std::size_t>(channel);
    if (edit.PatternDimensions) SetPatternDimensions(measure, channel, *edit.PatternDimensions);
    if (edit.PrimaryWeight) measure.PatternPrimaryWeight.at(c) = *edit.PrimaryWeight;
    if (edit.SaturatedWeight) measure.PatternSaturatedWeight.at(c) = *edit.SaturatedWeight;
    if (edit.PatternAge) SetPatternAgeText(measure.PatternAge.at(c), *edit.PatternAge);
}

}  // namespace zemvalkorta
