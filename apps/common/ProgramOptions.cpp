#include "apps/ProgramOptions.h"

#include "ProgramVersion.h"

namespace zemvalkorta::apps {

std::string VersionText(std::string_view program) {
    return std::string(program) + " (" ZEMVALKORTA_PACKAGE ") " ZEMVALKORTA_VERSION
                                  "\n"
                                  "Copyright (C) " ZEMVALKORTA_COPYRIGHT_YEAR " " ZEMVALKORTA_COPYRIGHT_HOLDER "\n";
}

std::string StandardOptionsHelp() {
    return "  -h, --help     display this help and exit\n"
           "      --version  output version information and exit\n";
}

std::string ReportBugsHelp() { return "Report bugs to: " ZEMVALKORTA_BUG_ADDRESS "\n"; }

std::string TryHelpText(std::string_view program) {
    return "Try '" + std::string(program) + " --help' for more information.";
}

std::optional<int> HandleStandardOptions(const std::vector<std::string>& words, std::string_view program,
                                         const std::string& helpText, std::ostream& out) {
    for (const std::string& word : words) {
        if (word == "--") break;
        if (word == "--help" || word == "-h") {
            out << helpText;
            out.flush();
            return 0;
        }
        if (word == "--version") {
            out << VersionText(program);
            out.flush();
            return 0;
        }
    }
    return std::nullopt;
}

WindowArguments ParseWindowArguments(const std::vector<std::string>& words) {
    WindowArguments parsed;
    bool optionsEnded = false;
    for (const std::string& word : words) {
        if (!optionsEnded && word == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && word.size() > 1 && word[0] == '-') {
            parsed.Error = "unrecognized option '" + word + "'";
            return parsed;
        } else if (parsed.Project) {
            parsed.Error = "one project at a time: extra argument '" + word + "'";
            return parsed;
        } else {
            parsed.Project = word;
        }
    }
    return parsed;
}

}  // namespace zemvalkorta::apps
