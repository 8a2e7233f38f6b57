// zemvalkorta-cli: the measurement libraries without the window.
//
// Adding a command group: write `void RegisterXxxCommands(CommandTable&)` in
// its own file (apps/cli/XxxCommands.cpp) that calls table.Add() once per
// command, declare it in Commands.h, add the file and the libraries it needs
// to apps/cli/CMakeLists.txt, and call it below: one line here.
//
// Exit status: 0 success, 1 failure, 2 wrong usage, 128 + N stopped by signal
// N (SIGTERM, SIGINT, SIGHUP) at a safe point; a failure or stop prints
// exactly one line on stderr.

#include "Commands.h"
#include "TerminationSignals.h"

int main(int argc, char** argv) {
    using namespace zemvalkorta::cli;
    // Before any library starts a thread of its own.
    zemvalkorta::BlockTerminationSignals();
    CommandTable table;
    RegisterProcessCommands(table);
    RegisterDeviceCommands(table);
    RegisterReportCommands(table);
    RegisterProjectCommands(table);
    RegisterHistoryCommands(table);
    return table.Run(argc, argv);
}
