// The history of amendments as the project file keeps it: what each kind of
// edit records, that the entries replay, that only saved changes are
// recorded, and how projects from before the history and programs without it
// get along with it.
#include <gmock/gmock.h>

#include <ctime>

#include "ProjectFixture.h"
#include "core/Catalogue.h"
#include "core/MeasureImage.h"
#include "core/TextCodec.h"
#include "storage/OperatorSettings.h"
#include "storage/Settings.h"

namespace zemvalkorta::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

const FieldChange* FindChange(const MeasureAmendment& entry, const std::string& field) {
    for (const FieldChange& change : entry.Changes)
        if (change.Field == field) return &change;
    return nullptr;
}

std::string CurrentImage(TMainDataModule& module) {
    ByteArray bytes = module.ResultDataSet().BlobBytes(MeasureDataField);
    return std::string(bytes.begin(), bytes.end());
}

class MeasureHistoryTest : public ProjectTest {
protected:
    void SetUp() override {
        ProjectTest::SetUp();
        module_.History().SetOperator({"lab1", "Иванова А. С."});
        CreateAndOpen();
    }

    // One download of one measurement, saved; returns its key.
    std::int64_t InsertSaved(std::int32_t number = 1) {
        TArrayOfMeasureResult measures{SampleMeasure(number, SampleDate(60 * number))};
        EXPECT_EQ(StoreDownloadedMeasures(module_, measures), 1);
        module_.SaveChanges();
        return AsInteger(module_.ResultDataSet().Value(MeasureResultTablePk));
    }

    // An edit as the grids do it: change the record, store it, process it, save.
    template <typename Change>
    void EditAndSave(std::int64_t pk, Change change) {
        ASSERT_TRUE(module_.ResultDataSet().Locate(MeasureResultTablePk, pk));
        TMeasureResult measure;
        ASSERT_EQ(module_.ReadMeasure(measure), 0);
        change(measure);
        module_.WriteMeasure(measure);
        module_.ProcessMeasure();
        module_.PostChanges();
        module_.SaveChanges();
    }

    MeasureAmendment LastEntry(std::int64_t pk) {
        std::vector<MeasureAmendment> entries = module_.History().Entries(pk);
        EXPECT_FALSE(entries.empty());
        return entries.empty() ? MeasureAmendment{} : entries.back();
    }
};

TEST_F(MeasureHistoryTest, InsertKeepsTheWholeRecordAndWhoAddedIt) {
    const std::int64_t pk = InsertSaved();
    std::vector<MeasureAmendment> entries = module_.History().Entries(pk);
    ASSERT_EQ(entries.size(), 1u);
    const MeasureAmendment& insert = entries.front();
    EXPECT_EQ(insert.Action, AmendmentAction::Insert);
    EXPECT_EQ(insert.MeasurePk, pk);
    EXPECT_EQ(insert.Login, "lab1");
    EXPECT_EQ(insert.OperatorName, "Иванова А. С.");
    // Saved just now, in UTC.
    const double nowUtc = static_cast<double>(std::time(nullptr)) / 86400.0 + 25569.0;
    EXPECT_NEAR(insert.TimeUtc, nowUtc, 60.0 / 86400.0);
    TMeasureResult stored;
    ASSERT_EQ(module_.ReadMeasure(stored), 0);
    MeasureFieldList expected = MeasureFields(stored);
    ASSERT_EQ(insert.Changes.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(insert.Changes[i].Field, expected[i].first);
        EXPECT_EQ(insert.Changes[i].Old, "null");
        EXPECT_EQ(insert.Changes[i].New, expected[i].second);
    }
}

