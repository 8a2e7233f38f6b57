#include "core/MeasureHistoryText.h"

#include "core/JsonText.h"
#include "core/MeasureChanges.h"
#include "core/StoredDateTime.h"

namespace zemvalkorta {

namespace {

constexpr const char* ActionNames[] = {"begin", "insert", "edit", "delete"};

}  // namespace

const char* ActionName(AmendmentAction action) { return ActionNames[static_cast<int>(action)]; }

std::optional<AmendmentAction> ActionFromName(std::string_view name) {
    for (int i = 0; i < 4; ++i)
        if (name == ActionNames[i]) return static_cast<AmendmentAction>(i);
    return std::nullopt;
}

std::string OperatorText(std::string_view login, std::string_view operatorName) {
    if (operatorName.empty()) return std::string(login);
    if (login.empty()) return std::string(operatorName);
    return std::string(operatorName) + " (" + std::string(login) + ")";
}

std::string UtcTimeText(double timeUtc) {
    std::string text = DateTimeText(timeUtc);
    return text.empty() ? text : text + "Z";
}

std::string AmendmentsToJson(const std::vector<MeasureAmendment>& amendments) {
    Json array = Json::array();
    for (const MeasureAmendment& entry : amendments) {
        const std::string time = UtcTimeText(entry.TimeUtc);
        array.push_back({{"MEASURE_RESULT_TABLE_PK", entry.MeasurePk ? Json(*entry.MeasurePk) : Json(nullptr)},
                         {"Time", time.empty() ? Json(nullptr) : Json(time)},
                         {"Operator", OperatorText(entry.Login, entry.OperatorName)},
                         {"Action", ActionName(entry.Action)},
                         {"Changes", ChangesJsonArray(entry.Changes)}});
    }
    return JsonText(array, {.ItemPerLine = true, .ItemPerLineKeys = {"Changes"}, .VerbatimKeys = ChangeValueKeys});
}

std::string AmendmentsToText(const std::vector<MeasureAmendment>& amendments) {
    std::string text;
    for (const MeasureAmendment& entry : amendments) {
        text += UtcTimeText(entry.TimeUtc) + "  " + ActionName(entry.Action);
        if (entry.MeasurePk) text += "  #" + std::to_string(*entry.MeasurePk);
        text += "  " + OperatorText(entry.Login, entry.OperatorName) + "\n";
        if (entry.Action == AmendmentAction::Begin)
            text += "    the history of changes starts here; earlier amendments are not known\n";
        for (const FieldChange& change : entry.Changes)
            text += "    " + change.Field + ": " + change.Old + " -> " + change.New + "\n";
    }
    return text;
}

}  // namespace zemvalkorta
