// Project files are opened by a probe process first, so that the engine can
// crash or hang on a damaged file without taking the program with it.
#include <gmock/gmock.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "ProjectFixture.h"
#include "storage/CheckedProjects.h"
#include "storage/ProjectProbe.h"

namespace zemvalkorta::testing {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;
using namespace std::chrono_literals;

constexpr std::size_t PageSize = 4096;

class ProbeTest : public ProjectTest {
protected:
    // A stand-in for the probe program that behaves as the script says.
    std::string FakeProbe(const std::string& script) {
        const auto path = folder_ / ("probe-" + std::to_string(++fakes_) + ".sh");
        std::ofstream(path) << "#!/bin/sh\n" << script << "\n";
        std::filesystem::permissions(path, std::filesystem::perms::owner_all);
        return path.string();
    }
    int fakes_ = 0;
};

TEST_F(ProbeTest, OutcomeTellsWhatBecameOfTheProbe) {
    const std::string file = (folder_ / "any.fdb").string();
    EXPECT_TRUE(ProbeProjectFile(FakeProbe("exit 0"), file, 10s).Usable);

    ProbeOutcome refused = ProbeProjectFile(FakeProbe("echo ' not a project of ZEMVALKORTA-1.0 '; exit 1"), file, 10s);
    EXPECT_FALSE(refused.Usable);
    EXPECT_EQ(refused.Error, "not a project of ZEMVALKORTA-1.0");

    ProbeOutcome crashed = ProbeProjectFile(FakeProbe("kill -SEGV $$"), file, 10s);
    EXPECT_FALSE(crashed.Usable);
    EXPECT_THAT(crashed.Error, HasSubstr("signal 11"));
    EXPECT_THAT(crashed.Error, HasSubstr("damaged"));

    ProbeOutcome odd = ProbeProjectFile(FakeProbe("echo engine trouble >&2; exit 3"), file, 10s);
    EXPECT_FALSE(odd.Usable);
    EXPECT_EQ(odd.Error, "checking the file ended with status 3: engine trouble");

    ProbeOutcome missing = ProbeProjectFile((folder_ / "no-such-probe").string(), file, 10s);
    EXPECT_FALSE(missing.Usable);
    EXPECT_THAT(missing.Error, HasSubstr("cannot start"));
}

TEST_F(ProbeTest, ProbeThatHangsIsKilledAtTheTimeLimit) {
    const auto started = std::chrono::steady_clock::now();
    ProbeOutcome hung = ProbeProjectFile(FakeProbe("exec sleep 60"), (folder_ / "any.fdb").string(), 300ms);
    EXPECT_LT(std::chrono::steady_clock::now() - started, 20s);
    EXPECT_FALSE(hung.Usable);
    EXPECT_THAT(hung.Error, HasSubstr("within 0.3 s"));
    // Also when the probe closes its output and then stops answering.
    hung = ProbeProjectFile(FakeProbe("exec >/dev/null 2>&1; exec sleep 60"), (folder_ / "any.fdb").string(), 300ms);
    EXPECT_FALSE(hung.Usable);
    EXPECT_THAT(hung.Error, HasSubstr("did not finish"));
}

// The operator's "Отмена" while the probe is still at work: the probe is
// killed at once, long before its time limit, and the file is refused.
TEST_F(ProbeTest, CancelledProbeIsKilledAndRefusesTheFile) {
    std::atomic<bool> cancel{false};
    std::thread operatorCancels([&cancel] {
        std::this_thread::sleep_for(100ms);
        cancel.store(true);
    });
    for (const char* script : {"exec sleep 60", "exec >/dev/null 2>&1; exec sleep 60"}) {
        ProbeOutcome cancelled =
            ProbeProjectFile(FakeProbe(script), (folder_ / "any.fdb").string(), 30s, ProbeDepth::Everything, &cancel);
        EXPECT_FALSE(cancelled.Usable);
        EXPECT_EQ(cancelled.Error, CheckCancelledText);
    }
    operatorCancels.join();
}

TEST_F(ProbeTest, ServerPathsAreToldFromLocalFiles) {
    EXPECT_TRUE(IsServerPath("localhost/3051:/srv/lab/frost.fdb"));
    EXPECT_TRUE(IsServerPath("labserver:/srv/lab/frost.fdb"));
    EXPECT_TRUE(IsServerPath("inet://labserver:3051//srv/lab/frost.fdb"));
    EXPECT_FALSE(IsServerPath("/srv/lab/frost:2024.fdb"));
    EXPECT_FALSE(IsServerPath("./frost:2024.fdb"));
    EXPECT_FALSE(IsServerPath("frost.fdb"));
    EXPECT_FALSE(IsServerPath(":frost.fdb"));
}

TEST_F(ProbeTest, TheBuiltProbeIsFoundAndPassesAGoodProject) {
    const std::string probe = ProbeExecutable();
    ASSERT_FALSE(probe.empty());
    CreateAndOpen();
    module_.ResultDataSet().Append();
    module_.WriteMeasure(SampleMeasure(1, SampleDate(0)));
    module_.SaveChanges();
    module_.CloseProject();
    EXPECT_TRUE(ProbeProjectFile(probe, project_.string(), 60s).Usable);
    const auto foreign = folder_ / "notes.fdb";
    std::ofstream(foreign) << "just text";
    ProbeOutcome refused = ProbeProjectFile(probe, foreign.string(), 60s);
    EXPECT_FALSE(refused.Usable);
    EXPECT_FALSE(refused.Error.empty());
}

// Scrambled pages of a real project: some the engine refuses, on some it
// would hang or crash inside our process. Every one must end in an open
// project or a clear refusal with the file byte for byte as it was.
TEST_F(ProbeTest, ScrambledPagesNeverTakeTheProgramDown) {
    CreateAndOpen();
    for (int index = 0; index < 2; ++index) {
        module_.ResultDataSet().Append();
        module_.WriteMeasure(SampleMeasure(index + 1, SampleDate(60 * index), 4320));
    }
    module_.SaveChanges();
    module_.CloseProject();
    const std::string fresh = ReadFileBytes(project_);
    module_.SetProbeTimeLimit(3s);
    int refused = 0, engineFailed = 0;
    // The first pages hold the system tables; three more from the rows.
    const std::size_t pages = fresh.size() / PageSize;
    for (std::size_t page : {std::size_t{1}, std::size_t{2}, std::size_t{3}, std::size_t{4}, std::size_t{5},
                             std::size_t{6}, std::size_t{7}, pages / 3, pages / 2, pages * 2 / 3}) {
        SCOPED_TRACE("page " + std::to_string(page));
        std::string damaged = fresh;
        for (std::size_t at = page * PageSize + 16; at < (page + 1) * PageSize; ++at) damaged[at] ^= 0x5A;
        std::ofstream(project_, std::ios::binary | std::ios::trunc) << damaged;
        if (module_.OpenProject(project_.string())) {
            module_.CloseProject();
            continue;
        }
        ++refused;
        const std::string& error = module_.LastError();
        if (error.find("database engine") != std::string::npos) ++engineFailed;
        EXPECT_FALSE(error.empty());
        EXPECT_TRUE(ReadFileBytes(project_) == damaged) << "refused file changed: " << error;
    }
    std::printf("scrambled pages: %d refused, %d of them by a failing engine\n", refused, engineFailed);
    EXPECT_GT(refused, 0);
    std::ofstream(project_, std::ios::binary | std::ios::trunc) << fresh;
    module_.SetProbeTimeLimit(30s);
    EXPECT_TRUE(module_.OpenProject(project_.string())) << module_.LastError();
    EXPECT_EQ(module_.GetRecordCount(), 2);
}

// The record of cleanly closed projects, in a cache folder of the test's own.
class CheckedProjectsTest : public ProjectTest {
protected:
    void SetUp() override {
        ProjectTest::SetUp();
        if (const char* cache = std::getenv("XDG_CACHE_HOME")) savedCache_ = cache;
        setenv("XDG_CACHE_HOME", (folder_ / "cache").c_str(), 1);
    }
    void TearDown() override {
        if (savedCache_)
            setenv("XDG_CACHE_HOME", savedCache_->c_str(), 1);
        else
            unsetenv("XDG_CACHE_HOME");
        ProjectTest::TearDown();
    }
    std::optional<std::string> savedCache_;
};

TEST_F(CheckedProjectsTest, OnlyAFileAsOurOwnSessionLeftItCountsAsCleanlyClosed) {
    EXPECT_EQ(CheckedProjectsFile(), folder_ / "cache" / "zemvalkorta" / "checked-projects");
    CreateAndOpen();
    module_.ResultDataSet().Append();
    module_.WriteMeasure(SampleMeasure(1, SampleDate(0)));
    module_.SaveChanges();
    EXPECT_FALSE(IsCleanlyClosed(project_.string())) << "still open";
    module_.CloseProject();
    EXPECT_TRUE(IsCleanlyClosed(project_.string()));
    EXPECT_TRUE(IsCleanlyClosed((folder_ / "." / "test.fdb").string()));

    // Written by anyone else since: the whole check again.
    std::filesystem::last_write_time(project_, std::filesystem::last_write_time(project_) + 1s);
    EXPECT_FALSE(IsCleanlyClosed(project_.string()));
    ASSERT_TRUE(module_.OpenProject(project_.string())) << module_.LastError();
    module_.CloseProject();
    EXPECT_TRUE(IsCleanlyClosed(project_.string()));
    const auto copy = folder_ / "copy.fdb";
    std::filesystem::copy_file(project_, copy);
    EXPECT_FALSE(IsCleanlyClosed(copy.string()));

    // The probe's own sessions prove nothing and are not recorded.
    std::filesystem::last_write_time(project_, std::filesystem::last_write_time(project_) + 1s);
    ASSERT_FALSE(ProbeExecutable().empty());
    EXPECT_TRUE(ProbeProjectFile(ProbeExecutable(), project_.string(), 60s).Usable);
    EXPECT_FALSE(IsCleanlyClosed(project_.string()));
}

TEST_F(CheckedProjectsTest, RecordKeepsTheLatestHundredAndToleratesAnUnwritableFolder) {
    std::vector<std::filesystem::path> files;
    for (int index = 0; index < 105; ++index) {
        files.push_back(folder_ / ("f" + std::to_string(index)));
        std::ofstream(files.back()) << index;
        RememberCleanlyClosed(files.back().string());
    }
    EXPECT_FALSE(IsCleanlyClosed(files[4].string()));
    EXPECT_TRUE(IsCleanlyClosed(files[5].string()));
    EXPECT_TRUE(IsCleanlyClosed(files[104].string()));
    const std::string record = ReadFileBytes(CheckedProjectsFile());
    EXPECT_EQ(std::count(record.begin(), record.end(), '\n'), 100);

    // A plain file where the cache folder should be: nothing recorded, nothing thrown.
    std::ofstream(folder_ / "blocked") << "x";
    setenv("XDG_CACHE_HOME", (folder_ / "blocked").c_str(), 1);
    RememberCleanlyClosed(files[0].string());
    EXPECT_FALSE(IsCleanlyClosed(files[0].string()));
}

}  // namespace
}  // namespace zemvalkorta::testing