TEST_F(MeasureHistoryTest, EachKindOfEditRecordsOldAndNewValuesAndTheResultsThatFollow) {
    const std::int64_t pk = InsertSaved();

    EditAndSave(pk, [](TMeasureResult& m) { m.PatternPrimaryWeight[0] = 2391.5; });
    EXPECT_THAT(LastEntry(pk).Changes, ElementsAre(FieldChange{"PatternPrimaryWeight[1]", "0", "2391.5"}));

    EditAndSave(pk, [](TMeasureResult& m) { m.PatternSaturatedWeight[2] = 2450; });
    EXPECT_THAT(LastEntry(pk).Changes, ElementsAre(FieldChange{"PatternSaturatedWeight[3]", "0", "2450"}));

    EditAndSave(pk, [](TMeasureResult& m) { SetPatternAgeText(m.PatternAge[1], "28 сут"); });
    EXPECT_THAT(LastEntry(pk).Changes, ElementsAre(FieldChange{"PatternAge[2]", "\"\"", "\"28 сут\""}));

    // A channel's dimensions: the volume, theta and grades follow.
    EditAndSave(pk, [](TMeasureResult& m) {
        m.PatternDimensions[0] = {100, 100, 90};
        m.PatternVolume[0] = SpecimenVolume(m.GeometryKind, m.PatternDimensions[0]);
    });
    MeasureAmendment dims = LastEntry(pk);
    EXPECT_EQ(dims.Action, AmendmentAction::Edit);
    ASSERT_NE(FindChange(dims, "PatternDimensions[1]"), nullptr);
    EXPECT_EQ(*FindChange(dims, "PatternDimensions[1]"),
              (FieldChange{"PatternDimensions[1]", "[100, 100, 100]", "[100, 100, 90]"}));
    EXPECT_EQ(*FindChange(dims, "PatternVolume[1]"), (FieldChange{"PatternVolume[1]", "1000", "900"}));
    EXPECT_NE(FindChange(dims, "Tetta[1]"), nullptr);
    EXPECT_NE(FindChange(dims, "AverageTetta"), nullptr);
    EXPECT_EQ(FindChange(dims, "PatternDimensions[2]"), nullptr);

    // The geometry resets every channel.
    EditAndSave(pk, [](TMeasureResult& m) {
        m.GeometryKind = Cube70;
        for (int c = 0; c < ChannelCount; ++c) {
            m.PatternDimensions[c] = DefaultDimensions(Cube70);
            m.PatternVolume[c] = SpecimenVolume(Cube70, m.PatternDimensions[c]);
        }
    });
    MeasureAmendment geometry = LastEntry(pk);
    EXPECT_EQ(*FindChange(geometry, "GeometryKind"), (FieldChange{"GeometryKind", "0", "1"}));
    for (const char* field : {"PatternDimensions[2]", "PatternVolume[3]", "Tetta[2]", "AverageTetta"})
        EXPECT_NE(FindChange(geometry, field), nullptr) << field;

    EditAndSave(pk, [](TMeasureResult& m) { m.ConcreteKind = 2; });
    EXPECT_EQ(*FindChange(LastEntry(pk), "ConcreteKind"), (FieldChange{"ConcreteKind", "1", "2"}));

    // Model coefficients: the fitted curves move, and with them the results.
    EditAndSave(pk, [](TMeasureResult& m) { m.ModelCoefficients[1] = 3.0e-5; });
    MeasureAmendment model = LastEntry(pk);
    ASSERT_NE(FindChange(model, "ModelCoefficients"), nullptr);
    EXPECT_THAT(FindChange(model, "ModelCoefficients")->Old, HasSubstr("[0.05, 2e-05, 1e-10, 0,"));
    EXPECT_THAT(FindChange(model, "ModelCoefficients")->New, HasSubstr("[0.05, 3e-05, 1e-10, 0,"));
    EXPECT_NE(FindChange(model, "DeltaVolume[1]"), nullptr);

    EditAndSave(pk, [](TMeasureResult& m) { m.CurveStretch[2] += 0.002; });
    MeasureAmendment stretch = LastEntry(pk);
    EXPECT_EQ(*FindChange(stretch, "CurveStretch[3]"), (FieldChange{"CurveStretch[3]", "1", "1.002"}));
    EXPECT_NE(FindChange(stretch, "DeltaVolume[3]"), nullptr);
    EXPECT_EQ(FindChange(stretch, "DeltaVolume[1]"), nullptr);

    module_.SetMeasureComment("с трещиной");
    module_.PostChanges();
    module_.SaveChanges();
    EXPECT_THAT(LastEntry(pk).Changes, ElementsAre(FieldChange{"MEASURE_COMMENT", "null", "\"с трещиной\""}));
    module_.SetMeasureComment("без трещин");
    module_.PostChanges();
    module_.SaveChanges();
    EXPECT_THAT(LastEntry(pk).Changes, ElementsAre(FieldChange{"MEASURE_COMMENT", "\"с трещиной\"", "\"без трещин\""}));

    // A stretch at its limit stores the same record: nothing to record.
    const std::size_t before = module_.History().Entries(pk).size();
    EditAndSave(pk, [](TMeasureResult&) {});
    EXPECT_EQ(module_.History().Entries(pk).size(), before);
}

