// zemvalkorta-cli: the measurement libraries without the window.
//
// Adding a command group: write `void RegisterXxxCommands(CommandTable&)` in
// its own file (apps/cli/XxxCommands.cpp) that calls table.Add() once per
// command, declare it in Commands.h, add the file and the libraries it needs
// to apps/cli/CMakeLists.txt, and call it below: one line here.
//
// Exit status: 0 success, 1 failure, 2 wrong usage; a failure prints exactly
// one line on stderr.

#include "Commands.h"

int main(int argc, char** argv) {
    using namespace zemvalkorta::cli;
    CommandTable table;
    RegisterProcessCommands(table);
    RegisterDeviceCommands(table);
    RegisterReportCommands(table);
    RegisterProjectCommands(table);
    RegisterHistoryCommands(table);
    return table.Run(argc, argv);
}
