#include "core/MeasureChanges.h"

#include <gmock/gmock.h>

#include "core/Catalogue.h"
#include "core/MeasureHistoryText.h"

namespace zemvalkorta {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

TMeasureResult Sample() {
    TMeasureResult measure;
    measure.MeasureDate = 45356.5;
    measure.MeasureNumber = 7;
    measure.ActiveChannels = 7;
    measure.StandardPattern = 2;
    measure.PointCount = 3;
    for (int c = 0; c < ChannelCount; ++c) {
        measure.PatternDimensions[c] = {100, 100, 100};
        measure.PatternVolume[c] = 1000;
    }
    return measure;
}

TEST(MeasureChangesTest, FieldsAreNamedPerChannelInRecordOrderWithTheValuesOfShow) {
    TMeasureResult measure = Sample();
    measure.PatternPrimaryWeight[2] = 2391.5;
    SetPatternAgeText(measure.PatternAge[1], "28 сут");
    measure.DeviceTemperature[0] = 21.4375f;
    const MeasureFieldList fields = MeasureFields(measure);
    ASSERT_EQ(fields.size(), 10u + 3 * 5 + 2 + 3 * 4 + 2 + 3 * 2);
    EXPECT_EQ(fields.front(), (std::pair<std::string, std::string>{"MeasureDate", "\"2024-03-05T12:00:00\""}));
    auto value = [&](const std::string& name) {
        for (const auto& [field, text] : fields)
            if (field == name) return text;
        return std::string("missing");
    };
    EXPECT_EQ(value("PatternPrimaryWeight[3]"), "2391.5");
    EXPECT_EQ(value("PatternPrimaryWeight[1]"), "0");
    EXPECT_EQ(value("PatternDimensions[2]"), "[100, 100, 100]");
    EXPECT_EQ(value("PatternAge[2]"), "\"28 сут\"");
    EXPECT_EQ(value("DeviceTemperature[1]"), "21.4375");
    EXPECT_EQ(value("FrostResistance[3]"), "-1");
    EXPECT_EQ(value("ModelCoefficients"), "[0, 0, 0, 0, 0, 0]");
    EXPECT_EQ(value("CurveStretch[2]"), "1");
    EXPECT_EQ(fields.back().first, "CurveStretch[3]");
}

TEST(MeasureChangesTest, DiffListsOnlyWhatChangedAndWholeRecordsWhenOneSideIsMissing) {
    const TMeasureResult before = Sample();
    TMeasureResult after = before;
    EXPECT_TRUE(DiffMeasures(before, after).empty());
    after.PatternDimensions[1][2] = 90;
    after.PatternVolume[1] = 900;
    after.Tetta[1] = 0.0012;
    after.AverageFrostResistance = 200;
    after.CurveShift[2] = -4;
    EXPECT_THAT(DiffMeasures(before, after),
                ElementsAre(FieldChange{"PatternVolume[2]", "1000", "900"},
                            FieldChange{"PatternDimensions[2]", "[100, 100, 100]", "[100, 100, 90]"},
                            FieldChange{"Tetta[2]", "0", "0.0012"}, FieldChange{"AverageFrostResistance", "-1", "200"},
                            FieldChange{"CurveShift[3]", "0", "-4"}));
    // Bytes after an age's text carry no meaning and are no change.
    after = before;
    after.PatternAge[0][40] = 0x55;
    EXPECT_TRUE(DiffMeasures(before, after).empty());

    const FieldChanges inserted = DiffMeasures(std::nullopt, before);
    const FieldChanges deleted = DiffMeasures(before, std::nullopt);
    const MeasureFieldList fields = MeasureFields(before);
    ASSERT_EQ(inserted.size(), fields.size());
    ASSERT_EQ(deleted.size(), fields.size());
    for (std::size_t i = 0; i < fields.size(); ++i) {
        EXPECT_EQ(inserted[i], (FieldChange{fields[i].first, "null", fields[i].second}));
        EXPECT_EQ(deleted[i], (FieldChange{fields[i].first, fields[i].second, "null"}));
    }
    EXPECT_TRUE(DiffMeasures(std::nullopt, std::nullopt).empty());
}

TEST(MeasureChangesTest, CommentChangesAreJsonStringsOrNull) {
    EXPECT_FALSE(DiffComment(std::nullopt, std::nullopt).has_value());
    EXPECT_FALSE(DiffComment("a", "a").has_value());
    EXPECT_EQ(DiffComment(std::nullopt, "с \"трещиной\"\n"),
              (FieldChange{"MEASURE_COMMENT", "null", "\"с \\\"трещиной\\\"\\n\""}));
    EXPECT_EQ(DiffComment("x", std::nullopt), (FieldChange{"MEASURE_COMMENT", "\"x\"", "null"}));
}

TEST(MeasureChangesTest, StoredFormRoundTripsAndRefusesDamage) {
    TMeasureResult after = Sample();
    SetPatternAgeText(after.PatternAge[0], "tab\there");
    FieldChanges changes = DiffMeasures(Sample(), after);
    changes.push_back(*DiffComment(std::nullopt, "line\nbreak\tand tab"));
    const std::string stored = EncodeChanges(changes);
    EXPECT_EQ(DecodeChanges(stored), changes);
    EXPECT_TRUE(DecodeChanges("").empty());
    EXPECT_THROW(DecodeChanges("Field\told\tnew"), ChangesError);   // cut short
    EXPECT_THROW(DecodeChanges("Field\told\n"), ChangesError);      // a value missing
    EXPECT_THROW(DecodeChanges("Field\t1\t2\t3\n"), ChangesError);  // one too many
    EXPECT_THROW(DecodeChanges("\t1\t2\n"), ChangesError);          // no field name
    EXPECT_THROW(EncodeChanges({{"Field", "1\t", "2"}}), ChangesError);
}

TEST(MeasureChangesTest, ReplayAppliesNewValuesAndAppendsFieldsNotHeld) {
    const TMeasureResult first = Sample();
    TMeasureResult second = first;
    second.ConcreteKind = 2;
    TMeasureResult third = second;
    third.CurveStretch[0] = 1.002;
    third.ConcreteKind = 3;
    MeasureFieldList replayed = MeasureFields(first);
    ApplyChanges(replayed, DiffMeasures(first, second));
    ApplyChanges(replayed, DiffMeasures(second, third));
    EXPECT_EQ(replayed, MeasureFields(third));
    ApplyChanges(replayed, {*DiffComment(std::nullopt, "c")});
    EXPECT_EQ(replayed.back(), (std::pair<std::string, std::string>{"MEASURE_COMMENT", "\"c\""}));
}

TEST(MeasureHistoryTextTest, JsonHasTheKeysOfTheHistoryCommand) {
    std::vector<MeasureAmendment> entries(2);
    entries[0].Action = AmendmentAction::Begin;
    entries[0].TimeUtc = 45356.0 + (9 * 3600 + 5 * 60 + 7) / 86400.0;
    entries[0].Login = "lab1";
    entries[1].MeasurePk = 12;
    entries[1].TimeUtc = 45357.25;
    entries[1].Login = "lab1";
    entries[1].OperatorName = "Иванова";
    entries[1].Action = AmendmentAction::Edit;
    entries[1].Changes = {{"PatternDimensions[1]", "[100, 100, 100]", "[70, 70, 70]"},
                          {"MEASURE_COMMENT", "null", "\"a\""}};
    EXPECT_EQ(
        AmendmentsToJson(entries),
        "[\n"
        "  {\"MEASURE_RESULT_TABLE_PK\": null, \"Time\": \"2024-03-05T09:05:07Z\", \"Operator\": \"lab1\", "
        "\"Action\": \"begin\", \"Changes\": []},\n"
        "  {\"MEASURE_RESULT_TABLE_PK\": 12, \"Time\": \"2024-03-06T06:00:00Z\", \"Operator\": \"Иванова (lab1)\", "
        "\"Action\": \"edit\", \"Changes\": [\n"
        "    {\"Field\": \"PatternDimensions[1]\", \"Old\": [100, 100, 100], \"New\": [70, 70, 70]},\n"
        "    {\"Field\": \"MEASURE_COMMENT\", \"Old\": null, \"New\": \"a\"}\n"
        "  ]}\n"
        "]");
    EXPECT_EQ(AmendmentsToJson({}), "[]");
    const std::string text = AmendmentsToText(entries);
    EXPECT_THAT(text, HasSubstr("2024-03-05T09:05:07Z  begin  lab1\n"));
    EXPECT_THAT(text, HasSubstr("earlier amendments are not known"));
    EXPECT_THAT(text, HasSubstr("2024-03-06T06:00:00Z  edit  #12  Иванова (lab1)\n"
                                "    PatternDimensions[1]: [100, 100, 100] -> [70, 70, 70]\n"
                                "    MEASURE_COMMENT: null -> \"a\"\n"));
}

TEST(MeasureHistoryTextTest, ActionsAndOperatorsReadBack) {
    for (AmendmentAction action :
         {AmendmentAction::Begin, AmendmentAction::Insert, AmendmentAction::Edit, AmendmentAction::Delete})
        EXPECT_EQ(ActionFromName(ActionName(action)), action);
    EXPECT_FALSE(ActionFromName("update").has_value());
    EXPECT_EQ(OperatorText("lab1", ""), "lab1");
    EXPECT_EQ(OperatorText("", "Петров"), "Петров");
    EXPECT_EQ(OperatorText("lab1", "Петров"), "Петров (lab1)");
    EXPECT_EQ(UtcTimeText(1e9), "");
}

}  // namespace
}  // namespace zemvalkorta
