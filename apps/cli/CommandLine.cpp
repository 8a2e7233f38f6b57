#include "CommandLine.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>

#include "TerminationSignals.h"
#include "apps/ProgramOptions.h"
#include "core/MeasureImage.h"
#include "core/NumberFormat.h"

namespace zemvalkorta::cli {

namespace {

constexpr std::string_view ProgramName = "zemvalkorta-cli";

// A word that starts with "-" is an option unless it reads as a number, so
// that negative values can be passed as arguments.
bool LooksLikeOption(std::string_view word) {
    if (word.size() < 2 || word[0] != '-') return false;
    const char next = word[1];
    return !(std::isdigit(static_cast<unsigned char>(next)) || next == '.' || next == ',');
}

std::string OneLine(std::string text) {
    std::replace_if(
        text.begin(), text.end(), [](char c) { return c == '\n' || c == '\r'; }, ' ');
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text.empty() ? "unknown error" : text;
}

// The most words a repeatable argument ("IMAGE...") takes.
constexpr std::size_t RepeatedArgumentLimit = 100000;

// Opening and closing marks of optional ("[...]") and alternative ("(...)") groups.
constexpr std::string_view GroupOpeners = "[(";
constexpr std::string_view GroupClosers = "])";

std::vector<std::string_view> UsageWords(std::string_view usage) {
    std::vector<std::string_view> words;
    while (!usage.empty()) {
        const std::size_t end = std::min(usage.find(' '), usage.size());
        if (end > 0) words.push_back(usage.substr(0, end));
        usage.remove_prefix(std::min(end + 1, usage.size()));
    }
    return words;
}

// The word without the group marks around it ("[--json]" is "--json").
std::string_view Bare(std::string_view word) {
    word.remove_prefix(std::min(word.find_first_not_of(GroupOpeners), word.size()));
    return word.substr(0, word.find_last_not_of(GroupClosers) + 1);
}

// An option's value: a placeholder that opens no group of its own.
bool IsValueWord(std::string_view word) {
    return !word.empty() && GroupOpeners.find(word.front()) == std::string_view::npos && word.front() != '-' &&
           word != "|";
}

// Fills in the syntax the usage text shows.
void DeclareSyntaxFromUsage(Command& command) {
    const std::vector<std::string_view> words = UsageWords(command.Usage);
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string_view word = words[i];
        const std::string_view bare = Bare(word);
        if (bare.empty() || bare == "|") continue;
        if (bare.front() == '-') {
            const bool closesAGroup = GroupClosers.find(word.back()) != std::string_view::npos;
            if (!closesAGroup && i + 1 < words.size() && IsValueWord(words[i + 1])) {
                command.ValueOptions.emplace_back(bare);
                ++i;
            } else {
                command.Flags.emplace_back(bare);
            }
        } else {
            if (word.front() != '[') ++command.MinimumPositional;
            command.MaximumPositional = bare.ends_with("...") ? RepeatedArgumentLimit : command.MaximumPositional + 1;
        }
    }
}

}  // namespace

Arguments::Arguments(std::vector<std::string> positional, std::vector<std::string> flags,
                     std::map<std::string, std::string, std::less<>> values)
    : positional_(std::move(positional)), flags_(std::move(flags)), values_(std::move(values)) {}

bool Arguments::Has(std::string_view flag) const {
    return std::find(flags_.begin(), flags_.end(), flag) != flags_.end();
}

std::optional<std::string> Arguments::Value(std::string_view option) const {
    const auto found = values_.find(option);
    if (found == values_.end()) return std::nullopt;
    return found->second;
}

void CommandTable::Add(std::string name, std::string usage, std::string summary, CommandHandler run) {
    if (Find(name) != nullptr) throw std::logic_error("command registered twice: " + name);
    Command command{
        .Name = std::move(name), .Usage = std::move(usage), .Summary = std::move(summary), .Run = std::move(run)};
    DeclareSyntaxFromUsage(command);
    commands_.push_back(std::move(command));
}

const Command* CommandTable::Find(std::string_view name) const {
    for (const Command& command : commands_)
        if (command.Name == name) return &command;
    return nullptr;
}

std::string CommandTable::HelpText() const {
    std::string text = "Usage: " + std::string(ProgramName) + " COMMAND [ARGUMENT]...\n" +
                       "  or:  " + std::string(ProgramName) + " COMMAND --help\n" +
                       "Do without the window what the window of ZEMVALKORTA-1.0 does: create projects,\n"
                       "download the instrument's measurements into them, process, grade, show, change,\n"
                       "export and report them.\n"
                       "\n"
                       "Commands:\n";
    for (const Command& command : commands_) {
        text += "  " + command.Name + " " + command.Usage + "\n";
        text += "         " + command.Summary + "\n";
    }
    text += "\nOptions:\n" + apps::StandardOptionsHelp() +
            "\n"
            "Exit status:\n"
            "  0  success\n"
            "  1  failure, told in one line on standard error\n"
            "  2  wrong usage\n"
            "\n" +
            apps::ReportBugsHelp();
    return text;
}

std::string CommandTable::CommandHelpText(const Command& command) {
    std::string text =
        "Usage: " + std::string(ProgramName) + " " + command.Name + " " + command.Usage + "\n" + command.Summary + "\n";
    text += "\n  -h, --help     display this help and exit\n";
    return text;
}

