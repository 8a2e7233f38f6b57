// Where a program keeps its settings, projects and display picture: beside
// itself in a build tree, in the user's XDG folders once installed.

#include "core/ProgramFolders.h"
#include "core/UserAccount.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <optional>
#include <string>

namespace zemvalkorta {
namespace {

namespace fs = std::filesystem;

// Sets or clears one variable for the life of the object.
class ScopedVariable {
public:
    ScopedVariable(const char* name, std::optional<std::string> value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        if (value)
            setenv(name, value->c_str(), 1);
        else
            unsetenv(name);
    }
    ~ScopedVariable() {
        if (old_)
            setenv(name_, old_->c_str(), 1);
        else
            unsetenv(name_);
    }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    const char* name_;
    std::optional<std::string> old_;
};

class ProgramFoldersTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "zemvalkorta-folders-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        root_ = pattern;
        fs::create_directories(root_ / "build" / "apps");
        fs::create_directories(root_ / "usr" / "bin");
    }
    void TearDown() override { fs::remove_all(root_); }

    fs::path root_;
};

TEST_F(ProgramFoldersTest, BuildTreeProgramKeepsEverythingBesideItself) {
    ScopedVariable config("XDG_CONFIG_HOME", (root_ / "config").string());
    const fs::path program = root_ / "build" / "apps" / "zemvalkorta";
    EXPECT_FALSE(IsInstalledProgram(program, root_ / "usr" / "bin"));
    const ProgramFolders folders = FoldersOf(program, root_ / "usr" / "bin");
    EXPECT_EQ(folders.Settings, root_ / "build" / "apps");
    EXPECT_EQ(folders.Data, root_ / "build" / "apps");
    EXPECT_FALSE(fs::exists(root_ / "config")) << "computing the paths must not create anything";
}

TEST_F(ProgramFoldersTest, InstalledProgramUsesXdgFoldersEvenWhereItCouldWrite) {
    // The install folder here is writable, as /usr/bin is for root: being
    // there is what makes the program installed.
    ScopedVariable config("XDG_CONFIG_HOME", (root_ / "config").string());
    ScopedVariable data("XDG_DATA_HOME", (root_ / "data").string());
    const fs::path program = root_ / "usr" / "bin" / "zemvalkorta";
    // The same folder spelled another way is still the install folder.
    const fs::path spelled = root_ / "usr" / "." / "bin" / ".." / "bin";
    EXPECT_TRUE(IsInstalledProgram(program, spelled));
    const ProgramFolders folders = FoldersOf(program, spelled);
    EXPECT_EQ(folders.Settings, root_ / "config" / "zemvalkorta");
    EXPECT_EQ(folders.Data, root_ / "data" / "zemvalkorta");
}

TEST_F(ProgramFoldersTest, WithoutXdgVariablesTheHomeFoldersAreUsedAndRelativeValuesIgnored) {
    ScopedVariable home("HOME", (root_ / "home").string());
    const fs::path program = root_ / "usr" / "bin" / "zemvalkorta-cli";
    {
        ScopedVariable config("XDG_CONFIG_HOME", std::nullopt);
        ScopedVariable data("XDG_DATA_HOME", std::nullopt);
        const ProgramFolders folders = FoldersOf(program, root_ / "usr" / "bin");
        EXPECT_EQ(folders.Settings, root_ / "home" / ".config" / "zemvalkorta");
        EXPECT_EQ(folders.Data, root_ / "home" / ".local" / "share" / "zemvalkorta");
    }
    {
        ScopedVariable config("XDG_CONFIG_HOME", "relative/config");
        ScopedVariable data("XDG_DATA_HOME", "");
        const ProgramFolders folders = FoldersOf(program, root_ / "usr" / "bin");
        EXPECT_EQ(folders.Settings, root_ / "home" / ".config" / "zemvalkorta");
        EXPECT_EQ(folders.Data, root_ / "home" / ".local" / "share" / "zemvalkorta");
    }
}

TEST_F(ProgramFoldersTest, WithoutHomeTheUserDatabaseGivesTheHomeFolder) {
    ScopedVariable home("HOME", std::nullopt);
    ScopedVariable config("XDG_CONFIG_HOME", std::nullopt);
    const fs::path settings = FoldersOf(root_ / "usr" / "bin" / "zemvalkorta", root_ / "usr" / "bin").Settings;
    EXPECT_TRUE(settings.is_absolute()) << settings;
    EXPECT_EQ(settings.filename(), "zemvalkorta");
    EXPECT_EQ(settings.parent_path().filename(), ".config");
}

TEST_F(ProgramFoldersTest, AProgramThatCannotWriteItsFolderCountsAsInstalled) {
    ScopedVariable config("XDG_CONFIG_HOME", (root_ / "config").string());
    // A folder that is not there cannot be written, by root either.
    EXPECT_TRUE(IsInstalledProgram(root_ / "gone" / "zemvalkorta", root_ / "usr" / "bin"));
    EXPECT_TRUE(IsInstalledProgram("zemvalkorta", root_ / "usr" / "bin"));
    EXPECT_EQ(FoldersOf(root_ / "gone" / "zemvalkorta", root_ / "usr" / "bin").Settings,
              root_ / "config" / "zemvalkorta");
    if (geteuid() != 0) {
        fs::permissions(root_ / "build" / "apps", fs::perms::owner_write, fs::perm_options::remove);
        EXPECT_TRUE(IsInstalledProgram(root_ / "build" / "apps" / "zemvalkorta", root_ / "usr" / "bin"));
        fs::permissions(root_ / "build" / "apps", fs::perms::owner_write, fs::perm_options::add);
    }
}

TEST_F(ProgramFoldersTest, ThisBuildsInstallFolderIsTheDefault) {
    const fs::path installed = InstalledProgramsFolder();
    EXPECT_TRUE(installed.is_absolute()) << installed;
    EXPECT_TRUE(IsInstalledProgram(installed / "zemvalkorta"));
    // This test program runs from the build tree.
    EXPECT_FALSE(IsInstalledProgram(ProgramFilePath()));
    EXPECT_EQ(FoldersOf(ProgramFilePath()).Settings, ProgramFilePath().parent_path());
}

}  // namespace
}  // namespace zemvalkorta

TEST(UserAccountTest, FindsTheRunningAccountAndNothingForAnUnknownId) {
    const auto account = zemvalkorta::FindUserAccount(getuid());
    ASSERT_TRUE(account.has_value());
    EXPECT_FALSE(account->Name.empty());
    EXPECT_TRUE(account->Home.starts_with('/')) << account->Home;
    EXPECT_FALSE(zemvalkorta::FindUserAccount(static_cast<uid_t>(4000000000U)).has_value());
}
