#pragma once

// One registration function per group of commands, each in its own source
// file; main.cpp calls them all.

#include "CommandLine.h"

namespace zemvalkorta::cli {

// process, grade (ProcessCommands.cpp)
void RegisterProcessCommands(CommandTable& table);
// download, screenshot (DeviceCommands.cpp)
void RegisterDeviceCommands(CommandTable& table);
// report (ReportCommands.cpp)
void RegisterReportCommands(CommandTable& table);
// create, info, list, show, add-image, set, delete, export (ProjectCommands.cpp)
void RegisterProjectCommands(CommandTable& table);
// history (HistoryCommands.cpp)
void RegisterHistoryCommands(CommandTable& table);

}  // namespace zemvalkorta::cli
