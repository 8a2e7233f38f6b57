#include "core/MeasureJson.h"

#include <string_view>

#include "core/Catalogue.h"
#include "core/FrostGrading.h"
#include "core/MeasureRecordFields.h"

namespace zemvalkorta {

Json MeasureJsonObject(const TMeasureResult& measure, const MeasureJsonOptions& options) {
    Json json = Json::object();
    for (const MeasureRecordField& field : MeasureRecordFields()) {
        json[field.Name] = field.Value(measure);
        // The raw stored value beside its text, for a reader that needs the exact date.
        if (std::string_view(field.Name) == "MeasureDate") json["MeasureDateRaw"] = measure.MeasureDate;
    }

    std::array<int, ChannelCount> cycles{-1, -1, -1};
    bool anyConcrete = false;
    for (int c = 0; c < ChannelCount; ++c) {
        if (RoleOfChannel(measure, c) != ChannelRole::Concrete) continue;
        anyConcrete = true;
        cycles[c] = FrostCycles(measure.GeometryKind, measure.ConcreteKind, measure.Tetta[c]);
    }
    json["FrostCycles"] = cycles;
    json["AverageFrostCycles"] =
        anyConcrete ? FrostCycles(measure.GeometryKind, measure.ConcreteKind, measure.AverageTetta) : -1;
    if (options.Curves) {
        Json& curves = json["Curves"] = Json::array();
        for (const Curve& curve : measure.Curves) curves.push_back(FloatArray(curve));
    }
    return json;
}

JsonLayout MeasureJsonLayout() { return {.ItemPerLine = true, .ItemPerLineKeys = {"Curves"}}; }

std::string MeasureToJson(const TMeasureResult& measure, const MeasureJsonOptions& options) {
    return JsonText(MeasureJsonObject(measure, options), MeasureJsonLayout());
}

}  // namespace zemvalkorta
