// zemvalkorta-probe [--rows-only] PROJECT [PARENT-PID]: opens a project file
// as the program does and reads every row with its measurement image (only
// the rows with --rows-only), in a process of its own, so that a damaged
// file can only take this process down. Exit status 0: the file can be used;
// 1: the project was refused, its reason on standard output. Anything else,
// a signal above all, tells the program that the engine failed on the file.
#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "apps/ProgramOptions.h"
#include "storage/MainDataModuleUnit.h"

namespace {

constexpr char Program[] = "zemvalkorta-probe";

std::string HelpText() {
    return "Usage: zemvalkorta-probe [--rows-only] PROJECT [PARENT-PID]\n"
           "Open the project file PROJECT as zemvalkorta does and read every row with its\n"
           "measurement image (only the rows with --rows-only), so that a file on which the\n"
           "database engine fails takes down this process only. zemvalkorta runs it before\n"
           "it opens a project; with PARENT-PID it ends when that process ends.\n"
           "\n"
           "Exit status: 0 the file can be used; 1 the project was refused, the reason on\n"
           "standard output; 2 wrong usage.\n"
           "\n" +
           zemvalkorta::apps::StandardOptionsHelp();
}

}  // namespace

int main(int argc, char** argv) {
    using namespace zemvalkorta;
    std::vector<std::string> arguments(argv + 1, argv + argc);
    // Only alone: the program passes a project path, which may be spelled like an option.
    if (arguments.size() == 1)
        if (const auto status = apps::HandleStandardOptions(arguments, Program, HelpText(), std::cout)) return *status;
    const bool rowsOnly = !arguments.empty() && arguments.front() == "--rows-only";
    if (rowsOnly) arguments.erase(arguments.begin());
    if (arguments.empty() || arguments.size() > 2) {
        std::cerr << "usage: zemvalkorta-probe [--rows-only] PROJECT [PARENT-PID]\n";
        return 2;
    }
    // A probe outliving the program would keep the file locked against the
    // program's next start: it goes when the program goes.
    if (arguments.size() == 2) {
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (std::to_string(getppid()) != arguments[1]) return 2;
    }
    TMainDataModule module;
    module.SetProbeTimeLimit(std::chrono::milliseconds::zero());  // this is the probe
    module.History().SetEnabled(false);                           // which only looks
    if (!module.OpenProject(arguments[0])) {
        std::cout << module.LastError() << '\n';
        return 1;
    }
    CachedDataSet& rows = module.ResultDataSet();
    for (rows.First(); !rowsOnly && !rows.Eof(); rows.Next()) {
        try {
            static_cast<void>(rows.BlobBytes(MeasureDataField));
        } catch (const std::exception&) {
            // A page the engine reports as damaged is refused with that
            // report when the row is shown; the file as a whole is usable.
        }
    }
    module.CloseProject();
    return 0;
}

// The engine and its client keep one-time allocations (character set
// converters, ICU, authentication) until the process ends.
// The sanitizer runtime looks this function up by its reserved name.
extern "C" const char* __lsan_default_suppressions() {  // NOLINT(bugprone-reserved-identifier)
    return "leak:libfbclient.so\nleak:libEngine12.so\nleak:libicuuc.so\nleak:libicui18n.so\n";
}
