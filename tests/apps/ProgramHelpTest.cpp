// --help and --version of every program, run as a user (and help2man) runs
// them, and the shared option handling behind them.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "apps/ProgramOptions.h"

namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::StartsWith;
using namespace zemvalkorta::apps;

struct Outcome {
    int Status = -1;
    std::string Out;
    std::string Err;
};

std::string ReadText(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::string Quote(const std::string& word) {
    std::string quoted = "'";
    for (const char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

class ProgramHelpTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "zemvalkorta-help-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        folder_ = pattern;
    }
    void TearDown() override { fs::remove_all(folder_); }

    // `environment` goes in front of the command, e.g. "env -u DISPLAY".
    Outcome Run(const std::string& program, const std::vector<std::string>& arguments,
                const std::string& environment = "") const {
        std::string command = environment + (environment.empty() ? "" : " ") + Quote(program);
        for (const std::string& argument : arguments) command += " " + Quote(argument);
        command += " </dev/null >" + Quote((folder_ / "out").string()) + " 2>" + Quote((folder_ / "err").string());
        const int raw = std::system(command.c_str());
        return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadText(folder_ / "out"), ReadText(folder_ / "err")};
    }

    fs::path folder_;
};

struct Program {
    const char* Name;
    const char* Path;
};

const std::vector<Program> Programs{{"zemvalkorta", ZEMVALKORTA_GUI},
                                    {"zemvalkorta-cli", ZEMVALKORTA_CLI},
                                    {"zemvalkorta-instrument", ZEMVALKORTA_INSTRUMENT},
                                    {"zemvalkorta-probe", ZEMVALKORTA_PROBE}};

TEST_F(ProgramHelpTest, EveryProgramAnswersHelpAndVersionWithStatusZero) {
    for (const Program& program : Programs) {
        SCOPED_TRACE(program.Name);
        // No display and no Qt platform: help2man runs the window's --help at build time.
        const Outcome help = Run(program.Path, {"--help"}, "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM");
        EXPECT_EQ(help.Status, 0) << help.Err;
        EXPECT_THAT(help.Out, StartsWith(std::string("Usage: ") + program.Name + " "));
        EXPECT_THAT(help.Out, HasSubstr("--version  output version information and exit"));
        EXPECT_EQ(help.Err, "");
        EXPECT_EQ(Run(program.Path, {"-h"}, "env -u DISPLAY").Out, help.Out);

        const Outcome version = Run(program.Path, {"--version"}, "env -u DISPLAY -u QT_QPA_PLATFORM");
        EXPECT_EQ(version.Status, 0) << version.Err;
        EXPECT_EQ(version.Out.substr(0, version.Out.find('\n')),
                  std::string(program.Name) + " (ZEMVALKORTA) " + ZEMVALKORTA_PROJECT_VERSION);
        EXPECT_THAT(version.Out, HasSubstr("\nCopyright (C) "));
        EXPECT_EQ(version.Err, "");
    }
}

TEST_F(ProgramHelpTest, EveryCliCommandHasItsOwnHelp) {
    const Outcome help = Run(ZEMVALKORTA_CLI, {"--help"});
    ASSERT_EQ(help.Status, 0);
    // The commands are the lines of the "Commands:" paragraph indented by two.
    std::istringstream lines(help.Out.substr(help.Out.find("Commands:\n")));
    std::string line;
    std::vector<std::string> commands;
    std::getline(lines, line);
    while (std::getline(lines, line) && !line.empty())
        if (line.rfind("  ", 0) == 0 && line[2] != ' ') commands.push_back(line.substr(2, line.find(' ', 2) - 2));
    for (const char* known : {"create", "download", "list", "show", "set", "export", "report", "process", "grade"})
        EXPECT_THAT(commands, ::testing::Contains(known));
    for (const std::string& command : commands) {
        SCOPED_TRACE(command);
        const Outcome own = Run(ZEMVALKORTA_CLI, {command, "--help"});
        EXPECT_EQ(own.Status, 0) << own.Err;
        EXPECT_THAT(own.Out, StartsWith("Usage: zemvalkorta-cli " + command + " "));
        EXPECT_EQ(own.Err, "");
        // Help wins over missing or wrong arguments, and "help COMMAND" says the same.
        EXPECT_EQ(Run(ZEMVALKORTA_CLI, {command, "--no-such-option", "-h"}).Out, own.Out);
        EXPECT_EQ(Run(ZEMVALKORTA_CLI, {"help", command}).Out, own.Out);
        // The program's help shows the same usage line.
        EXPECT_THAT(help.Out, HasSubstr("  " + own.Out.substr(std::string("Usage: zemvalkorta-cli ").size(),
                                                              own.Out.find('\n') - 23)));
    }
    const Outcome unknown = Run(ZEMVALKORTA_CLI, {"help", "frobnicate"});
    EXPECT_EQ(unknown.Status, 2);
    EXPECT_THAT(unknown.Err, HasSubstr("frobnicate"));
}

