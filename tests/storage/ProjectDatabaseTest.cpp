#include <gmock/gmock.h>

#include <csignal>
#include <cstdlib>
#include <fstream>

#include "ProjectFixture.h"
#include "core/Processing.h"

namespace zemvalkorta::testing {
namespace {

using ::testing::HasSubstr;

TEST_F(ProjectTest, NewProjectHasSchemaAndIdentityAsIsqlSeesThem) {
    ASSERT_TRUE(module_.CreateProject(project_.string())) << module_.LastError();
    std::string output = RunIsql(project_,
                                 "SHOW TABLES;\nSHOW GENERATORS;\nSHOW TRIGGERS;\nSHOW DATABASE;\n"
                                 "SELECT SYSTEM_TABLE_PK, '[' || DEVICE_NAME || ']', DEVICE_DATA_VERSION, "
                                 "PROJECT_DESCRIPTION IS NULL FROM SYSTEM_TABLE;\n"
                                 "SHOW TABLE MEASURE_RESULT_TABLE;\n");
    EXPECT_THAT(output, HasSubstr("MEASURE_RESULT_TABLE"));
    EXPECT_THAT(output, HasSubstr("SYSTEM_TABLE"));
    EXPECT_THAT(output, HasSubstr("MEASURE_RESULT_TABLE_GEN"));
    EXPECT_THAT(output, HasSubstr("SYSTEM_TABLE_GEN"));
    EXPECT_THAT(output, HasSubstr("CREATE_MEASURE_RESULT_RECORD"));
    EXPECT_THAT(output, HasSubstr("CREATE_SYSTEM_RECORD"));
    EXPECT_THAT(output, HasSubstr("PAGE_SIZE 4096"));
    EXPECT_THAT(output, HasSubstr("Default Character set: ASCII"));
    EXPECT_THAT(output, HasSubstr("[ZEMVALKORTA-1.0                 ]"));
    EXPECT_THAT(output, HasSubstr("65539"));
    EXPECT_THAT(output, HasSubstr("MEASURE_DATA                    BLOB segment 256, subtype BINARY"));
    EXPECT_THAT(output, ::testing::ContainsRegex("1 +\\[ZEMVALKORTA-1.0 +\\] +65539 +<true>"));

    ASSERT_TRUE(module_.OpenProject(project_.string())) << module_.LastError();
    EXPECT_TRUE(module_.IsResultEmpty());
    EXPECT_FALSE(module_.IsModified());
    EXPECT_EQ(module_.DescriptionDataSet().RecordCount(), 1);
    EXPECT_EQ(AsInteger(module_.DescriptionDataSet().Value(SystemTablePk)), 1);
    EXPECT_TRUE(IsNull(module_.DescriptionDataSet().Value(ProjectDescriptionField)));
}

TEST_F(ProjectTest, PathWithQuoteCreatesExactlyThatFile) {
    auto odd = folder_ / "o'neil";
    std::filesystem::create_directory(odd);
    project_ = odd / "test.fdb";
    ASSERT_TRUE(module_.CreateProject(project_.string())) << module_.LastError();
    EXPECT_TRUE(std::filesystem::exists(project_));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_), {}), 1);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(odd), {}), 1);
    EXPECT_TRUE(module_.OpenProject(project_.string())) << module_.LastError();
}

TEST_F(ProjectTest, CreateInMissingFolderFailsWithoutThrowing) {
    EXPECT_FALSE(module_.CreateProject((folder_ / "missing" / "x.fdb").string()));
    EXPECT_FALSE(module_.IsProjectOpen());
}

struct ForeignFile {
    const char* name;
    const char* isqlScript;  // run on a fresh project; empty = not a database at all
};

class RefusedFileTest : public ProjectTest, public ::testing::WithParamInterface<ForeignFile> {};

TEST_P(RefusedFileTest, IsRefusedAndLeftUnchanged) {
    const ForeignFile& foreign = GetParam();
    if (std::string(foreign.isqlScript).empty()) {
        std::ofstream(project_, std::ios::binary) << std::string(8192, 'x');
    } else {
        ASSERT_TRUE(module_.CreateProject(project_.string()));
        RunIsql(project_, foreign.isqlScript);
    }
    std::string before = ReadFileBytes(project_);
    EXPECT_FALSE(module_.OpenProject(project_.string()));
    EXPECT_FALSE(module_.LastError().empty());
    EXPECT_FALSE(module_.IsProjectOpen());
    EXPECT_EQ(module_.GetRecordCount(), 0);
    std::string after = ReadFileBytes(project_);
    std::string changedPages;
    for (std::size_t i = 0; i < std::min(before.size(), after.size()); i += 4096)
        if (before.compare(i, 4096, after, i, 4096) != 0) changedPages += " " + std::to_string(i / 4096);
    EXPECT_EQ(after.size(), before.size());
    EXPECT_EQ(changedPages, "") << "refused file was altered";
}

