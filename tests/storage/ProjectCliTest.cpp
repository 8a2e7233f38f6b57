#include <gmock/gmock.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>

#include "ProjectFixture.h"

namespace zemvalkorta::testing {
namespace {

using ::testing::EndsWith;
using ::testing::HasSubstr;

struct CliResult {
    int Status = -1;
    std::string Output;  // stdout and stderr together
};

class ProjectCliTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = MakeTemporaryFolder();
        project_ = (folder_ / "p.fdb").string();
    }
    void TearDown() override {
        std::filesystem::remove_all(folder_);
        if (!tools_.empty()) std::filesystem::remove_all(tools_);
    }

    CliResult Run(const std::string& arguments, const std::string& prefix = {}) {
        std::string command = prefix + cli_ + " " + arguments + " 2>&1";
        CliResult result;
        if (FILE* pipe = popen(command.c_str(), "r")) {
            char buffer[4096];
            while (std::size_t got = fread(buffer, 1, sizeof buffer, pipe)) result.Output.append(buffer, got);
            int status = pclose(pipe);
            result.Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }
        return result;
    }

    // The command-line tool and its probe in a folder every user may enter,
    // for commands run as another user: the build tree may lie in a home
    // folder that only its owner can reach.
    void RunToolsFromSharedCopy() {
        tools_ = MakeTemporaryFolder();
        namespace fs = std::filesystem;
        fs::permissions(tools_,
                        fs::perms::others_exec | fs::perms::others_read | fs::perms::group_exec | fs::perms::group_read,
                        fs::perm_options::add);
        for (const fs::path& program : {fs::path(ZEMVALKORTA_CLI), fs::path(ZEMVALKORTA_PROBE)})
            fs::copy_file(program, tools_ / program.filename());
        cli_ = (tools_ / fs::path(ZEMVALKORTA_CLI).filename()).string();
    }

    std::filesystem::path folder_;
    std::filesystem::path tools_;
    std::string cli_ = ZEMVALKORTA_CLI;
    std::string project_;
    const std::string image_ = ZEMVALKORTA_DEMO_IMAGE;
};

// The comment is a member of the record's object like any other, on a line
// of its own (it was once spliced in before the closing brace).
TEST_F(ProjectCliTest, ShowWritesTheCommentAsTheRecordsLastMember) {
    ASSERT_EQ(Run("create " + project_).Status, 0);
    ASSERT_EQ(Run("add-image " + project_ + " " + image_).Status, 0);
    ASSERT_EQ(Run("set " + project_ + " 1 --comment 'a \"b\"'").Status, 0);
    EXPECT_THAT(Run("show " + project_ + " 1 --json").Output,
                EndsWith(",\n  \"MEASURE_COMMENT\": \"a \\\"b\\\"\"\n}\n"));
    EXPECT_THAT(Run("show " + project_ + " 1 --json --curves").Output,
                EndsWith("]\n  ],\n  \"MEASURE_COMMENT\": \"a \\\"b\\\"\"\n}\n"));
}

TEST_F(ProjectCliTest, DownloadEditExportAndDeleteThroughTheProject) {
    ASSERT_EQ(Run("create " + project_).Status, 0);
    EXPECT_THAT(Run("info " + project_ + " --json").Output,
                HasSubstr("\"DEVICE_NAME\": \"ZEMVALKORTA-1.0\", \"DEVICE_DATA_VERSION\": 65539"));
    CliResult added = Run("add-image " + project_ + " " + image_ + " " + image_);
    EXPECT_EQ(added.Status, 0);
    EXPECT_THAT(added.Output, HasSubstr("{\"Added\": 1}"));
    EXPECT_THAT(Run("add-image " + project_ + " " + image_).Output, HasSubstr("{\"Added\": 0}"));
    EXPECT_THAT(Run("list " + project_ + " --json").Output, HasSubstr("\"MEASURE_RESULT_TABLE_PK\": 1"));

    ASSERT_EQ(Run("set " + project_ + " 1 --geometry 1 --comment 'с трещиной'").Status, 0);
    std::string shown = Run("show " + project_ + " 1 --json").Output;
    EXPECT_THAT(shown, HasSubstr("\"PatternDimensions\": [[70, 70, 70], [70, 70, 70], [70, 70, 70]]"));
    EXPECT_THAT(shown, HasSubstr("\"PatternVolume\": [343, 343, 343]"));
    EXPECT_THAT(shown, HasSubstr("\"MEASURE_COMMENT\": \"с трещиной\""));

    // Channel 2 of the demo measurement holds the standard specimen.
    CliResult standard = Run("set " + project_ + " 1 --stretch 2:up");
    EXPECT_NE(standard.Status, 0);
    ASSERT_EQ(Run("set " + project_ + " 1 --stretch 1:up").Status, 0);
    EXPECT_THAT(Run("show " + project_ + " 1 --json").Output, HasSubstr("\"CurveStretch\": [1.002, 1, 1]"));

    std::string exported = (folder_ / "out.txt").string();
    ASSERT_EQ(Run("export " + project_ + " 1 " + exported).Status, 0);
    std::string text = ReadFileBytes(exported);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 4320);
    EXPECT_TRUE(text.starts_with("0\t")) << text.substr(0, 40);

    ASSERT_EQ(Run("delete " + project_ + " 1").Status, 0);
    EXPECT_THAT(Run("info " + project_ + " --json").Output, HasSubstr("\"RowCount\": 0"));
    EXPECT_NE(Run("show " + project_ + " 1 --json").Status, 0);
}

