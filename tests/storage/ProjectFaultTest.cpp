// Faults around a project file: damaged pages, a file that may not grow, and
// a settings file or projects folder that cannot be written. Each proves that
// nothing already saved is lost and that the program can go on.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ProjectContent.h"
#include "ProjectFixture.h"
#include "storage/Settings.h"

namespace zemvalkorta::testing {
namespace {

constexpr std::size_t PageSize = 4096;

void WriteFileBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// Gives each page below endPage in turn a page type that does not exist and
// opens the file; a refusal must say why and leave the file byte for byte as
// it was. Returns how many were refused.
int OpenWithEachPageDamaged(TMainDataModule& module, const std::filesystem::path& project, const std::string& fresh,
                            std::size_t endPage) {
    int refused = 0;
    for (std::size_t page = 1; page < endPage && page * PageSize < fresh.size(); ++page) {
        std::string damaged = fresh;
        damaged[page * PageSize] = static_cast<char>(0x2A);
        WriteFileBytes(project, damaged);
        if (module.OpenProject(project.string())) {
            module.CloseProject();
            continue;
        }
        SCOPED_TRACE("page " + std::to_string(page) + ": " + module.LastError());
        ++refused;
        EXPECT_FALSE(module.LastError().empty());
        EXPECT_FALSE(module.IsProjectOpen());
        const std::string after = ReadFileBytes(project);
        EXPECT_EQ(after.size(), damaged.size());
        std::size_t first = 0;
        while (first < std::min(after.size(), damaged.size()) && after[first] == damaged[first]) ++first;
        EXPECT_EQ(first, after.size()) << "refused file changed at byte " << first << " (page " << first / PageSize
                                       << ")";
    }
    return refused;
}

// A damaged page makes the engine refuse the file, sometimes only after it has
// written the header page or backed out work on other pages.
TEST_F(ProjectTest, FileWithDamagedPageIsRefusedByteForByte) {
    ASSERT_TRUE(module_.CreateProject(project_.string()));
    const std::string fresh = ReadFileBytes(project_);
    EXPECT_GT(OpenWithEachPageDamaged(module_, project_, fresh, fresh.size() / PageSize), 10);
    // The undamaged file still opens after all those refusals.
    WriteFileBytes(project_, fresh);
    EXPECT_TRUE(module_.OpenProject(project_.string())) << module_.LastError();
}

// The same for a project of months, past the size whose pages are all kept
// before an attach: what the engine may write before refusing lies in the
// system area at the front and in the transaction inventory.
TEST_F(ProjectTest, LargeFileWithDamagedPageIsRefusedByteForByte) {
    CreateAndOpen();
    for (int index = 0; index < 150; ++index) {
        module_.ResultDataSet().Append();
        module_.WriteMeasure(SampleMeasure(index + 1, SampleDate(60 * index), 4320));
    }
    module_.SaveChanges();
    module_.CloseProject();
    const std::string fresh = ReadFileBytes(project_);
    ASSERT_GT(fresh.size(), std::size_t{20} << 20);
    EXPECT_GT(OpenWithEachPageDamaged(module_, project_, fresh, 80), 10);
}

// The file may not grow past its size: writes fail as on a full disk.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previousHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit saved_{};
    void (*previousHandler_)(int) = SIG_DFL;
};

TEST_F(ProjectTest, FullDiskKeepsChangesCachedForTheNextSave) {
    CreateAndOpen();
    module_.ResultDataSet().Append();
    module_.WriteMeasure(SampleMeasure(1, SampleDate(0)));
    module_.SaveChanges();
    ASSERT_EQ(module_.GetRecordCount(), 1);

    constexpr int Added = 200;  // far more than the free pages of the file
    for (int index = 0; index < Added; ++index) {
        module_.ResultDataSet().Append();
        module_.WriteMeasure(SampleMeasure(100 + index, SampleDate(60 * (index + 1)), 2000));
    }
    const std::string saved = CommittedContent(project_.string());
    {
        FileSizeLimit limit(std::filesystem::file_size(project_));
        EXPECT_THROW(module_.SaveChanges(), DatabaseError);
    }
    EXPECT_EQ(CommittedContent(project_.string()), saved);
    EXPECT_TRUE(module_.IsModified());
    EXPECT_EQ(module_.GetRecordCount(), 1 + Added);

    // Space again: the same cached rows are saved whole.
    module_.SaveChanges();
    EXPECT_FALSE(module_.IsModified());
    Reopen();
    EXPECT_EQ(module_.GetRecordCount(), 1 + Added);
    TMeasureResult measure;
    module_.ResultDataSet().Last();
    ASSERT_EQ(module_.ReadMeasure(measure), 0);
    EXPECT_EQ(measure.PointCount, 2000);
}

TEST_F(ProjectTest, SettingsSavedOntoAFullDiskKeepTheirOldFile) {
    const auto settingsFile = folder_ / "settings.ini";
    MainSettings settings;
    settings.PenColor = 1;
    SaveSettings(settingsFile, settings);
    const std::string before = ReadFileBytes(settingsFile);
    settings.PenColor = 2;
    {
        FileSizeLimit limit(16);  // far below a whole settings file
        EXPECT_THROW(SaveSettings(settingsFile, settings), SettingsError);
    }
    EXPECT_EQ(ReadFileBytes(settingsFile), before);
    EXPECT_EQ(LoadSettings(settingsFile).PenColor, 1);
    for (const auto& entry : std::filesystem::directory_iterator(folder_))
        EXPECT_EQ(entry.path().filename().string().find("settings.ini."), std::string::npos) << entry.path();
}

TEST_F(ProjectTest, UnwritableSettingsFileIsNamedAndLeavesTheProjectAlone) {
    CreateAndOpen();
    module_.ResultDataSet().Append();
    module_.WriteMeasure(SampleMeasure(1, SampleDate(0)));
    module_.SaveChanges();
    // A plain file where a folder should be stops even a privileged user.
    const auto blocker = folder_ / "blocker";
    std::ofstream(blocker) << "x";
    const auto settingsFile = blocker / "settings.ini";
    MainSettings settings;
    settings.PenColor = 255;
    try {
        SaveSettings(settingsFile, settings);
        ADD_FAILURE() << "saving into an impossible path succeeded";
    } catch (const SettingsError& error) {
        EXPECT_NE(std::string(error.what()).find(settingsFile.string()), std::string::npos) << error.what();
    }
    EXPECT_EQ(LoadSettings(settingsFile).PenColor, MainSettings{}.PenColor);
    EXPECT_TRUE(CreateProjectsDirectory(blocker / "program").empty());
    // The project is as it was and still takes changes.
    EXPECT_TRUE(module_.IsProjectOpen());
    EXPECT_EQ(module_.GetRecordCount(), 1);
    module_.ResultDataSet().Append();
    module_.WriteMeasure(SampleMeasure(2, SampleDate(60)));
    module_.SaveChanges();
    Reopen();
    EXPECT_EQ(module_.GetRecordCount(), 2);
}

// Rows sent before the disk filled up must not reach the file with the close
// that follows the operator's "Нет" (Cancel changes, then Close).
DatabaseErrorKind KindOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const DatabaseError& error) {
        return error.Kind();
    }
    ADD_FAILURE() << "no DatabaseError";
    return DatabaseErrorKind::EngineFailure;
}

