#pragma once

// A measurement record as one JSON object, for the command-line tool and for
// anyone who needs the record in a form other programs can read. Keys are the
// record's field names, plus the derived FrostCycles / AverageFrostCycles and
// MeasureDateRaw (the stored float64 date).

#include <string>

#include "core/JsonText.h"
#include "core/MeasureResult.h"
#include "core/StoredDateTime.h"

namespace zemvalkorta {

struct MeasureJsonOptions {
    bool Curves = false;  // adds "Curves": one array per curve
};

// The object, for a caller that adds members of its own before writing it
// with MeasureJsonLayout.
Json MeasureJsonObject(const TMeasureResult& measure, const MeasureJsonOptions& options = {});
// One member per line, and one curve per line.
JsonLayout MeasureJsonLayout();

std::string MeasureToJson(const TMeasureResult& measure, const MeasureJsonOptions& options = {});

}  // namespace zemvalkorta
