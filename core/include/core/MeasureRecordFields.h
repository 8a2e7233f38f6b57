#pragma once

// The fields of a measurement record in their order, each with its JSON
// value: the one walk over the record that its JSON form and the history of
// changes both make.

#include <span>

#include "core/JsonText.h"
#include "core/MeasureResult.h"

namespace zemvalkorta {

struct MeasureRecordField {
    const char* Name;
    // The value is an array of one item per channel.
    bool PerChannel;
    Json (*Value)(const TMeasureResult& measure);
};

// Curves excepted: they are not a field of the record's text forms.
std::span<const MeasureRecordField> MeasureRecordFields();

}  // namespace zemvalkorta