TEST_F(MeasureHistoryTest, ChainOfEditsReplaysFromTheFirstStoredRecordToTheCurrentOne) {
    const std::int64_t pk = InsertSaved();
    InsertSaved(2);  // another measurement's entries must not mix in
    EditAndSave(pk, [](TMeasureResult& m) { m.PatternPrimaryWeight[1] = 2405; });
    EditAndSave(pk, [](TMeasureResult& m) { m.GeometryKind = Cylinder70; });
    module_.History().SetOperator({"lab2", ""});
    EditAndSave(pk, [](TMeasureResult& m) { m.CurveStretch[0] = 0.998; });
    ASSERT_TRUE(module_.ResultDataSet().Locate(MeasureResultTablePk, pk));
    module_.SetMeasureComment("повтор");
    module_.PostChanges();
    module_.SaveChanges();
    Reopen();

    std::optional<OriginalMeasure> original = module_.History().Original(pk);
    ASSERT_TRUE(original.has_value());
    EXPECT_TRUE(original->AsInserted);
    MeasureFieldList replayed = MeasureFields(DecodeMeasure(original->Image));
    std::vector<MeasureAmendment> entries = module_.History().Entries(pk);
    ASSERT_EQ(entries.size(), 5u);
    EXPECT_EQ(entries.front().Action, AmendmentAction::Insert);
    EXPECT_EQ(entries.back().Login, "lab2");
    for (std::size_t i = 1; i < entries.size(); ++i) {
        EXPECT_EQ(entries[i].Action, AmendmentAction::Edit);
        EXPECT_EQ(entries[i].MeasurePk, pk);
        // Every old value is what the chain held before the entry.
        for (const FieldChange& change : entries[i].Changes) {
            auto held = std::find_if(replayed.begin(), replayed.end(),
                                     [&](const auto& field) { return field.first == change.Field; });
            EXPECT_EQ(held == replayed.end() ? std::string("null") : held->second, change.Old) << change.Field;
        }
        ApplyChanges(replayed, entries[i].Changes);
    }
    ASSERT_TRUE(module_.ResultDataSet().Locate(MeasureResultTablePk, pk));
    TMeasureResult current;
    ASSERT_EQ(module_.ReadMeasure(current), 0);
    MeasureFieldList expected = MeasureFields(current);
    expected.emplace_back("MEASURE_COMMENT", "\"повтор\"");
    EXPECT_EQ(replayed, expected);
}