Arguments CommandTable::Parse(const Command& command, const std::vector<std::string>& words) {
    std::vector<std::string> positional;
    std::vector<std::string> flags;
    std::map<std::string, std::string, std::less<>> values;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (optionsEnded || !LooksLikeOption(word)) {
            positional.push_back(word);
        } else if (word == "--") {
            optionsEnded = true;
        } else if (std::find(command.Flags.begin(), command.Flags.end(), word) != command.Flags.end()) {
            if (std::find(flags.begin(), flags.end(), word) == flags.end()) flags.push_back(word);
        } else if (std::find(command.ValueOptions.begin(), command.ValueOptions.end(), word) !=
                   command.ValueOptions.end()) {
            if (i + 1 >= words.size()) throw UsageError(command.Name + ": option " + word + " needs a value");
            if (values.contains(word)) throw UsageError(command.Name + ": option " + word + " given twice");
            values[word] = words[++i];
        } else {
            throw UsageError(command.Name + ": unknown option " + word);
        }
    }
    if (positional.size() < command.MinimumPositional || positional.size() > command.MaximumPositional)
        throw UsageError("usage: " + std::string(ProgramName) + " " + command.Name + " " + command.Usage);
    return Arguments(std::move(positional), std::move(flags), std::move(values));
}

StopRequest::StopRequest(int signal)
    : std::runtime_error("остановлено по сигналу " + std::to_string(signal) + ", несохранённое не сохранено"),
      signal_(signal) {}

void StopPoint() {
    if (const int signal = TakeTerminationSignal(); signal != 0) throw StopRequest(signal);
}

int CommandTable::Run(int argc, const char* const* argv) const {
    try {
        if (argc < 2) {
            std::cerr << HelpText();
            return ExitUsage;
        }
        const std::string_view name = argv[1];
        if (name == "--version") {
            std::cout << apps::VersionText(ProgramName);
            return ExitSuccess;
        }
        if (name == "help" || name == "--help" || name == "-h") {
            if (argc > 2) {
                const Command* command = Find(argv[2]);
                if (command == nullptr) throw UnknownCommand(argv[2]);
                std::cout << CommandHelpText(*command);
            } else {
                std::cout << HelpText();
            }
            return ExitSuccess;
        }
        const Command* command = Find(name);
        if (command == nullptr) throw UnknownCommand(name);
        const std::vector<std::string> words(argv + 2, argv + argc);
        // "COMMAND --help" before any "--" asks for that command's help, whatever else is given.
        for (const std::string& word : words) {
            if (word == "--") break;
            if (word == "--help" || word == "-h") {
                std::cout << CommandHelpText(*command);
                return ExitSuccess;
            }
        }
        StopPoint();
        const int status = command->Run(Parse(*command, words));
        std::cout.flush();
        if (!std::cout) throw std::runtime_error("cannot write the output");
        return status;
    } catch (const StopRequest& stop) {
        std::cerr << ProgramName << ": " << OneLine(stop.what()) << '\n';
        return 128 + stop.Signal();
    } catch (const UsageError& error) {
        std::cerr << ProgramName << ": " << OneLine(error.what()) << '\n';
        return ExitUsage;
    } catch (const std::exception& error) {
        std::cerr << ProgramName << ": " << OneLine(error.what()) << '\n';
        return ExitFailure;
    }
}

UsageError CommandTable::UnknownCommand(std::string_view name) {
    return UsageError("unknown command \"" + std::string(name) + "\" (try " + std::string(ProgramName) + " --help)");
}

std::vector<std::uint8_t> ReadBinaryFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) throw std::runtime_error(path.string() + ": cannot open the file");
    std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    if (file.bad()) throw std::runtime_error(path.string() + ": cannot read the file");
    return bytes;
}

void WriteBinaryFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    std::filesystem::path temporary = path;
    temporary += ".part";
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        if (!file) throw std::runtime_error(path.string() + ": cannot create the file");
        file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        file.close();
        if (!file) {
            std::error_code ignored;
            std::filesystem::remove(temporary, ignored);
            throw std::runtime_error(path.string() + ": cannot write the file");
        }
    }
    std::error_code error;
    std::filesystem::rename(temporary, path, error);
    if (error) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        throw std::runtime_error(path.string() + ": cannot write the file: " + error.message());
    }
}

TMeasureResult ReadMeasureImageFile(const std::filesystem::path& path) {
    const std::vector<std::uint8_t> image = ReadBinaryFile(path);
    if (image.empty()) throw std::runtime_error(path.string() + ": the file is empty");
    try {
        return DecodeMeasure(image);
    } catch (const ImageError& error) {
        throw std::runtime_error(path.string() + ": not a measurement image: " + error.what());
    }
}

std::int32_t ParseInteger(std::string_view text, std::string_view what) {
    std::int32_t value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end)
        throw UsageError(std::string(what) + " must be an integer, not \"" + std::string(text) + "\"");
    return value;
}

double ParseDouble(std::string_view text, std::string_view what) {
    double value = 0;
    if (!ParseNumber(text, value))
        throw UsageError(std::string(what) + " must be a number, not \"" + std::string(text) + "\"");
    return value;
}

}  // namespace zemvalkorta::cli