TEST_F(ProgramHelpTest, AfterDoubleDashHelpIsAnArgument) {
    // "--" ends the options: a file called --help is a project, not a request for help.
    const Outcome cli = Run(ZEMVALKORTA_CLI, {"list", "--", "--help"});
    EXPECT_NE(cli.Status, 0);
    EXPECT_EQ(cli.Out, "");
    const Outcome window = Run(ZEMVALKORTA_GUI, {"--", "--version", "extra"}, "env QT_QPA_PLATFORM=offscreen");
    EXPECT_EQ(window.Status, 2);
    EXPECT_THAT(window.Err, HasSubstr("extra"));
}

TEST_F(ProgramHelpTest, WrongWindowOptionsAreRefusedBeforeAnyWindow) {
    const Outcome outcome = Run(ZEMVALKORTA_GUI, {"--frobnicate"}, "env QT_QPA_PLATFORM=offscreen");
    EXPECT_EQ(outcome.Status, 2);
    EXPECT_EQ(outcome.Out, "");
    // Qt may say something of its own first (XDG_RUNTIME_DIR when there is no session).
    EXPECT_THAT(outcome.Err, ::testing::EndsWith("zemvalkorta: unrecognized option '--frobnicate'\n"
                                                 "Try 'zemvalkorta --help' for more information.\n"));
    const Outcome instrument = Run(ZEMVALKORTA_INSTRUMENT, {"--frobnicate"});
    EXPECT_EQ(instrument.Status, 2);
    EXPECT_THAT(instrument.Err, HasSubstr("Try 'zemvalkorta-instrument --help'"));
    const Outcome noValue = Run(ZEMVALKORTA_INSTRUMENT, {"--seed"});
    EXPECT_EQ(noValue.Status, 2);
    EXPECT_THAT(noValue.Err, HasSubstr("option --seed needs a value"));
}

TEST(ProgramOptionsTest, TheFirstStandardOptionBeforeDoubleDashWins) {
    std::ostringstream out;
    EXPECT_EQ(HandleStandardOptions({"a.fdb", "--version", "--help"}, "prog", "HELP\n", out), 0);
    EXPECT_THAT(out.str(), StartsWith("prog (ZEMVALKORTA) "));
    out.str("");
    EXPECT_EQ(HandleStandardOptions({"-h", "--version"}, "prog", "HELP\n", out), 0);
    EXPECT_EQ(out.str(), "HELP\n");
    out.str("");
    EXPECT_FALSE(HandleStandardOptions({"--", "--help"}, "prog", "HELP\n", out).has_value());
    EXPECT_FALSE(HandleStandardOptions({"--helpme", "-help", "--versions"}, "prog", "HELP\n", out).has_value());
    EXPECT_EQ(out.str(), "");
}

TEST(ProgramOptionsTest, TheWindowTakesOneProjectAndNoUnknownOption) {
    EXPECT_FALSE(ParseWindowArguments({}).Project.has_value());
    EXPECT_EQ(ParseWindowArguments({}).Error, "");
    EXPECT_EQ(ParseWindowArguments({"/tmp/a.fdb"}).Project, "/tmp/a.fdb");
    EXPECT_EQ(ParseWindowArguments({"--", "-odd.fdb"}).Project, "-odd.fdb");
    EXPECT_EQ(ParseWindowArguments({"-"}).Project, "-");
    EXPECT_EQ(ParseWindowArguments({"--geometry"}).Error, "unrecognized option '--geometry'");
    EXPECT_THAT(ParseWindowArguments({"a.fdb", "b.fdb"}).Error, HasSubstr("'b.fdb'"));
}

}  // namespace