TEST_F(MeasureHistoryTest, FirstStoredRecordIsTheDownloadedOneAndStaysByteForByte) {
    // Downloaded and edited before the first save: the original is the
    // processed download, the edit an entry of its own.
    TArrayOfMeasureResult measures{SampleMeasure(1, SampleDate(0))};
    ASSERT_EQ(StoreDownloadedMeasures(module_, measures), 1);
    const std::int64_t pk = AsInteger(module_.ResultDataSet().Value(MeasureResultTablePk));
    const std::string downloaded = CurrentImage(module_);
    TMeasureResult measure;
    ASSERT_EQ(module_.ReadMeasure(measure), 0);
    measure.PatternPrimaryWeight[0] = 2300;
    module_.WriteMeasure(measure);
    module_.SaveChanges();
    std::vector<MeasureAmendment> entries = module_.History().Entries(pk);
    ASSERT_EQ(entries.size(), 2u) << AmendmentsToText(entries);
    EXPECT_EQ(entries[0].Action, AmendmentAction::Insert);
    EXPECT_EQ(*FindChange(entries[0], "PatternPrimaryWeight[1]"),
              (FieldChange{"PatternPrimaryWeight[1]", "null", "0"}));
    EXPECT_THAT(entries[1].Changes, ElementsAre(FieldChange{"PatternPrimaryWeight[1]", "0", "2300"}));

    for (int step = 0; step < 3; ++step) {
        EditAndSave(pk, [&](TMeasureResult& m) {
            m.PatternSaturatedWeight[0] = 2400 + step;
            m.CurveStretch[0] = 1.0 + 0.002 * (step + 1);
        });
        Reopen();
        const std::optional<OriginalMeasure> original = module_.History().Original(pk);
        ASSERT_TRUE(original.has_value());
        EXPECT_EQ(std::string(original->Image.begin(), original->Image.end()), downloaded) << "after edit " << step;
    }
    // Deleting the measurement keeps its original as well.
    ASSERT_TRUE(module_.ResultDataSet().Locate(MeasureResultTablePk, pk));
    module_.ResultDataSet().Delete();
    module_.SaveChanges();
    Reopen();
    const std::optional<OriginalMeasure> original = module_.History().Original(pk);
    ASSERT_TRUE(original.has_value());
    EXPECT_EQ(std::string(original->Image.begin(), original->Image.end()), downloaded);
}

TEST_F(MeasureHistoryTest, DeleteKeepsTheDeletedRecordInTheHistory) {
    const std::int64_t pk = InsertSaved();
    module_.SetMeasureComment("брак");
    module_.PostChanges();
    module_.SaveChanges();
    TMeasureResult last;
    ASSERT_EQ(module_.ReadMeasure(last), 0);
    const std::string image = CurrentImage(module_);
    module_.DeleteAllRecords();
    module_.SaveChanges();
    module_.CloseProject();

    ASSERT_TRUE(module_.OpenProject(project_.string()));
    EXPECT_TRUE(module_.IsResultEmpty());
    MeasureAmendment deleted = LastEntry(pk);
    EXPECT_EQ(deleted.Action, AmendmentAction::Delete);
    MeasureFieldList fields = MeasureFields(last);
    fields.emplace_back("MEASURE_COMMENT", "\"брак\"");
    ASSERT_EQ(deleted.Changes.size(), fields.size());
    for (std::size_t i = 0; i < fields.size(); ++i)
        EXPECT_EQ(deleted.Changes[i], (FieldChange{fields[i].first, fields[i].second, "null"}));
    module_.CloseProject();
    // The whole image, curves included, stays in the file.
    EXPECT_THAT(RunIsql(project_,
                        "SELECT 'len=' || OCTET_LENGTH(MEASURE_DATA) FROM MEASURE_HISTORY_TABLE WHERE "
                        "ACTION_KIND = 'delete';\n"),
                HasSubstr("len=" + std::to_string(image.size())));
}

TEST_F(MeasureHistoryTest, CancelledChangesRecordNothing) {
    const std::int64_t pk = InsertSaved();
    const std::vector<MeasureAmendment> before = module_.History().Entries();
    TMeasureResult measure;
    ASSERT_EQ(module_.ReadMeasure(measure), 0);
    measure.ConcreteKind = 3;
    module_.WriteMeasure(measure);
    module_.SetMeasureComment("отменено");
    module_.InsertMeasure(SampleMeasure(5, SampleDate(500)));
    module_.ResultDataSet().First();
    module_.ResultDataSet().Delete();
    module_.PostChanges();
    module_.CancelChanges();
    module_.SaveChanges();
    Reopen();
    EXPECT_EQ(module_.History().Entries().size(), before.size());
    EXPECT_EQ(module_.History().Entries(pk).size(), 1u);
    EXPECT_FALSE(module_.History().Original(pk + 1).has_value());
}