TEST_F(ProjectCliTest, EveryCommandRefusesAFileThatIsNotAProject) {
    std::string foreign = (folder_ / "notes.fdb").string();
    std::ofstream(foreign) << "just text";
    for (const std::string& command :
         {"info " + foreign, "list " + foreign, "show " + foreign + " 1", "add-image " + foreign + " " + image_,
          "set " + foreign + " 1 --concrete 1", "delete " + foreign + " 1", "export " + foreign + " 1 x.txt"}) {
        CliResult result = Run(command);
        EXPECT_NE(result.Status, 0) << command;
        EXPECT_THAT(result.Output, HasSubstr("Не удалось открыть проект!")) << command;
        EXPECT_EQ(std::count(result.Output.begin(), result.Output.end(), '\n'), 1) << command;
    }
    EXPECT_EQ(ReadFileBytes(foreign), "just text");
}

// A project file the user may only read: every command that would write it is
// refused with the engine's reason, and the file stays as it was. Root may
// write any file, so the commands then run as the unprivileged "nobody".
TEST_F(ProjectCliTest, ReadOnlyProjectFileIsRefusedAndLeftAsItWas) {
    ASSERT_EQ(Run("create " + project_).Status, 0);
    ASSERT_EQ(Run("add-image " + project_ + " " + image_).Status, 0);
    std::filesystem::permissions(project_, std::filesystem::perms::owner_read | std::filesystem::perms::group_read |
                                               std::filesystem::perms::others_read);
    std::string runAs;
    if (geteuid() == 0) {
        ASSERT_EQ(chown(project_.c_str(), 65534, 65534), 0);
        std::filesystem::permissions(folder_, std::filesystem::perms::others_exec | std::filesystem::perms::group_exec,
                                     std::filesystem::perm_options::add);
        // The engine's lock folder is per user; ours would not be writable
        // for nobody. Leak checks of the command line run in the other tests.
        runAs = "env -u FIREBIRD_LOCK ASAN_OPTIONS=detect_leaks=0 setpriv --reuid=65534 --regid=65534 --clear-groups ";
        RunToolsFromSharedCopy();
        ASSERT_EQ(std::system((runAs + "test -x " + cli_).c_str()), 0) << "nobody cannot run " << cli_;
    }
    const std::string before = ReadFileBytes(project_);
    for (const std::string& command : {"info " + project_, "add-image " + project_ + " " + image_,
                                       "set " + project_ + " 1 --comment x", "delete " + project_ + " 1"}) {
        CliResult result = Run(command, runAs);
        EXPECT_NE(result.Status, 0) << command;
        EXPECT_THAT(result.Output, HasSubstr("Не удалось открыть проект!")) << command;
        EXPECT_THAT(result.Output, HasSubstr("read-write access")) << command;
    }
    EXPECT_EQ(ReadFileBytes(project_), before);
    // Writable again, the project opens with everything it held.
    std::filesystem::permissions(project_, std::filesystem::perms::owner_write | std::filesystem::perms::others_write,
                                 std::filesystem::perm_options::add);
    EXPECT_THAT(Run("info " + project_ + " --json", runAs).Output, HasSubstr("\"RowCount\": 1"));
}

}  // namespace
}  // namespace zemvalkorta::testing
