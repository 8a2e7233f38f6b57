#include "core/MeasureHistoryText.h"

#include "core/MeasureJson.h"

namespace zemvalkorta {

namespace {

constexpr const char* ActionNames[] = {"begin", "insert", "edit", "delete"};

std::string KeyText(const std::optional<std::int64_t>& pk) { return pk ? std::to_string(*pk) : JsonNull; }

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
    if (amendments.empty()) return "[]";
    std::string text = "[";
    for (std::size_t i = 0; i < amendments.size(); ++i) {
        const MeasureAmendment& entry = amendments[i];
        const std::string time = UtcTimeText(entry.TimeUtc);
        text += i > 0 ? ",\n  {" : "\n  {";
        text += "\"MEASURE_RESULT_TABLE_PK\": " + KeyText(entry.MeasurePk);
        text += ", \"Time\": " + (time.empty() ? std::string(JsonNull) : JsonString(time));
        text += ", \"Operator\": " + JsonString(OperatorText(entry.Login, entry.OperatorName));
        text += ", \"Action\": " + JsonString(ActionName(entry.Action));
        text += ", \"Changes\": " + ChangesToJson(entry.Changes, "  ") + "}";
    }
    return text + "\n]";
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
