#pragma once

// --help and --version, the same way in every program: the text printed is
// the text the manual pages are made from (help2man at packaging time), so
// the two cannot disagree.

#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace zemvalkorta::apps {

inline constexpr int ExitUsage = 2;

// "PROGRAM (PACKAGE) VERSION", the copyright line, and where to write.
std::string VersionText(std::string_view program);

// The closing lines of every help text: the two standard options, then where
// to report problems.
std::string StandardOptionsHelp();
std::string ReportBugsHelp();

// "Try 'PROGRAM --help' for more information."
std::string TryHelpText(std::string_view program);

// Looks for --help or --version among the words before "--": prints the help
// text or the version to `out` and returns exit status 0, or returns nothing
// when neither is there. The first one given wins.
std::optional<int> HandleStandardOptions(const std::vector<std::string>& words, std::string_view program,
                                         const std::string& helpText, std::ostream& out);

// The window's words after Qt has taken its own options: at most one project
// file, "--" ending the options. Anything else is a usage error, its message
// in `error`.
struct WindowArguments {
    std::optional<std::string> Project;
    std::string Error;
};
WindowArguments ParseWindowArguments(const std::vector<std::string>& words);

}  // namespace zemvalkorta::apps
