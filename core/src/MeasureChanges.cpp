#include "core/MeasureChanges.h"

#include <algorithm>

#include "core/Catalogue.h"
#include "core/MeasureJson.h"

namespace zemvalkorta {

namespace {

std::string Number(double value) { return JsonNumber(value); }
std::string Number(float value) { return JsonNumber(value); }
std::string Number(std::int32_t value) { return std::to_string(value); }
std::string Number(std::uint32_t value) { return std::to_string(value); }

std::string ChannelField(const char* name, int channel) {
    return std::string(name) + "[" + std::to_string(channel + 1) + "]";
}

template <typename Element>
void AddPerChannel(MeasureFieldList& fields, const char* name, const std::array<Element, ChannelCount>& values) {
    for (int c = 0; c < ChannelCount; ++c) fields.emplace_back(ChannelField(name, c), Number(values[c]));
}

template <typename Element, std::size_t Count>
std::string Array(const std::array<Element, Count>& values) {
    std::string text = "[";
    for (std::size_t i = 0; i < Count; ++i) text += (i > 0 ? ", " : "") + Number(values[i]);
    return text + "]";
}

}  // namespace

MeasureFieldList MeasureFields(const TMeasureResult& measure) {
    MeasureFieldList fields;
    fields.reserve(64);
    const std::string date = DateTimeText(measure.MeasureDate);
    fields.emplace_back("MeasureDate", date.empty() ? JsonNull : JsonString(date));
    fields.emplace_back("DataVersion", Number(measure.DataVersion));
    fields.emplace_back("MeasureNumber", Number(measure.MeasureNumber));
    fields.emplace_back("StandardPattern", Number(measure.StandardPattern));
    fields.emplace_back("ActiveChannels", Number(measure.ActiveChannels));
    fields.emplace_back("Duration", Number(measure.Duration));
    fields.emplace_back("Period", Number(measure.Period));
    fields.emplace_back("PointCount", Number(measure.PointCount));
    fields.emplace_back("ConcreteKind", Number(measure.ConcreteKind));
    fields.emplace_back("GeometryKind", Number(measure.GeometryKind));
    AddPerChannel(fields, "PatternVolume", measure.PatternVolume);
    for (int c = 0; c < ChannelCount; ++c)
        fields.emplace_back(ChannelField("PatternDimensions", c), Array(measure.PatternDimensions[c]));
    AddPerChannel(fields, "PatternPrimaryWeight", measure.PatternPrimaryWeight);
    AddPerChannel(fields, "PatternSaturatedWeight", measure.PatternSaturatedWeight);
    for (int c = 0; c < ChannelCount; ++c)
        fields.emplace_back(ChannelField("PatternAge", c), JsonString(PatternAgeText(measure.PatternAge[c])));
    fields.emplace_back("ModelCoefficients", Array(measure.ModelCoefficients));
    fields.emplace_back("TemperatureFactor", Number(measure.TemperatureFactor));
    AddPerChannel(fields, "DeviceTemperature", measure.DeviceTemperature);
    AddPerChannel(fields, "DeltaVolume", measure.DeltaVolume);
    AddPerChannel(fields, "Tetta", measure.Tetta);
    AddPerChannel(fields, "FrostResistance", measure.FrostResistance);
    fields.emplace_back("AverageTetta", Number(measure.AverageTetta));
    fields.emplace_back("AverageFrostResistance", Number(measure.AverageFrostResistance));
    AddPerChannel(fields, "CurveShift", measure.CurveShift);
    AddPerChannel(fields, "CurveStretch", measure.CurveStretch);
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

std::string ChangesToJson(const FieldChanges& changes, std::string_view indent) {
    if (changes.empty()) return "[]";
    std::string text = "[";
    for (std::size_t i = 0; i < changes.size(); ++i) {
        text += i > 0 ? ",\n" : "\n";
        text += indent;
        text += "  {\"Field\": " + JsonString(changes[i].Field) + ", \"Old\": " + changes[i].Old +
                ", \"New\": " + changes[i].New + "}";
    }
    text += "\n";
    text += indent;
    return text + "]";
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
