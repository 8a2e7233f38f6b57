#include "CommandLine.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>

#include "TerminationSignals.h"
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

void CommandTable::Add(Command command) {
    if (Find(command.Name) != nullptr) throw std::logic_error("command registered twice: " + command.Name);
    commands_.push_back(std::move(command));
}

const Command* CommandTable::Find(std::string_view name) const {
    for (const Command& command : commands_)
        if (command.Name == name) return &command;
    return nullptr;
}

std::string CommandTable::HelpText() const {
    std::string text = "usage: " + std::string(ProgramName) + " COMMAND [ARGUMENTS]\n\ncommands:\n";
    for (const Command& command : commands_) {
        text += "  " + command.Name + " " + command.Usage + "\n";
        text += "      " + command.Summary + "\n";
    }
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
        if (name == "help" || name == "--help" || name == "-h") {
            std::cout << HelpText();
            return ExitSuccess;
        }
        const Command* command = Find(name);
        if (command == nullptr)
            throw UsageError("unknown command \"" + std::string(name) + "\" (try " + std::string(ProgramName) +
                             " help)");
        const std::vector<std::string> words(argv + 2, argv + argc);
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
