#pragma once

// What an amendment of a measurement changed, field by field. Values are the
// texts of the record's JSON form (MeasureJson.h), so that a history entry
// reads like the `show` output it came from. Per-channel fields carry the
// channel number 1..3 in brackets ("PatternPrimaryWeight[1]"); a channel's
// PatternDimensions is one field holding its three dimensions; the operator's
// comment is the field "MEASURE_COMMENT". A missing record or comment is the
// JSON null.

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/JsonText.h"
#include "core/MeasureResult.h"

namespace zemvalkorta {

inline constexpr const char* CommentFieldName = "MEASURE_COMMENT";
inline constexpr const char* JsonNull = "null";

struct FieldChange {
    std::string Field;
    std::string Old;  // JSON value text
    std::string New;
    friend bool operator==(const FieldChange&, const FieldChange&) = default;
};

using FieldChanges = std::vector<FieldChange>;
// Field name and JSON value text, in the order of the record.
using MeasureFieldList = std::vector<std::pair<std::string, std::string>>;

// Every field of the record (curves excepted: they follow from the fields and
// the instrument's samples, and the whole image is kept where it matters).
MeasureFieldList MeasureFields(const TMeasureResult& measure);

// The fields whose text differs, in record order. A missing record on one
// side makes every field of the other one a change from or to null.
FieldChanges DiffMeasures(const std::optional<TMeasureResult>& before, const std::optional<TMeasureResult>& after);

// The comment as UTF-8 text; nullopt for a null comment.
std::optional<FieldChange> DiffComment(const std::optional<std::string>& before,
                                       const std::optional<std::string>& after);

// Stored form of a list of changes: one line per change, the field name, the
// old and the new JSON text separated by tabs. JSON texts of this form never
// hold a tab or a line break (JsonString escapes them), so the lines cannot
// run into each other. Decoding refuses a malformed line with ChangesError.
std::string EncodeChanges(const FieldChanges& changes);
FieldChanges DecodeChanges(std::string_view stored);

class ChangesError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A JSON array of {"Field", "Old", "New"} objects; the values are embedded as
// JSON, not as strings. The array holds Old and New as the stored texts: its
// writer copies the members ChangeValueKeys names as they stand, so that
// they read exactly as stored (the JSON reader would turn a stored -0 into
// 0).
Json ChangesJsonArray(const FieldChanges& changes);
inline const std::vector<std::string_view> ChangeValueKeys{"Old", "New"};
// The array written one change per line; `indent` starts every line but the
// first.
std::string ChangesToJson(const FieldChanges& changes, std::string_view indent = "");

// Applies changes to a field list as a replay of the history does: a change
// of a field the list does not hold appends it, a change to null of a whole
// record (a deletion) leaves null values.
void ApplyChanges(MeasureFieldList& fields, const FieldChanges& changes);

}  // namespace zemvalkorta