TEST_F(MeasureHistoryTest, SaveRefusedByAnotherWorkstationsLockRecordsNothingUntilItGoesThrough) {
    const std::int64_t pk = InsertSaved();
    const std::size_t before = module_.History().Entries().size();
    // A second attachment holds the row, as another workstation editing it does.
    FirebirdSession other;
    other.Attach({project_.string(), "SYSDBA", ProjectPassword, "ASCII", 3});
    other.Execute("UPDATE MEASURE_RESULT_TABLE SET MEASURE_NUMBER = MEASURE_NUMBER WHERE MEASURE_RESULT_TABLE_PK = ?",
                  {pk});

    TMeasureResult measure;
    ASSERT_EQ(module_.ReadMeasure(measure), 0);
    measure.PatternPrimaryWeight[2] = 2222;
    module_.WriteMeasure(measure);
    EXPECT_THROW(module_.SaveChanges(), DatabaseError);
    EXPECT_EQ(module_.History().Entries().size(), before);
    EXPECT_TRUE(module_.IsModified());

    other.Abandon();  // the other workstation lets go without saving
    module_.SaveChanges();
    std::vector<MeasureAmendment> entries = module_.History().Entries();
    ASSERT_EQ(entries.size(), before + 1);
    EXPECT_THAT(entries.back().Changes, ElementsAre(FieldChange{"PatternPrimaryWeight[3]", "0", "2222"}));
}

TEST_F(MeasureHistoryTest, SaveFailingHalfWayTakesBackRowsAndEntriesAlike) {
    const std::int64_t first = InsertSaved(1);
    const std::int64_t second = InsertSaved(2);
    const std::vector<MeasureAmendment> before = module_.History().Entries();
    FirebirdSession other;
    other.Attach({project_.string(), "SYSDBA", ProjectPassword, "ASCII", 3});
    other.Execute("UPDATE MEASURE_RESULT_TABLE SET MEASURE_NUMBER = MEASURE_NUMBER WHERE MEASURE_RESULT_TABLE_PK = ?",
                  {second});
    // The first row is sent before the second one meets the lock.
    for (std::int64_t pk : {first, second}) {
        ASSERT_TRUE(module_.ResultDataSet().Locate(MeasureResultTablePk, pk));
        module_.SetMeasureComment("правка " + std::to_string(pk));
        module_.PostChanges();
    }
    EXPECT_THROW(module_.SaveChanges(), DatabaseError);
    other.Abandon();
    EXPECT_EQ(module_.History().Entries().size(), before.size());

    // A failure after the history was written (a full disk at the commit, say).
    const int failing = module_.AddSaveStep([](FirebirdSession&) { throw DatabaseError("disk full"); });
    EXPECT_THROW(module_.SaveChanges(), DatabaseError);
    EXPECT_EQ(module_.History().Entries().size(), before.size());
    module_.RemoveSaveStep(failing);
    {
        TMainDataModule elsewhere;
        elsewhere.SetProbeTimeLimit(std::chrono::milliseconds::zero());  // the file is open in this process
        ASSERT_TRUE(elsewhere.OpenProject(project_.string())) << elsewhere.LastError();
        EXPECT_EQ(elsewhere.History().Entries().size(), before.size());
        ASSERT_TRUE(elsewhere.ResultDataSet().Locate(MeasureResultTablePk, first));
        EXPECT_EQ(elsewhere.MeasureComment(), "");
    }

    // The next try records each change once.
    module_.SaveChanges();
    std::vector<MeasureAmendment> entries = module_.History().Entries();
    ASSERT_EQ(entries.size(), before.size() + 2);
    EXPECT_EQ(entries[before.size()].MeasurePk, first);
    EXPECT_THAT(entries[before.size()].Changes,
                ElementsAre(FieldChange{"MEASURE_COMMENT", "null", "\"правка " + std::to_string(first) + "\""}));
    EXPECT_EQ(entries[before.size() + 1].MeasurePk, second);
}

