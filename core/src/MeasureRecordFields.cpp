#include "core/MeasureRecordFields.h"

#include "core/Catalogue.h"
#include "core/StoredDateTime.h"

namespace zemvalkorta {

namespace {

Json DateValue(double dateTime) {
    const std::string text = DateTimeText(dateTime);
    return text.empty() ? Json(nullptr) : Json(text);
}

Json PatternAges(const TMeasureResult& measure) {
    Json ages = Json::array();
    for (const auto& age : measure.PatternAge) ages.push_back(PatternAgeText(age));
    return ages;
}

// Each field is a plain function so that the table stays a constant.
constexpr MeasureRecordField Fields[] = {
    {"MeasureDate", false, [](const TMeasureResult& m) { return DateValue(m.MeasureDate); }},
    {"DataVersion", false, [](const TMeasureResult& m) { return Json(m.DataVersion); }},
    {"MeasureNumber", false, [](const TMeasureResult& m) { return Json(m.MeasureNumber); }},
    {"StandardPattern", false, [](const TMeasureResult& m) { return Json(m.StandardPattern); }},
    {"ActiveChannels", false, [](const TMeasureResult& m) { return Json(m.ActiveChannels); }},
    {"Duration", false, [](const TMeasureResult& m) { return Json(m.Duration); }},
    {"Period", false, [](const TMeasureResult& m) { return Json(m.Period); }},
    {"PointCount", false, [](const TMeasureResult& m) { return Json(m.PointCount); }},
    {"ConcreteKind", false, [](const TMeasureResult& m) { return Json(m.ConcreteKind); }},
    {"GeometryKind", false, [](const TMeasureResult& m) { return Json(m.GeometryKind); }},
    {"PatternVolume", true, [](const TMeasureResult& m) { return Json(m.PatternVolume); }},
    {"PatternDimensions", true, [](const TMeasureResult& m) { return Json(m.PatternDimensions); }},
    {"PatternPrimaryWeight", true, [](const TMeasureResult& m) { return Json(m.PatternPrimaryWeight); }},
    {"PatternSaturatedWeight", true, [](const TMeasureResult& m) { return Json(m.PatternSaturatedWeight); }},
    {"PatternAge", true, PatternAges},
    {"ModelCoefficients", false, [](const TMeasureResult& m) { return Json(m.ModelCoefficients); }},
    {"TemperatureFactor", false, [](const TMeasureResult& m) { return Json(m.TemperatureFactor); }},
    {"DeviceTemperature", true, [](const TMeasureResult& m) { return FloatArray(m.DeviceTemperature); }},
    {"DeltaVolume", true, [](const TMeasureResult& m) { return Json(m.DeltaVolume); }},
    {"Tetta", true, [](const TMeasureResult& m) { return Json(m.Tetta); }},
    {"FrostResistance", true, [](const TMeasureResult& m) { return Json(m.FrostResistance); }},
    {"AverageTetta", false, [](const TMeasureResult& m) { return Json(m.AverageTetta); }},
    {"AverageFrostResistance", false, [](const TMeasureResult& m) { return Json(m.AverageFrostResistance); }},
    {"CurveShift", true, [](const TMeasureResult& m) { return Json(m.CurveShift); }},
    {"CurveStretch", true, [](const TMeasureResult& m) { return Json(m.CurveStretch); }},
};

}  // namespace

std::span<const MeasureRecordField> MeasureRecordFields() { return Fields; }

}  // namespace zemvalkorta
