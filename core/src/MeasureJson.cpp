#include "core/MeasureJson.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "core/Catalogue.h"
#include "core/FrostGrading.h"

namespace zemvalkorta {

namespace {

template <typename Number>
std::string ShortestText(Number value) {
    if (!std::isfinite(value)) return "null";
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

template <typename Element>
std::string JsonArray(const Element* values, std::size_t count) {
    std::string text = "[";
    for (std::size_t i = 0; i < count; ++i) {
        if (i > 0) text += ", ";
        if constexpr (std::is_floating_point_v<Element>)
            text += JsonNumber(values[i]);
        else
            text += std::to_string(values[i]);
    }
    return text + "]";
}

template <typename Container>
std::string JsonArray(const Container& values) {
    return JsonArray(values.data(), values.size());
}

// Days since 1970-01-01 to a civil date (proleptic Gregorian).
void CivilFromDays(long long days, long long& year, unsigned& month, unsigned& day) {
    days += 719468;
    const long long era = (days >= 0 ? days : days - 146096) / 146097;
    const auto dayOfEra = static_cast<unsigned>(days - era * 146097);
    const unsigned yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const unsigned monthIndex = (5 * dayOfYear + 2) / 153;
    day = dayOfYear - (153 * monthIndex + 2) / 5 + 1;
    month = monthIndex < 10 ? monthIndex + 3 : monthIndex - 9;
    year = static_cast<long long>(yearOfEra) + era * 400 + (month <= 2 ? 1 : 0);
}

class ObjectWriter {
public:
    void Add(std::string_view key, const std::string& value) {
        text_ += first_ ? "{\n  " : ",\n  ";
        first_ = false;
        text_ += JsonString(key);
        text_ += ": ";
        text_ += value;
    }
    std::string Finish() { return text_ + (first_ ? "{}" : "\n}"); }

private:
    std::string text_;
    bool first_ = true;
};

}  // namespace

std::string JsonNumber(double value) { return ShortestText(value); }
std::string JsonNumber(float value) { return ShortestText(value); }

std::string JsonString(std::string_view utf8) {
    std::string text = "\"";
    for (const char c : utf8) {
        switch (c) {
            case '"':
                text += "\\\"";
                break;
            case '\\':
                text += "\\\\";
                break;
            case '\n':
                text += "\\n";
                break;
            case '\r':
                text += "\\r";
                break;
            case '\t':
                text += "\\t";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    char escape[8];
                    std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
                    text += escape;
                } else {
                    text.push_back(c);
                }
        }
    }
    return text + "\"";
}

std::string DateTimeText(double dateTime) {
    // 0001-01-01 and 9999-12-31 as day counts since 1899-12-30.
    constexpr double FirstDay = -693593.0;
    constexpr double LastDay = 2958466.0;
    if (!std::isfinite(dateTime) || dateTime < FirstDay || dateTime >= LastDay) return {};
    constexpr long long MillisecondsPerDay = 86400000;
    long long days = static_cast<long long>(std::trunc(dateTime));
    long long milliseconds = std::llround(std::fabs(dateTime - static_cast<double>(days)) * MillisecondsPerDay);
    if (milliseconds >= MillisecondsPerDay) {
        milliseconds -= MillisecondsPerDay;
        ++days;
    }
    constexpr long long DaysFrom1899To1970 = 25569;
    long long year = 0;
    unsigned month = 0;
    unsigned day = 0;
    CivilFromDays(days - DaysFrom1899To1970, year, month, day);
    if (year > 9999) return {};
    const long long seconds = milliseconds / 1000;
    char buffer[80];
    std::snprintf(buffer, sizeof buffer, "%04lld-%02u-%02uT%02lld:%02lld:%02lld", year, month, day, seconds / 3600,
                  seconds % 3600 / 60, seconds % 60);
    return buffer;
}

std::string MeasureToJson(const TMeasureResult& measure, const MeasureJsonOptions& options) {
    ObjectWriter json;
    const std::string date = DateTimeText(measure.MeasureDate);
    json.Add("MeasureDate", date.empty() ? "null" : JsonString(date));
    json.Add("MeasureDateRaw", JsonNumber(measure.MeasureDate));
    json.Add("DataVersion", std::to_string(measure.DataVersion));
    json.Add("MeasureNumber", std::to_string(measure.MeasureNumber));
    json.Add("StandardPattern", std::to_string(measure.StandardPattern));
    json.Add("ActiveChannels", std::to_string(measure.ActiveChannels));
    json.Add("Duration", std::to_string(measure.Duration));
    json.Add("Period", std::to_string(measure.Period));
    json.Add("PointCount", std::to_string(measure.PointCount));
    json.Add("ConcreteKind", std::to_string(measure.ConcreteKind));
    json.Add("GeometryKind", std::to_string(measure.GeometryKind));
    json.Add("PatternVolume", JsonArray(measure.PatternVolume));
    std::string dimensions = "[";
    for (int c = 0; c < ChannelCount; ++c) dimensions += (c > 0 ? ", " : "") + JsonArray(measure.PatternDimensions[c]);
    json.Add("PatternDimensions", dimensions + "]");
    json.Add("PatternPrimaryWeight", JsonArray(measure.PatternPrimaryWeight));
    json.Add("PatternSaturatedWeight", JsonArray(measure.PatternSaturatedWeight));
    std::string ages = "[";
    for (int c = 0; c < ChannelCount; ++c)
        ages += (c > 0 ? ", " : "") + JsonString(PatternAgeText(measure.PatternAge[c]));
    json.Add("PatternAge", ages + "]");
    json.Add("ModelCoefficients", JsonArray(measure.ModelCoefficients));
    json.Add("TemperatureFactor", JsonNumber(measure.TemperatureFactor));
    json.Add("DeviceTemperature", JsonArray(measure.DeviceTemperature));
    json.Add("DeltaVolume", JsonArray(measure.DeltaVolume));
    json.Add("Tetta", JsonArray(measure.Tetta));
    json.Add("FrostResistance", JsonArray(measure.FrostResistance));
    json.Add("AverageTetta", JsonNumber(measure.AverageTetta));
    json.Add("AverageFrostResistance", std::to_string(measure.AverageFrostResistance));
    json.Add("CurveShift", JsonArray(measure.CurveShift));
    json.Add("CurveStretch", JsonArray(measure.CurveStretch));

    std::array<int, ChannelCount> cycles{-1, -1, -1};
    bool anyConcrete = false;
    for (int c = 0; c < ChannelCount; ++c) {
        if (RoleOfChannel(measure, c) != ChannelRole::Concrete) continue;
        anyConcrete = true;
        cycles[c] = FrostCycles(measure.GeometryKind, measure.ConcreteKind, measure.Tetta[c]);
    }
    json.Add("FrostCycles", JsonArray(cycles));
    json.Add("AverageFrostCycles",
             std::to_string(anyConcrete ? FrostCycles(measure.GeometryKind, measure.ConcreteKind, measure.AverageTetta)
                                        : -1));
    if (options.Curves) {
        std::string curves = "[";
        for (std::size_t k = 0; k < measure.Curves.size(); ++k)
            curves += (k > 0 ? ",\n    " : "\n    ") + JsonArray(measure.Curves[k]);
        json.Add("Curves", curves + (measure.Curves.empty() ? "]" : "\n  ]"));
    }
    return json.Finish();
}

}  // namespace zemvalkorta
