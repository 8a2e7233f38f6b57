#pragma once

// A measurement record as one JSON object, for the command-line tool and for
// anyone who needs the record in a form other programs can read. Keys are the
// record's field names, plus the derived FrostCycles / AverageFrostCycles and
// MeasureDateRaw (the stored float64 date).

#include <string>
#include <string_view>

#include "core/MeasureResult.h"

namespace zemvalkorta {

struct MeasureJsonOptions {
    bool Curves = false;  // adds "Curves": one array per curve
};

std::string MeasureToJson(const TMeasureResult& measure, const MeasureJsonOptions& options = {});

// Shortest text that reads back to the same value; "null" for NaN and
// infinities. The float overload reads back to the same float32.
std::string JsonNumber(double value);
std::string JsonNumber(float value);

// Quoted and escaped; `utf8` is copied as it is apart from the escapes.
std::string JsonString(std::string_view utf8);

// "YYYY-MM-DDTHH:MM:SS" of a day count since 1899-12-30 whose fraction is the
// time of day (for negative counts the fraction still runs forward from
// midnight). The time is rounded to the millisecond, then shown to the
// second. Empty for a value that is not finite or lies outside years 1..9999.
std::string DateTimeText(double dateTime);

}  // namespace zemvalkorta
