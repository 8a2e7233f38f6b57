#include "core/MeasureChanges.h"

#include <algorithm>

#include "core/JsonText.h"
#include "core/MeasureRecordFields.h"

namespace zemvalkorta {

MeasureFieldList MeasureFields(const TMeasureResult& measure) {
    MeasureFieldList fields;
    fields.reserve(64);
    for (const MeasureRecordField& field : MeasureRecordFields()) {
        const Json value = field.Value(measure);
        if (!field.PerChannel) {
            fields.emplace_back(field.Name, JsonText(value));
            continue;
        }
        for (std::size_t c = 0; c < value.size(); ++c)
            fields.emplace_back(std::string(field.Name) + "[" + std::to_string(c + 1) + "]", JsonText(value[c]));
    }
    return fields;
}

FieldChanges DiffMeasures(const std::optional<TMeasureResult>& before, const std::optional<TMeasureResult>& after) {
    FieldChanges changes;
    if (!before && !after) return changes;
    const MeasureFieldList old = before ? MeasureFields(*before) : MeasureFieldList{};
    const MeasureFieldList now = after ? MeasureFields(*after) : MeasureFieldList{};
    // Both lists hold the same fields in the same order; an absent side has none.
    const MeasureFieldList& names = before ? old : now;
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::string& oldValue = before ? old[i].second : std::string(JsonNull);
        const std::string& newValue = after ? now[i].second : std::string(JsonNull);
        if (oldValue != newValue) changes.push_back({names[i].first, oldValue, newValue});
    }
    return changes;
}

std::optional<FieldChange> DiffComment(const std::optional<std::string>& before,
                                       const std::optional<std::string>& after) {
    const std::string oldValue = before ? JsonString(*before) : std::string(JsonNull);
    const std::string newValue = after ? JsonString(*after) : std::string(JsonNull);
    if (oldValue == newValue) return std::nullopt;
    return FieldChange{CommentFieldName, oldValue, newValue};
}

std::string EncodeChanges(const FieldChanges& changes) {
    std::string stored;
    for (const FieldChange& change : changes) {
        for (const std::string* part : {&change.Field, &change.Old, &change.New})
            if (part->find_first_of("\t\n") != std::string::npos)
                throw ChangesError("a change holds a tab or a line break: " + change.Field);
        stored += change.Field + '\t' + change.Old + '\t' + change.New + '\n';
    }
    return stored;
}

FieldChanges DecodeChanges(std::string_view stored) {
    FieldChanges changes;
    std::size_t line = 0;
    while (!stored.empty()) {
        ++line;
        const std::size_t end = stored.find('\n');
        if (end == std::string_view::npos) throw ChangesError("change " + std::to_string(line) + " is cut short");
        const std::string_view text = stored.substr(0, end);
        stored.remove_prefix(end + 1);
        const std::size_t first = text.find('\t');
        const std::size_t second = first == std::string_view::npos ? first : text.find('\t', first + 1);
        if (second == std::string_view::npos || text.find('\t', second + 1) != std::string_view::npos || first == 0)
            throw ChangesError("change " + std::to_string(line) + " is malformed");
        changes.push_back({std::string(text.substr(0, first)), std::string(text.substr(first + 1, second - first - 1)),
                           std::string(text.substr(second + 1))});
    }
    return changes;
}

Json ChangesJsonArray(const FieldChanges& changes) {
    Json array = Json::array();
    for (const FieldChange& change : changes)
        array.push_back(Json{{"Field", change.Field}, {"Old", change.Old}, {"New", change.New}});
    return array;
}

std::string ChangesToJson(const FieldChanges& changes, std::string_view indent) {
    return JsonText(ChangesJsonArray(changes),
                    {.ItemPerLine = true, .VerbatimKeys = ChangeValueKeys, .Margin = indent});
}

void ApplyChanges(MeasureFieldList& fields, const FieldChanges& changes) {
    for (const FieldChange& change : changes) {
        auto found =
            std::find_if(fields.begin(), fields.end(), [&](const auto& field) { return field.first == change.Field; });
        if (found == fields.end())
            fields.emplace_back(change.Field, change.New);
        else
            found->second = change.New;
    }
}

}  // namespace zemvalkorta
