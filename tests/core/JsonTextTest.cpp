#include "core/JsonText.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "core/Catalogue.h"
#include "core/MeasureChanges.h"
#include "core/MeasureJson.h"

namespace zemvalkorta {
namespace {

using ::testing::EndsWith;

// A record of awkward values; the expected texts are what the program wrote
// before its JSON went through the library.
TMeasureResult AwkwardMeasure() {
    TMeasureResult m;
    const double inf = std::numeric_limits<double>::infinity();
    m.MeasureDate = 45000.0 + (86399.9996 / 86400.0);
    m.StandardPattern = 1;
    m.ActiveChannels = 7;
    m.PointCount = 3;
    m.Duration = 4294967295u;
    m.MeasureNumber = std::numeric_limits<std::int32_t>::min();
    m.PatternVolume = {1.0, -0.0, 1e21};
    m.PatternDimensions = {
        {{5e-324, 0.1 + 0.2, 100.0}, {std::nan(""), inf, -inf}, {1e-7, 123456789.0, 18446744073709551616.0}}};
    m.PatternPrimaryWeight = {2391.5, 0.0, -1.5e-300};
    m.PatternSaturatedWeight = {1.7976931348623157e308, 2.2250738585072014e-308, 1e16};
    SetPatternAgeText(m.PatternAge[0], "28 \"сут\"\\ и\tтак\x01\x7f");
    SetPatternAgeText(m.PatternAge[1], "\b\f\r\n");
    m.ModelCoefficients = {0.1f, 1.0 / 3.0, -0.0, 1e22, 1e-5, 12.0};
    m.TemperatureFactor = std::nan("");
    m.DeviceTemperature = {0.1f, -0.0f, std::numeric_limits<float>::denorm_min()};
    m.DeltaVolume = {inf, 3.4028234663852886e38, 1e-45};
    m.Tetta = {0.0037, 0.5, 0.00007};
    m.AverageTetta = -inf;
    m.CurveShift = {-5, 0, 7};
    m.CurveStretch = {1.0, 0.999, 1.25};
    m.Curves.assign(10, Curve{0.25f, -1.5f, 3.4028235e38f});
    m.Curves[3] = Curve{std::numeric_limits<float>::quiet_NaN(), 16777217.0f, 1e-45f};
    return m;
}

TEST(JsonTextTest, RecordOfAwkwardValuesReadsAsBefore) {
    const TMeasureResult measure = AwkwardMeasure();
    EXPECT_EQ(MeasureToJson(measure),
              "{\n"
              "  \"MeasureDate\": \"2023-03-16T00:00:00\",\n"
              "  \"MeasureDateRaw\": 45000.99999999537,\n"
              "  \"DataVersion\": 65539,\n"
              "  \"MeasureNumber\": -2147483648,\n"
              "  \"StandardPattern\": 1,\n"
              "  \"ActiveChannels\": 7,\n"
              "  \"Duration\": 4294967295,\n"
              "  \"Period\": 0,\n"
              "  \"PointCount\": 3,\n"
              "  \"ConcreteKind\": 0,\n"
              "  \"GeometryKind\": 0,\n"
              "  \"PatternVolume\": [1, -0, 1e+21],\n"
              "  \"PatternDimensions\": [[5e-324, 0.30000000000000004, 100], [null, null, null], [1e-07, 123456789, "
              "18446744073709551616]],\n"
              "  \"PatternPrimaryWeight\": [2391.5, 0, -1.5e-300],\n"
              "  \"PatternSaturatedWeight\": [1.7976931348623157e+308, 2.2250738585072014e-308, 1e+16],\n"
              "  \"PatternAge\": [\"28 \\\"сут\\\"\\\\ и\\tтак\\u0001\", \"\\u0008\\u000c\\r\\n\", \"\"],\n"
              "  \"ModelCoefficients\": [0.10000000149011612, 0.3333333333333333, -0, 1e+22, 1e-05, 12],\n"
              "  \"TemperatureFactor\": null,\n"
              "  \"DeviceTemperature\": [0.1, -0, 1e-45],\n"
              "  \"DeltaVolume\": [null, 3.4028234663852886e+38, 1e-45],\n"
              "  \"Tetta\": [0.0037, 0.5, 7e-05],\n"
              "  \"FrostResistance\": [-1, -1, -1],\n"
              "  \"AverageTetta\": null,\n"
              "  \"AverageFrostResistance\": -1,\n"
              "  \"CurveShift\": [-5, 0, 7],\n"
              "  \"CurveStretch\": [1, 0.999, 1.25],\n"
              "  \"FrostCycles\": [-1, 25, 867],\n"
              "  \"AverageFrostCycles\": -1\n"
              "}");
    const std::string withCurves = MeasureToJson(measure, {.Curves = true});
    EXPECT_THAT(withCurves, EndsWith("  \"Curves\": [\n"
                                     "    [0.25, -1.5, 3.4028235e+38],\n"
                                     "    [0.25, -1.5, 3.4028235e+38],\n"
                                     "    [0.25, -1.5, 3.4028235e+38],\n"
                                     "    [null, 16777216, 1e-45],\n"
                                     "    [0.25, -1.5, 3.4028235e+38],\n"
                                     "    [0.25, -1.5, 3.4028235e+38],\n"
                                     "    [0.25, -1.5, 3.4028235e+38],\n"
                                     "    [0.25, -1.5, 3.4028235e+38],\n"
                                     "    [0.25, -1.5, 3.4028235e+38],\n"
                                     "    [0.25, -1.5, 3.4028235e+38]\n"
                                     "  ]\n"
                                     "}"));
    TMeasureResult noCurves = measure;
    noCurves.Curves.clear();
    EXPECT_THAT(MeasureToJson(noCurves, {.Curves = true}),
                EndsWith("\"AverageFrostCycles\": -1,\n  \"Curves\": []\n}"));
}

TEST(JsonTextTest, FieldsOfTheHistoryAreTheRecordsValues) {
    const MeasureFieldList fields = MeasureFields(AwkwardMeasure());
    ASSERT_EQ(fields.size(), 47u);
    EXPECT_EQ(fields[0], (std::pair<std::string, std::string>{"MeasureDate", "\"2023-03-16T00:00:00\""}));
    EXPECT_EQ(fields[11], (std::pair<std::string, std::string>{"PatternVolume[2]", "-0"}));
    EXPECT_EQ(fields[14], (std::pair<std::string, std::string>{"PatternDimensions[2]", "[null, null, null]"}));
    EXPECT_EQ(fields[23], (std::pair<std::string, std::string>{"PatternAge[2]", "\"\\u0008\\u000c\\r\\n\""}));
    EXPECT_EQ(fields[27], (std::pair<std::string, std::string>{"DeviceTemperature[1]", "0.1"}));
    EXPECT_EQ(fields.back(), (std::pair<std::string, std::string>{"CurveStretch[3]", "1.25"}));
}

TEST(JsonTextTest, LayoutSpreadsOnlyWhatItNames) {
    const Json value = {{"a", 1}, {"b", Json::array({1.0, Json::array(), Json::object()})}, {"c", {{"d", nullptr}}}};
    EXPECT_EQ(JsonText(value), "{\"a\": 1, \"b\": [1, [], {}], \"c\": {\"d\": null}}");
    EXPECT_EQ(JsonText(value, {.ItemPerLine = true, .ItemPerLineKeys = {"b"}, .Margin = ">"}),
              "{\n>  \"a\": 1,\n>  \"b\": [\n>    1,\n>    [],\n>    {}\n>  ],\n>  \"c\": {\"d\": null}\n>}");
    EXPECT_EQ(JsonText(Json::array(), {.ItemPerLine = true}), "[]");
    EXPECT_EQ(JsonText(Json::object(), {.ItemPerLine = true}), "{}");
    EXPECT_EQ(JsonText({{"x", "[1, -0]"}, {"y", "[1, -0]"}}, {.VerbatimKeys = {"y"}}),
              "{\"x\": \"[1, -0]\", \"y\": [1, -0]}");
    EXPECT_EQ(JsonText(Json(-0.0)), "-0");
    EXPECT_EQ(JsonText(Json(std::numeric_limits<std::int64_t>::min())), "-9223372036854775808");
    EXPECT_EQ(JsonText(Json(std::numeric_limits<std::uint64_t>::max())), "18446744073709551615");
    EXPECT_EQ(JsonText(Json(false)), "false");
}

TEST(JsonTextTest, StoredChangeValuesAreWrittenAsStored) {
    const FieldChanges changes = {{"Tetta[2]", "0.5", "-0"}, {"PatternDimensions[1]", "[-0, 1e+21, null]", "null"}};
    EXPECT_EQ(ChangesToJson(changes, "  "),
              "[\n"
              "    {\"Field\": \"Tetta[2]\", \"Old\": 0.5, \"New\": -0},\n"
              "    {\"Field\": \"PatternDimensions[1]\", \"Old\": [-0, 1e+21, null], \"New\": null}\n"
              "  ]");
    EXPECT_EQ(ChangesToJson({}), "[]");
}

// The float32 values go into the JSON as doubles; each must still be written
// as the float's own shortest text.
TEST(JsonTextTest, FloatsKeepTheirShortestText) {
    for (std::uint64_t bits = 0; bits <= 0xffffffffu; bits += 9973) {
        const auto value = std::bit_cast<float>(static_cast<std::uint32_t>(bits));
        ASSERT_EQ(JsonNumber(ShortestDouble(value)), JsonNumber(value)) << bits;
        if (std::isfinite(value)) {
            ASSERT_EQ(static_cast<float>(ShortestDouble(value)), value) << bits;
        }
    }
    for (const float value : {0.1f, 1.0f, -0.0f, 16777217.0f, std::numeric_limits<float>::max(),
                              std::numeric_limits<float>::denorm_min(), std::numeric_limits<float>::min()})
        EXPECT_EQ(JsonNumber(ShortestDouble(value)), JsonNumber(value)) << value;
}

}  // namespace
}  // namespace zemvalkorta
