#pragma once

// The raw curves of one measurement as text: one line per sample, the index,
// then volume ("0.000") and temperature ("0.00") of every used channel,
// tab-separated, CR LF line ends, no header.

#include <filesystem>
#include <stdexcept>

#include "core/MeasureResult.h"
#include "core/NumberFormat.h"

namespace zemvalkorta {

class ExportError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The file appears complete or not at all: a measurement whose curves are
// shorter than PointCount, or a failed write, leaves any earlier file as it was.
void ExportMeasureText(const TMeasureResult& measure, const std::filesystem::path& file,
                       const FormatSettings& settings = DefaultFormatSettings());

}  // namespace zemvalkorta