// The kind comes from the engine's status, whatever language its message is in.
TEST_F(ProjectTest, EngineFailuresAreToldApartByTheirKind) {
    CreateAndOpen();
    for (int index = 0; index < 200; ++index) {  // far more than the free pages of the file
        module_.ResultDataSet().Append();
        module_.WriteMeasure(SampleMeasure(index + 1, SampleDate(60 * index), 2000));
    }
    {
        FileSizeLimit limit(std::filesystem::file_size(project_));
        EXPECT_EQ(KindOf([this] { module_.SaveChanges(); }), DatabaseErrorKind::DiskFull);
    }
    module_.CloseProject();

    const std::filesystem::path text = folder_ / "notes.fdb";
    WriteFileBytes(text, std::string(3 * PageSize, 'x'));
    const std::filesystem::path missing = folder_ / "missing.fdb";
    for (const std::filesystem::path& path : {text, missing}) {
        SCOPED_TRACE(path.string());
        FirebirdSession session;
        EXPECT_EQ(KindOf([&] {
                      session.Attach(ConnectionParameters{path.string(), "SYSDBA", ProjectPassword});
                  }),
                  DatabaseErrorKind::FileRefused);
    }

    FirebirdSession session;
    session.Attach(ConnectionParameters{project_.string(), "SYSDBA", ProjectPassword});
    session.StartTransaction();
    EXPECT_EQ(KindOf([&] { session.Execute("SELECT NO_SUCH_COLUMN FROM MEASURE_RESULT_TABLE"); }),
              DatabaseErrorKind::EngineFailure);
    session.Abandon();
}