TEST_F(MeasureHistoryTest, EntriesCannotBeChangedOrRemoved) {
    InsertSaved();
    module_.CloseProject();
    std::string output = RunIsql(project_,
                                 "UPDATE MEASURE_HISTORY_TABLE SET OPERATOR_NAME = NULL;\n"
                                 "DELETE FROM MEASURE_HISTORY_TABLE;\n"
                                 "UPDATE MEASURE_ORIGINAL_TABLE SET MEASURE_DATA = NULL;\n"
                                 "DELETE FROM MEASURE_ORIGINAL_TABLE;\nCOMMIT;\n"
                                 "SELECT 'entries=' || COUNT(*) FROM MEASURE_HISTORY_TABLE;\n"
                                 "SELECT 'originals=' || COUNT(*) FROM MEASURE_ORIGINAL_TABLE;\n");
    EXPECT_THAT(output, HasSubstr("MEASURE_HISTORY_IS_KEPT"));
    EXPECT_THAT(output, HasSubstr("entries=1"));
    EXPECT_THAT(output, HasSubstr("originals=1"));
}

// A project written by a program without the history.
class OlderProjectTest : public ProjectTest {
protected:
    void SetUp() override {
        ProjectTest::SetUp();
        module_.History().SetEnabled(false);
        CreateAndOpen();
        module_.SetProjectDescription("серия 4");
        for (int number = 1; number <= 3; ++number) module_.InsertMeasure(SampleMeasure(number, SampleDate(number)));
        module_.SetMeasureComment("последний");
        module_.PostChanges();
        module_.SaveChanges();
        module_.CloseProject();
        module_.History().SetEnabled(true);
    }

    std::string Tables() { return RunIsql(project_, "SHOW TABLES;\n"); }
};

TEST_F(OlderProjectTest, OpensGainsTheTablesKeepsEverythingAndSaysWhereItsHistoryBegins) {
    EXPECT_THAT(Tables(), Not(HasSubstr("MEASURE_HISTORY_TABLE")));
    const std::string columnsBefore = RunIsql(project_, "SHOW TABLE MEASURE_RESULT_TABLE;\nSHOW TABLE SYSTEM_TABLE;\n");
    std::vector<std::string> images, comments;
    {
        TMainDataModule older;
        older.History().SetEnabled(false);
        ASSERT_TRUE(older.OpenProject(project_.string()));
        for (older.ResultDataSet().First(); !older.ResultDataSet().Eof(); older.ResultDataSet().Next()) {
            images.push_back(CurrentImage(older));
            comments.push_back(older.MeasureComment());
        }
    }

    ASSERT_TRUE(module_.OpenProject(project_.string())) << module_.LastError();
    ASSERT_EQ(module_.GetRecordCount(), 3);
    int row = 0;
    for (module_.ResultDataSet().First(); !module_.ResultDataSet().Eof(); module_.ResultDataSet().Next(), ++row) {
        EXPECT_EQ(CurrentImage(module_), images[row]);
        EXPECT_EQ(module_.MeasureComment(), comments[row]);
    }
    EXPECT_EQ(module_.ProjectDescription(), "серия 4");
    std::vector<MeasureAmendment> entries = module_.History().Entries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].Action, AmendmentAction::Begin);
    EXPECT_FALSE(entries[0].MeasurePk.has_value());
    EXPECT_THAT(entries[0].Changes, IsEmpty());
    module_.CloseProject();
    EXPECT_THAT(Tables(), HasSubstr("MEASURE_HISTORY_TABLE"));
    EXPECT_THAT(Tables(), HasSubstr("MEASURE_ORIGINAL_TABLE"));
    EXPECT_EQ(RunIsql(project_, "SHOW TABLE MEASURE_RESULT_TABLE;\nSHOW TABLE SYSTEM_TABLE;\n"), columnsBefore);

    // A second open starts nothing again.
    ASSERT_TRUE(module_.OpenProject(project_.string()));
    EXPECT_EQ(module_.History().Entries().size(), 1u);

    // An older measurement: its history begins with the project's, its first
    // amendment keeps the record it had until then.
    module_.ResultDataSet().First();
    const std::int64_t older = AsInteger(module_.ResultDataSet().Value(MeasureResultTablePk));
    const std::string before = CurrentImage(module_);
    EXPECT_FALSE(module_.History().Original(older).has_value());
    TMeasureResult measure;
    ASSERT_EQ(module_.ReadMeasure(measure), 0);
    measure.PatternPrimaryWeight[0] = 1999;
    module_.WriteMeasure(measure);
    module_.SaveChanges();
    std::vector<MeasureAmendment> olderEntries = module_.History().Entries(older);
    ASSERT_EQ(olderEntries.size(), 2u);
    EXPECT_EQ(olderEntries[0].Action, AmendmentAction::Begin);
    EXPECT_EQ(olderEntries[1].Action, AmendmentAction::Edit);
    std::optional<OriginalMeasure> original = module_.History().Original(older);
    ASSERT_TRUE(original.has_value());
    EXPECT_FALSE(original->AsInserted);
    EXPECT_EQ(std::string(original->Image.begin(), original->Image.end()), before);

    // A measurement added now has no use for the project's start.
    module_.InsertMeasure(SampleMeasure(9, SampleDate(900)));
    const std::int64_t added = AsInteger(module_.ResultDataSet().Value(MeasureResultTablePk));
    module_.SaveChanges();
    std::vector<MeasureAmendment> addedEntries = module_.History().Entries(added);
    ASSERT_EQ(addedEntries.size(), 1u);
    EXPECT_EQ(addedEntries[0].Action, AmendmentAction::Insert);
}

