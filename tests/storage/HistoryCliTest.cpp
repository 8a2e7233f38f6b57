// The history through zemvalkorta-cli as a user runs it: every changing
// command records its operator, `history` prints what the project keeps, and
// `show --original` the first stored record, also after a deletion. A save
// killed while it runs leaves rows and history that agree.
#include <gmock/gmock.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "ProjectFixture.h"
#include "core/MeasureImage.h"

namespace zemvalkorta::testing {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

std::string RunCli(const std::string& arguments, int* status = nullptr) {
    const std::string command = std::string(ZEMVALKORTA_CLI) + " " + arguments + " 2>/dev/null";
    std::string output;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        while (std::size_t got = fread(buffer, 1, sizeof buffer, pipe)) output.append(buffer, got);
        const int result = pclose(pipe);
        if (status != nullptr) *status = WIFEXITED(result) ? WEXITSTATUS(result) : -1;
    }
    return output;
}

class HistoryCliTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = MakeTemporaryFolder();
        project_ = (folder_ / "p.fdb").string();
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    // What the library reads from the file, for comparison with the printed form.
    std::vector<MeasureAmendment> Entries(std::optional<std::int64_t> pk) {
        TMainDataModule module;
        EXPECT_TRUE(module.OpenProject(project_)) << module.LastError();
        return module.History().Entries(pk);
    }

    std::filesystem::path folder_;
    std::string project_;
    const std::string image_ = ZEMVALKORTA_DEMO_IMAGE;
};