TEST_F(ProjectTest, FullDiskTakesTheWholeSaveBackAndClosingCommitsNothing) {
    CreateAndOpen();
    module_.ResultDataSet().Append();
    module_.WriteMeasure(SampleMeasure(1, SampleDate(0)));
    module_.SaveChanges();
    const std::string saved = CommittedContent(project_.string());

    module_.ResultDataSet().First();
    module_.SetMeasureComment("до переполнения");
    module_.PostChanges();
    for (int index = 0; index < 200; ++index) {
        module_.ResultDataSet().Append();
        module_.WriteMeasure(SampleMeasure(100 + index, SampleDate(60 * (index + 1)), 2000));
    }
    {
        FileSizeLimit limit(std::filesystem::file_size(project_));
        EXPECT_THROW(module_.SaveChanges(), DatabaseError);
    }
    EXPECT_EQ(CommittedContent(project_.string()), saved);
    module_.ResultDataSet().First();
    EXPECT_EQ(module_.MeasureComment(), "до переполнения");
    EXPECT_EQ(module_.ResultDataSet().CurrentRowState(), RowState::Modified);

    module_.CancelChanges();
    EXPECT_FALSE(module_.IsModified());
    module_.CloseProject();
    EXPECT_EQ(CommittedContent(project_.string()), saved);
    ASSERT_TRUE(module_.OpenProject(project_.string())) << module_.LastError();
    EXPECT_EQ(module_.GetRecordCount(), 1);
    EXPECT_EQ(module_.MeasureComment(), "");
}

// A second workstation holds the second of two edited rows: the save fails on
// it after the first row's update was already sent.
class LockConflictTest : public ProjectTest {
protected:
    void SetUp() override {
        ProjectTest::SetUp();
        CreateAndOpen();
        for (int index = 0; index < 3; ++index) {
            module_.ResultDataSet().Append();
            module_.WriteMeasure(SampleMeasure(index + 1, SampleDate(60 * index)));
        }
        module_.SaveChanges();
        saved_ = CommittedContent(project_.string());

        CachedDataSet& rows = module_.ResultDataSet();
        rows.First();
        module_.SetMeasureComment("первая");
        rows.Next();
        module_.SetMeasureComment("вторая");
        module_.PostChanges();
        const FieldValue heldKey = rows.Value(MeasureResultTablePk);

        other_.Attach(ConnectionParameters{project_.string(), "SYSDBA", ProjectPassword});
        other_.StartTransaction();
        other_.Execute(
            "UPDATE MEASURE_RESULT_TABLE SET MEASURE_NUMBER = MEASURE_NUMBER WHERE "
            "MEASURE_RESULT_TABLE_PK = ?",
            {heldKey});
        try {
            module_.SaveChanges();
            ADD_FAILURE() << "the save went through a row another attachment holds";
        } catch (const DatabaseError& error) {
            EXPECT_NE(std::string(error.what()).find("conflict"), std::string::npos) << error.what();
            failedKind_ = error.Kind();
        }
    }
    void TearDown() override {
        other_.Abandon();
        ProjectTest::TearDown();
    }

    void ExpectBothEditsCached() {
        EXPECT_TRUE(module_.IsModified());
        CachedDataSet& rows = module_.ResultDataSet();
        rows.First();
        EXPECT_EQ(rows.CurrentRowState(), RowState::Modified);
        EXPECT_EQ(module_.MeasureComment(), "первая");
        rows.Next();
        EXPECT_EQ(rows.CurrentRowState(), RowState::Modified);
        EXPECT_EQ(module_.MeasureComment(), "вторая");
    }