TEST_F(OlderProjectTest, ProjectWithHistoryOpensAndSavesInAProgramWithoutIt) {
    ASSERT_TRUE(module_.OpenProject(project_.string()));
    module_.ResultDataSet().First();
    const std::int64_t pk = AsInteger(module_.ResultDataSet().Value(MeasureResultTablePk));
    TMeasureResult measure;
    ASSERT_EQ(module_.ReadMeasure(measure), 0);
    measure.ConcreteKind = 0;
    module_.WriteMeasure(measure);
    module_.SaveChanges();
    const std::vector<MeasureAmendment> recorded = module_.History().Entries();
    module_.CloseProject();

    // Without the history: the project opens, edits, deletes and saves; the
    // history tables neither hinder it nor hear of it.
    TMainDataModule older;
    older.History().SetEnabled(false);
    ASSERT_TRUE(older.OpenProject(project_.string())) << older.LastError();
    EXPECT_EQ(older.GetRecordCount(), 3);
    EXPECT_THAT(older.History().Entries(), IsEmpty());
    ASSERT_TRUE(older.ResultDataSet().Locate(MeasureResultTablePk, pk));
    ASSERT_EQ(older.ReadMeasure(measure), 0);
    EXPECT_EQ(measure.ConcreteKind, 0);
    measure.ConcreteKind = 2;
    older.WriteMeasure(measure);
    older.ResultDataSet().Last();
    older.ResultDataSet().Delete();
    older.SaveChanges();
    older.CloseProject();

    ASSERT_TRUE(module_.OpenProject(project_.string()));
    EXPECT_EQ(module_.GetRecordCount(), 2);
    std::vector<MeasureAmendment> entries = module_.History().Entries();
    ASSERT_EQ(entries.size(), recorded.size());
    for (std::size_t i = 0; i < entries.size(); ++i) EXPECT_EQ(entries[i].Changes, recorded[i].Changes);
    EXPECT_TRUE(module_.History().Original(pk).has_value());
}

TEST(OperatorSettingsTest, NameLivesInItsOwnSectionBesideTheOtherSettings) {
    const std::filesystem::path folder = MakeTemporaryFolder();
    const std::filesystem::path file = folder / "zemvalkorta.ini";
    EXPECT_EQ(LoadOperatorName(file), "");
    SaveSettings(file, MainSettings{});
    SaveOperatorName(file, "Иванова\nА. С.");
    EXPECT_EQ(LoadOperatorName(file), "Иванова А. С.");
    EXPECT_THAT(ReadFileBytes(file), HasSubstr("[Operator]"));
    EXPECT_THAT(ReadFileBytes(file), HasSubstr(Utf8ToCp1251("Name=Иванова А. С.")));
    EXPECT_EQ(LoadSettings(file).SeriesColor, MainSettings{}.SeriesColor);
    std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace zemvalkorta::testing
