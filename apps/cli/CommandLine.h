#pragma once

// The command dispatcher of zemvalkorta-cli and the helpers its commands share.
// A command's usage text declares its arguments and options; the table parses
// the words for it, so a command body only sees checked arguments. Failures
// travel as exceptions and end as one line on stderr: UsageError with status
// 2, anything else with 1.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "core/MeasureResult.h"

namespace zemvalkorta::cli {

inline constexpr int ExitSuccess = 0;
inline constexpr int ExitFailure = 1;
inline constexpr int ExitUsage = 2;

// A termination request (SIGTERM, SIGINT, SIGHUP) taken at a safe point: the
// command stops there, nothing it had not saved is saved, and the program
// ends with 128 + the signal's number.
class StopRequest : public std::runtime_error {
public:
    explicit StopRequest(int signal);
    int Signal() const { return signal_; }

private:
    int signal_;
};

// A safe point: throws StopRequest when a termination request is pending.
void StopPoint();

class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class Arguments {
public:
    Arguments() = default;
    Arguments(std::vector<std::string> positional, std::vector<std::string> flags,
              std::map<std::string, std::string, std::less<>> values);

    const std::vector<std::string>& Positional() const { return positional_; }
    const std::string& At(std::size_t index) const { return positional_.at(index); }
    bool Has(std::string_view flag) const;
    std::optional<std::string> Value(std::string_view option) const;

private:
    std::vector<std::string> positional_;
    std::vector<std::string> flags_;
    std::map<std::string, std::string, std::less<>> values_;
};

using CommandHandler = std::function<int(const Arguments&)>;  // returns the exit status

// What CommandTable::Add makes of a command's declaration.
struct Command {
    std::string Name{};
    std::string Usage{};                      // arguments after the name, e.g. "IMAGE [-o OUT] [--json]"
    std::string Summary{};                    // one line for the help text
    std::vector<std::string> Flags{};         // options without a value, e.g. "--json"
    std::vector<std::string> ValueOptions{};  // options taking the next word, e.g. "-o"
    std::size_t MinimumPositional = 0;
    std::size_t MaximumPositional = 0;
    CommandHandler Run{};
};

class CommandTable {
public:
    // The usage text is the command's whole syntax, so that what --help shows
    // is what the command takes: an option followed by a placeholder word
    // takes a value ("-o OUT"), any other option is a flag ("[--json]",
    // "--all)"); the other words are its arguments ("[PK]" optional,
    // "IMAGE..." repeatable). [ ] and ( ) mark groups, | alternatives.
    void Add(std::string name, std::string usage, std::string summary, CommandHandler run);

    // Runs the command named by argv[1]; never throws.
    int Run(int argc, const char* const* argv) const;

    // The whole program's help, and one command's: what --help prints and
    // the manual page is made of.
    std::string HelpText() const;
    static std::string CommandHelpText(const Command& command);

private:
    static UsageError UnknownCommand(std::string_view name);
    static Arguments Parse(const Command& command, const std::vector<std::string>& words);
    const Command* Find(std::string_view name) const;

    std::vector<Command> commands_;
};

// Whole-file helpers; they throw std::runtime_error naming the file.
std::vector<std::uint8_t> ReadBinaryFile(const std::filesystem::path& path);
// Writes beside the target and renames, so a failed write never leaves a
// half-written file under the target's name.
void WriteBinaryFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);

// Reads a stored measurement image file into a record (runtime_error naming
// the file when it cannot be read or decoded).
TMeasureResult ReadMeasureImageFile(const std::filesystem::path& path);

// Strict whole-word conversions for command arguments (UsageError naming
// `what` otherwise).
std::int32_t ParseInteger(std::string_view text, std::string_view what);
double ParseDouble(std::string_view text, std::string_view what);

}  // namespace zemvalkorta::cli