    FirebirdSession other_;
    std::string saved_;
    std::optional<DatabaseErrorKind> failedKind_;
};

TEST_F(LockConflictTest, FailedSaveIsKnownAsALockConflict) { EXPECT_EQ(failedKind_, DatabaseErrorKind::LockConflict); }

TEST_F(LockConflictTest, FailedSaveLeavesTheFileAsSavedAndBothEditsCached) {
    EXPECT_EQ(CommittedContent(project_.string()), saved_);
    ExpectBothEditsCached();
}

TEST_F(LockConflictTest, CancelAndCloseAfterTheFailedSaveCommitNothing) {
    other_.Rollback();
    other_.Detach();
    module_.CancelChanges();
    EXPECT_FALSE(module_.IsModified());
    module_.CloseProject();
    EXPECT_EQ(CommittedContent(project_.string()), saved_);
    ASSERT_TRUE(module_.OpenProject(project_.string())) << module_.LastError();
    CachedDataSet& rows = module_.ResultDataSet();
    for (rows.First(); !rows.Eof(); rows.Next()) EXPECT_EQ(module_.MeasureComment(), "");
}

TEST_F(LockConflictTest, NextTryOnceTheRowIsFreeSavesBothEdits) {
    other_.Rollback();
    other_.Detach();
    ExpectBothEditsCached();
    module_.SaveChanges();
    EXPECT_FALSE(module_.IsModified());
    Reopen();
    std::vector<std::string> comments;
    CachedDataSet& rows = module_.ResultDataSet();
    for (rows.First(); !rows.Eof(); rows.Next()) comments.push_back(module_.MeasureComment());
    std::sort(comments.begin(), comments.end());
    EXPECT_EQ(comments, (std::vector<std::string>{"", "вторая", "первая"}));
}

// Save steps write in the save's own transaction, see the changes still
// cached, and fail the save whole when they throw.
TEST_F(ProjectTest, SaveStepsWriteInsideTheSaveAndAFailingOneTakesItAllBack) {
    CreateAndOpen();
    module_.ResultDataSet().Append();
    module_.WriteMeasure(SampleMeasure(1, SampleDate(0)));
    module_.SaveChanges();
    const std::string saved = CommittedContent(project_.string());

    module_.SetMeasureComment("правка");
    module_.PostChanges();
    const FieldValue key = module_.ResultDataSet().Value(MeasureResultTablePk);
    int calls = 0;
    const int failing = module_.AddSaveStep([&](FirebirdSession& session) {
        ++calls;
        EXPECT_EQ(module_.ResultDataSet().CurrentRowState(), RowState::Modified);
        session.Execute("UPDATE MEASURE_RESULT_TABLE SET MEASURE_NUMBER = 77 WHERE MEASURE_RESULT_TABLE_PK = ?", {key});
        throw DatabaseError("step refused");
    });
    EXPECT_THROW(module_.SaveChanges(), DatabaseError);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(CommittedContent(project_.string()), saved);
    EXPECT_TRUE(module_.IsModified());

    module_.RemoveSaveStep(failing);
    std::vector<std::string> order;
    module_.AddSaveStep([&](FirebirdSession& session) {
        order.push_back("first");
        session.Execute("UPDATE MEASURE_RESULT_TABLE SET MEASURE_NUMBER = 77 WHERE MEASURE_RESULT_TABLE_PK = ?", {key});
    });
    module_.AddSaveStep([&](FirebirdSession&) { order.push_back("second"); });
    module_.SaveChanges();
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(order, (std::vector<std::string>{"first", "second"}));
    EXPECT_FALSE(module_.IsModified());
    Reopen();
    EXPECT_EQ(module_.MeasureComment(), "правка");
    EXPECT_EQ(AsInteger(module_.ResultDataSet().Value(MeasureNumberField)), 77);
}

}  // namespace
}  // namespace zemvalkorta::testing
