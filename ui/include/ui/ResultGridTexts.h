#pragma once

// The texts of the two result grids for one measurement.

#include <QString>
#include <array>

#include "core/MeasureResult.h"

namespace zemvalkorta {

inline constexpr int ParamGridRowCount = 5;
inline constexpr int DetailsGridRowCount = 12;

// Column 0 of the general-parameter grid.
QString ParamRowLabel(int row);
// Column 1 of the general-parameter grid, rows 0..4.
std::array<QString, ParamGridRowCount> ParamGridTexts(const TMeasureResult& measure);

// Column 0 (row >= 1) and the header row (column 1..3) of the specimen grid.
QString DetailsRowLabel(int row);
QString DetailsHeaderText(int column);
// Rows 1..11 of the column of channel (0-based); index 0 is unused. Empty
// unless the channel holds a concrete specimen.
std::array<QString, DetailsGridRowCount> DetailsColumnTexts(const TMeasureResult& measure, int channel);

// The stored age as shown: "?" when it holds nothing but blanks and control characters.
QString AgeText(const ShortString64& age);

}  // namespace zemvalkorta
