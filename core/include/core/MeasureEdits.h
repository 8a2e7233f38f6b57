#pragma once

// The edits a user makes to a measurement's parameters, one rule each, the
// same whether they come from the window's dialogs or from the command line.
// channel is 0-based. The caller stores the record and reprocesses it.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "core/Catalogue.h"
#include "core/MeasureResult.h"

namespace zemvalkorta {

using ModelCoefficientSet = std::array<double, 4>;  // a0..a3

// A record of the standard specimen alone has no general parameters to edit.
bool CanEditGeneralParameters(const TMeasureResult& measure);

// Only a record without a physical standard is graded against a model, so
// only its model coefficients mean anything.
bool HasEditableModel(const TMeasureResult& measure);

// Channel properties belong to a concrete specimen's channel.
bool CanEditChannelProperties(const TMeasureResult& measure, int channel);

// Every channel gets the geometry's default dimensions and their volume, as
// the dimensions entered for another shape no longer fit.
void ResetPatternDimensions(TMeasureResult& measure);

// A new geometry resets every channel's dimensions and volume; setting the
// geometry the record already has changes nothing.
void SetGeometryKind(TMeasureResult& measure, std::int32_t geometryKind);

// The volume follows the dimensions.
void SetPatternDimensions(TMeasureResult& measure, int channel, const Dimensions& dimensions);

// Sets a0..a3; the model's start time and value stay as measured.
void SetModelCoefficients(TMeasureResult& measure, const ModelCoefficientSet& coefficients);

// What the general-parameters dialog changes; a field left empty stays as it is.
struct GeneralParametersEdit {
    std::optional<std::int32_t> ConcreteKind{};
    std::optional<std::int32_t> GeometryKind{};
    std::optional<ModelCoefficientSet> ModelCoefficients{};  // taken only where HasEditableModel
};

void ApplyGeneralParameters(TMeasureResult& measure, const GeneralParametersEdit& edit);

// What the channel-properties dialog changes; a field left empty stays as it is.
struct ChannelPropertiesEdit {
    std::optional<Dimensions> PatternDimensions{};
    std::optional<double> PrimaryWeight{};    // g
    std::optional<double> SaturatedWeight{};  // g
    std::optional<std::string> PatternAge{};  // UTF-8, stored as SetPatternAgeText stores it
};

void ApplyChannelProperties(TMeasureResult& measure, int channel, const ChannelPropertiesEdit& edit);

}  // namespace zemvalkorta