INSTANTIATE_TEST_SUITE_P(
    Foreign, RefusedFileTest,
    ::testing::Values(ForeignFile{"NotADatabase", ""},
                      ForeignFile{"OtherProgram",
                                  "DROP TABLE SYSTEM_TABLE;\nCREATE TABLE CUSTOMERS(ID INTEGER);\nCOMMIT;\n"},
                      ForeignFile{"NameCase", "UPDATE SYSTEM_TABLE SET DEVICE_NAME='zemvalkorta-1.0';\nCOMMIT;\n"},
                      ForeignFile{"NameLonger", "UPDATE SYSTEM_TABLE SET DEVICE_NAME='ZEMVALKORTA-1.01';\nCOMMIT;\n"},
                      ForeignFile{"LeadingBlank", "UPDATE SYSTEM_TABLE SET DEVICE_NAME=' ZEMVALKORTA-1.0';\nCOMMIT;\n"},
                      ForeignFile{"OlderVersion", "UPDATE SYSTEM_TABLE SET DEVICE_DATA_VERSION=65538;\nCOMMIT;\n"},
                      ForeignFile{"NewerVersion", "UPDATE SYSTEM_TABLE SET DEVICE_DATA_VERSION=65540;\nCOMMIT;\n"},
                      ForeignFile{"EmptyIdentity", "DELETE FROM SYSTEM_TABLE;\nCOMMIT;\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ProjectTest, CachedEditInsertDeleteThenCancelRestoresEverything) {
    CreateAndOpen();
    for (int i = 0; i < 3; ++i) module_.InsertMeasure(SampleMeasure(i + 1, SampleDate(i * 3600)));
    module_.SetProjectDescription("Серия 7");
    module_.PostChanges();
    module_.SaveChanges();
    EXPECT_FALSE(module_.IsModified());

    CachedDataSet& rows = module_.ResultDataSet();
    rows.First();
    module_.SetMeasureComment("изменено");
    EXPECT_TRUE(module_.IsModified());
    module_.PostChanges();
    rows.Next();
    rows.Delete();
    module_.InsertMeasure(SampleMeasure(9, SampleDate(99)));
    module_.SetProjectDescription("другое");
    module_.PostChanges();
    EXPECT_EQ(module_.GetRecordCount(), 3);
    EXPECT_TRUE(module_.IsModified());

    module_.CancelChanges();
    EXPECT_FALSE(module_.IsModified());
    EXPECT_EQ(module_.GetRecordCount(), 3);
    EXPECT_EQ(module_.ProjectDescription(), "Серия 7");
    for (int row = 1; row <= 3; ++row) {
        rows.SetRecNo(row);
        EXPECT_EQ(AsInteger(rows.Value(MeasureNumberField)), row);
        EXPECT_EQ(module_.MeasureComment(), "");
    }
}

TEST_F(ProjectTest, EditInProgressInBoundFieldCountsAsModified) {
    CreateAndOpen();
    module_.InsertMeasure(SampleMeasure(1, SampleDate(0)));
    module_.SaveChanges();
    ASSERT_FALSE(module_.IsModified());
    module_.ResultDataSet().SetEditorModified(true);
    EXPECT_TRUE(module_.IsModified());
    module_.ResultDataSet().SetEditorModified(false);
    module_.DescriptionDataSet().Edit();
    EXPECT_TRUE(module_.IsModified());
}

TEST_F(ProjectTest, DeleteAllThenCancelOrSave) {
    CreateAndOpen();
    for (int i = 0; i < 4; ++i) module_.InsertMeasure(SampleMeasure(i + 1, SampleDate(i)));
    module_.SaveChanges();
    module_.DeleteAllRecords();
    EXPECT_TRUE(module_.IsResultEmpty());
    module_.CancelChanges();
    EXPECT_EQ(module_.GetRecordCount(), 4);
    module_.DeleteAllRecords();
    module_.SaveChanges();
    module_.CloseProject();
    EXPECT_THAT(RunIsql(project_, "SELECT COUNT(*) FROM MEASURE_RESULT_TABLE;\n"),
                ::testing::ContainsRegex("COUNT\\s*=*\\s*0\\s"));
    Reopen();
    EXPECT_TRUE(module_.IsResultEmpty());
    EXPECT_EQ(module_.DescriptionDataSet().RecordCount(), 1);
}

TEST_F(ProjectTest, UnsavedChangesAreDroppedAtClose) {
    CreateAndOpen();
    module_.InsertMeasure(SampleMeasure(1, SampleDate(0)));
    module_.CloseProject();
    Reopen();
    EXPECT_TRUE(module_.IsResultEmpty());
}

TEST_F(ProjectTest, NestedBulkUpdatesNeedMatchingEnds) {
    CreateAndOpen();
    for (int i = 0; i < 3; ++i) module_.InsertMeasure(SampleMeasure(i + 1, SampleDate(i)));
    int shown = 0;
    module_.OnShowResult = [&](CachedDataSet&, bool selectFirst) {
        EXPECT_TRUE(selectFirst);
        ++shown;
    };
    CachedDataSet& rows = module_.ResultDataSet();
    module_.BeginBulkUpdate();
    module_.BeginBulkUpdate();
    rows.First();
    rows.Next();
    module_.EndBulkUpdate();
    rows.Next();
    EXPECT_EQ(shown, 0);
    module_.EndBulkUpdate();
    EXPECT_EQ(shown, 0) << "re-attaching must not repeat a missed scroll";
    rows.Prior();
    EXPECT_EQ(shown, 1);
    module_.EndBulkUpdate();  // unmatched: changes nothing
    rows.Prior();
    EXPECT_EQ(shown, 2);
    module_.BeginBulkUpdate();
    rows.Next();
    EXPECT_EQ(shown, 2);
    module_.EndBulkUpdate();
}

TEST_F(ProjectTest, SaveRecNoRestoresRow) {
    CreateAndOpen();
    for (int i = 0; i < 5; ++i) module_.InsertMeasure(SampleMeasure(i + 1, SampleDate(i)));
    module_.ResultDataSet().SetRecNo(3);
    module_.SaveRecNo();
    module_.ResultDataSet().First();
    module_.RestoreRecNo();
    EXPECT_EQ(module_.ResultDataSet().RecNo(), 3);
}

TEST_F(ProjectTest, KeysComeFromGeneratorAndAreNotReusedAfterCancel) {
    CreateAndOpen();
    CachedDataSet& rows = module_.ResultDataSet();
    rows.Append();
    auto first = AsInteger(rows.Value(MeasureResultTablePk));
    rows.Cancel();
    rows.Append();
    EXPECT_EQ(AsInteger(rows.Value(MeasureResultTablePk)), first + 1);
    rows.Cancel();
    EXPECT_TRUE(module_.IsResultEmpty());
    // Drawn outside the project's transaction: spent even though nothing was saved.
    Reopen();
    module_.ResultDataSet().Append();
    EXPECT_EQ(AsInteger(module_.ResultDataSet().Value(MeasureResultTablePk)), first + 2);
    module_.ResultDataSet().Cancel();
}

// The child half of the durability test: saves and waits to be killed. Left
// out of CTest's list; only SaveSurvivesKill starts it.
TEST(SaveDurabilityChild, SaveAndWait) {
    const char* path = std::getenv("ZEMVALKORTA_DURABILITY_PROJECT");
    ASSERT_NE(path, nullptr) << "started by SaveSurvivesKill only";
    TMainDataModule module;
    ASSERT_TRUE(module.OpenProject(path));
    for (int i = 0; i < 3; ++i) module.InsertMeasure(SampleMeasure(i + 1, SampleDate(i)));
    module.SetProjectDescription("сохранено");
    module.PostChanges();
    module.SaveChanges();
    module.InsertMeasure(SampleMeasure(50, SampleDate(50)));  // never saved
    std::ofstream(std::string(path) + ".saved") << "1";
    for (;;) pause();
}

TEST_F(ProjectTest, SaveSurvivesKill) {
    ASSERT_TRUE(module_.CreateProject(project_.string()));
    auto marker = project_.string() + ".saved";
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        setenv("ZEMVALKORTA_DURABILITY_PROJECT", project_.c_str(), 1);
        execl("/proc/self/exe", "child", "--gtest_filter=SaveDurabilityChild.SaveAndWait", nullptr);
        _exit(127);
    }
    for (int wait = 0; wait < 600 && !std::filesystem::exists(marker); ++wait) usleep(50'000);
    ASSERT_TRUE(std::filesystem::exists(marker));

    // While the child holds the file, this process is refused at once.
    EXPECT_FALSE(module_.OpenProject(project_.string()));
    EXPECT_FALSE(module_.LastError().empty());

    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(module_.OpenProject(project_.string())) << module_.LastError();
    EXPECT_EQ(module_.GetRecordCount(), 3);
    EXPECT_EQ(module_.ProjectDescription(), "сохранено");
    TMeasureResult measure;
    ASSERT_EQ(module_.ReadMeasure(measure), 0);
    EXPECT_EQ(measure.PointCount, 240);
}

}  // namespace
}  // namespace zemvalkorta::testing
