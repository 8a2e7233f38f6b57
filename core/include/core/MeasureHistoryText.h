#pragma once

// The entries of a measurement's history of amendments as the command-line
// tool prints them: a JSON array or lines of text, oldest entry first.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/MeasureChanges.h"

namespace zemvalkorta {

// Begin marks where the history of a project made before it was kept starts:
// nothing is known of the amendments before that entry.
enum class AmendmentAction { Begin, Insert, Edit, Delete };

const char* ActionName(AmendmentAction action);  // "begin", "insert", "edit", "delete"
std::optional<AmendmentAction> ActionFromName(std::string_view name);

struct MeasureAmendment {
    std::optional<std::int64_t> MeasurePk;  // none for the start of a project's history
    double TimeUtc = 0.0;                   // days since 1899-12-30, UTC
    std::string Login;                      // the account the program ran under
    std::string OperatorName;               // as set in the program; may be empty
    AmendmentAction Action = AmendmentAction::Edit;
    FieldChanges Changes;
};

// "Name (login)", or the login alone when no name was set.
std::string OperatorText(std::string_view login, std::string_view operatorName);
// "YYYY-MM-DDTHH:MM:SSZ"; empty for a time outside years 1..9999.
std::string UtcTimeText(double timeUtc);

std::string AmendmentsToJson(const std::vector<MeasureAmendment>& amendments);
std::string AmendmentsToText(const std::vector<MeasureAmendment>& amendments);

}  // namespace zemvalkorta