TEST_F(HistoryCliTest, EditsAndADeletionShowWithTheirOperatorsAndTheOriginalStays) {
    int status = -1;
    RunCli("create " + project_, &status);
    ASSERT_EQ(status, 0);
    RunCli("add-image " + project_ + " " + image_ + " --operator 'Иванова А. С.'", &status);
    ASSERT_EQ(status, 0);
    const std::string original = RunCli("show " + project_ + " 1 --json");
    ASSERT_THAT(original, StartsWith("{"));
    RunCli("set " + project_ + " 1 --channel 1 --primary 2450.5 --comment 'партия 12' --operator 'Иванова А. С.'",
           &status);
    ASSERT_EQ(status, 0);
    RunCli("set " + project_ + " 1 --geometry 1 --operator Петров", &status);
    ASSERT_EQ(status, 0);
    RunCli("set " + project_ + " 1 --stretch 3:up", &status);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(RunCli("show " + project_ + " 1 --original --json"), original);
    RunCli("delete " + project_ + " 1 --operator Петров", &status);
    ASSERT_EQ(status, 0);

    const std::vector<MeasureAmendment> entries = Entries(1);
    ASSERT_EQ(entries.size(), 5u);
    const std::string json = RunCli("history " + project_ + " 1 --json", &status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(json, AmendmentsToJson(entries) + "\n");
    EXPECT_EQ(RunCli("history " + project_ + " 1"), AmendmentsToText(entries));
    EXPECT_EQ(RunCli("history " + project_ + " --json"), json);  // the only measurement

    const std::string login = CurrentLoginName();
    EXPECT_THAT(json, HasSubstr("\"Operator\": \"Иванова А. С. (" + login + ")\", \"Action\": \"insert\""));
    EXPECT_THAT(json, HasSubstr("\"Operator\": \"Петров (" + login + ")\", \"Action\": \"edit\""));
    EXPECT_THAT(json, HasSubstr("\"Operator\": \"" + login + "\", \"Action\": \"edit\""));
    EXPECT_THAT(json, HasSubstr("\"Operator\": \"Петров (" + login + ")\", \"Action\": \"delete\""));
    EXPECT_THAT(json, HasSubstr("{\"Field\": \"PatternPrimaryWeight[1]\", \"Old\": 2391.5, \"New\": 2450.5}"));
    EXPECT_THAT(json, HasSubstr("{\"Field\": \"MEASURE_COMMENT\", \"Old\": null, \"New\": \"партия 12\"}"));
    EXPECT_THAT(json,
                HasSubstr("{\"Field\": \"PatternDimensions[2]\", \"Old\": [100, 100, 100], \"New\": [70, 70, 70]}"));
    EXPECT_THAT(json, HasSubstr("{\"Field\": \"CurveStretch[3]\", \"Old\": 1, \"New\": 1.002}"));
    EXPECT_THAT(json, HasSubstr("{\"Field\": \"MEASURE_COMMENT\", \"Old\": \"партия 12\", \"New\": null}"));
    EXPECT_THAT(json, ::testing::ContainsRegex(
                          "\"Time\": \"20[0-9][0-9]-[01][0-9]-[0-3][0-9]T[0-2][0-9]:[0-5][0-9]:[0-5][0-9]Z\""));

    // The deleted measurement's first record is still there.
    EXPECT_EQ(RunCli("show " + project_ + " 1 --original --json", &status), original);
    EXPECT_EQ(status, 0);
    RunCli("show " + project_ + " 1 --json", &status);
    EXPECT_NE(status, 0);
    RunCli("history " + project_ + " x", &status);
    EXPECT_EQ(status, 2);
}

TEST_F(HistoryCliTest, SaveKilledAtAnyMomentLeavesRowsAndHistoryThatAgree) {
    constexpr int Added = 60;
    int status = -1;
    RunCli("create " + project_, &status);
    ASSERT_EQ(status, 0);
    RunCli("add-image " + project_ + " " + image_, &status);
    ASSERT_EQ(status, 0);
    const std::string baseline = ReadFileBytes(project_);
    std::string command = std::string(ZEMVALKORTA_CLI) + " add-image " + project_;
    for (int index = 0; index < Added; ++index) {
        const auto image = folder_ / ("m" + std::to_string(index) + ".bin");
        const ByteArray bytes = EncodeMeasure(SampleMeasure(100 + index, SampleDate(3600 + 60 * index), 2000));
        std::ofstream(image, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        command += " " + image.string();
    }
    auto spawn = [&] {
        const pid_t child = fork();
        if (child == 0) {
            execl("/bin/sh", "sh", "-c", ("exec " + command + " >/dev/null 2>&1").c_str(), nullptr);
            _exit(127);
        }
        return child;
    };
    using Clock = std::chrono::steady_clock;
    const auto started = Clock::now();
    const pid_t uncut = spawn();
    int result = 0;
    waitpid(uncut, &result, 0);
    ASSERT_TRUE(WIFEXITED(result) && WEXITSTATUS(result) == 0);
    const auto whole = Clock::now() - started;

    // Kills spread over the whole run, then kills the moment the save has
    // made the file grow: on a fast machine the spread ones may all land
    // before the save or after it.
    constexpr int Kills = 6;
    constexpr int KillsOnGrowth = 3;
    int complete = 0, grown = 0;
    for (int kill = 1; kill <= Kills + KillsOnGrowth; ++kill) {
        SCOPED_TRACE("kill " + std::to_string(kill));
        std::ofstream(project_, std::ios::binary | std::ios::trunc) << baseline;
        const pid_t child = spawn();
        if (kill <= Kills) {
            std::this_thread::sleep_for(whole * kill / (Kills + 1));
        } else {
            const auto deadline = Clock::now() + whole * 4;
            while (Clock::now() < deadline && waitpid(child, &result, WNOHANG) == 0) {
                std::error_code error;
                if (std::filesystem::file_size(project_, error) > baseline.size()) break;
            }
        }
        ::kill(child, SIGKILL);
        waitpid(child, &result, 0);
        // The save is the only step that makes the file grow.
        grown += std::filesystem::file_size(project_) > baseline.size();
        // The killed program's file-checking child lets go of the file a moment later.
        TMainDataModule module;
        bool opened = false;
        for (int attempt = 0; attempt < 200 && !opened; ++attempt) {
            opened = module.OpenProject(project_);
            if (!opened) std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        ASSERT_TRUE(opened) << module.LastError();
        const int rows = module.GetRecordCount();
        EXPECT_TRUE(rows == 1 || rows == 1 + Added) << rows;
        complete += rows == 1 + Added;
        const std::vector<MeasureAmendment> entries = module.History().Entries();
        ASSERT_EQ(entries.size(), static_cast<std::size_t>(rows));
        CachedDataSet& set = module.ResultDataSet();
        for (set.First(); !set.Eof(); set.Next()) {
            const std::int64_t pk = AsInteger(set.Value(MeasureResultTablePk));
            std::vector<MeasureAmendment> own = module.History().Entries(pk);
            ASSERT_EQ(own.size(), 1u) << pk;
            EXPECT_EQ(own[0].Action, AmendmentAction::Insert);
            ASSERT_TRUE(module.History().Original(pk).has_value()) << pk;
            ByteArray image = set.BlobBytes(MeasureDataField);
            EXPECT_EQ(module.History().Original(pk)->Image, image) << pk;
        }
    }
    std::printf("kills: %d of %d landed in the save, %d left the whole of it\n", grown, Kills + KillsOnGrowth,
                complete);
    // A kill has to land while the save was writing, or this test proved nothing.
    EXPECT_GT(grown, 0);
}

}  // namespace
}  // namespace zemvalkorta::testing
