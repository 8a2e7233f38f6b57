#pragma once

// Specimen catalogue: names of concrete kinds and geometries, default
// dimensions, the volume formula and the texts of a measurement's general
// parameters. Stateless; no code is ever refused (unknown codes give "?" and
// the 100 mm cube). Texts are UTF-8.

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "core/MeasureResult.h"
#include "core/NumberFormat.h"

namespace zemvalkorta {

inline constexpr int ConcreteKindCount = 4;  // codes 0..3 offered in the lists
inline constexpr int GeometryKindCount = 3;  // codes 0..2 offered in the lists

enum GeometryCode : std::int32_t { Cube100 = 0, Cube70 = 1, Cylinder70 = 2 };

using Dimensions = std::array<double, 3>;  // mm: x, y, z (cylinder: diameter, height, unused)

std::string ConcreteKindName(std::int32_t concreteKind);
std::string GeometryName(std::int32_t geometryKind);

void DefaultDimensions(std::int32_t geometryKind, Dimensions& dimensions);
Dimensions DefaultDimensions(std::int32_t geometryKind);

// cm3; computed in extended precision. A zero dimension gives 0.
double SpecimenVolume(std::int32_t geometryKind, const Dimensions& dimensions);

// "К2   [a0,  a1,  a2,  a3]" with every coefficient as "0.000E+00", or "?"
// for a code that names neither one channel nor one model. The first four
// values of `coefficients` are a0..a3 (missing ones count as 0), so the
// record's ModelCoefficients can be passed as they are.
std::string StandardLabel(std::int32_t standardPattern, std::span<const double> coefficients);
std::string StandardLabel(std::int32_t standardPattern, std::span<const double> coefficients,
                          const FormatSettings& settings);

// "все" for exactly 7, otherwise the numbers of the set channels joined by "+".
std::string ChannelsLabel(std::int32_t activeChannels);

// "h:mm"; seconds are dropped. From 24 hours on the hours keep counting
// ("25:30") instead of wrapping into the next day.
std::string DurationText(std::uint32_t seconds);

std::string NumberText(std::uint32_t value);

// raw * factor / 65536 (not 65535), in extended precision.
double ScaleRawWord(std::int32_t raw, double factor);

// PatternAge: a Windows-1251 short string (length byte, 63 text bytes).
// A length byte above 63 is read as 63.
std::string PatternAgeText(const ShortString64& age);

// Stores `utf8` as Windows-1251 ("?" for characters without a code), cut to
// 63 bytes after the conversion. Only the length byte and the text bytes are
// written; the bytes after the text keep what they held, so storing the text
// a record already has leaves its image byte for byte as it was.
void SetPatternAgeText(ShortString64& age, std::string_view utf8);

}  // namespace zemvalkorta
