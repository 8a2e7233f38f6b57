#include "core/MeasureJson.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

#include "core/Catalogue.h"

namespace zemvalkorta {
namespace {

double ReadBack(const std::string& text) {
    double value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

TEST(MeasureJsonTest, NumbersReadBackExactly) {
    for (const double value : {0.1, 1.0 / 3.0, -2.5e-300, 1e300, 269.39081782768614, 5e-324, 0.0}) {
        EXPECT_EQ(ReadBack(JsonNumber(value)), value) << JsonNumber(value);
    }
    EXPECT_EQ(JsonNumber(0.1), "0.1");
    EXPECT_EQ(JsonNumber(0.1f), "0.1");
    EXPECT_EQ(static_cast<float>(ReadBack(JsonNumber(0.1f))), 0.1f);
    EXPECT_EQ(JsonNumber(std::numeric_limits<double>::quiet_NaN()), "null");
    EXPECT_EQ(JsonNumber(-std::numeric_limits<double>::infinity()), "null");
    EXPECT_EQ(JsonNumber(std::numeric_limits<float>::infinity()), "null");
}

TEST(MeasureJsonTest, StringsAreEscaped) {
    EXPECT_EQ(JsonString("a\"b\\c"), "\"a\\\"b\\\\c\"");
    EXPECT_EQ(JsonString("\n\t\x01"), "\"\\n\\t\\u0001\"");
    EXPECT_EQ(JsonString("лёд"), "\"лёд\"");
}

TEST(MeasureJsonTest, DateTimeText) {
    EXPECT_EQ(DateTimeText(0.0), "1899-12-30T00:00:00");
    EXPECT_EQ(DateTimeText(45000.5), "2023-03-15T12:00:00");
    EXPECT_EQ(DateTimeText(36526.0 + 0.75), "2000-01-01T18:00:00");
    // 23:59:59.9996 rounds to the millisecond first, which is the next day.
    EXPECT_EQ(DateTimeText(45000.0 + (86399.9996 / 86400.0)), "2023-03-16T00:00:00");
    // 10:00:00.4 is shown to the second without rounding up.
    EXPECT_EQ(DateTimeText(45000.0 + 36000.4 / 86400.0), "2023-03-15T10:00:00");
    // Before the epoch the fraction still counts from midnight.
    EXPECT_EQ(DateTimeText(-1.25), "1899-12-29T06:00:00");
    EXPECT_EQ(DateTimeText(std::numeric_limits<double>::quiet_NaN()), "");
    EXPECT_EQ(DateTimeText(1e10), "");
    EXPECT_EQ(DateTimeText(-1e10), "");
}

TEST(MeasureJsonTest, RecordKeysDerivedCyclesAndCurves) {
    TMeasureResult measure;
    measure.MeasureDate = 45000.5;
    measure.StandardPattern = 2;
    measure.ActiveChannels = 7;
    measure.PointCount = 2;
    measure.Tetta = {0.0037, 0.5, 0.00007};  // channel 2 is the standard
    measure.AverageTetta = std::numeric_limits<double>::quiet_NaN();
    SetPatternAgeText(measure.PatternAge[2], "28 \"сут\"");
    measure.Curves.assign(10, Curve{0.25f, -1.5f});

    const std::string plain = MeasureToJson(measure);
    for (const char* key : {"MeasureDate",
                            "MeasureDateRaw",
                            "DataVersion",
                            "MeasureNumber",
                            "StandardPattern",
                            "ActiveChannels",
                            "Duration",
                            "Period",
                            "PointCount",
                            "ConcreteKind",
                            "GeometryKind",
                            "PatternVolume",
                            "PatternDimensions",
                            "PatternPrimaryWeight",
                            "PatternSaturatedWeight",
                            "PatternAge",
                            "ModelCoefficients",
                            "TemperatureFactor",
                            "DeviceTemperature",
                            "DeltaVolume",
                            "Tetta",
                            "FrostResistance",
                            "AverageTetta",
                            "AverageFrostResistance",
                            "CurveShift",
                            "CurveStretch",
                            "FrostCycles",
                            "AverageFrostCycles"})
        EXPECT_NE(plain.find("\"" + std::string(key) + "\": "), std::string::npos) << key;
    EXPECT_EQ(plain.find("\"Curves\""), std::string::npos);
    EXPECT_NE(plain.find("\"MeasureDate\": \"2023-03-15T12:00:00\""), std::string::npos);
    EXPECT_NE(plain.find("\"MeasureDateRaw\": 45000.5"), std::string::npos);
    // Heavy concrete in 100 mm cubes: 3.7e-3 gives 43 cycles, 0.07e-3 gives 867.
    EXPECT_NE(plain.find("\"FrostCycles\": [43, -1, 867]"), std::string::npos) << plain;
    EXPECT_NE(plain.find("\"AverageTetta\": null"), std::string::npos);
    EXPECT_NE(plain.find("\"AverageFrostCycles\": -1"), std::string::npos);
    EXPECT_NE(plain.find("\"PatternAge\": [\"\", \"\", \"28 \\\"сут\\\"\"]"), std::string::npos);
    EXPECT_EQ(plain.front(), '{');
    EXPECT_EQ(plain.back(), '}');

    const std::string withCurves = MeasureToJson(measure, {.Curves = true});
    EXPECT_NE(withCurves.find("\"Curves\": [\n    [0.25, -1.5],"), std::string::npos) << withCurves;
}

}  // namespace
}  // namespace zemvalkorta
