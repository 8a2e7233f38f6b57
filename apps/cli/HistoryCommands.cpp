// history: the amendments of one measurement or of the whole project, as the
// project keeps them, oldest first.

#include <iostream>

#include "Commands.h"
#include "core/MeasureHistoryText.h"
#include "storage/MainDataModuleUnit.h"

namespace zemvalkorta::cli {

namespace {

int RunHistory(const Arguments& arguments) {
    TMainDataModule module;
    if (!module.OpenProject(arguments.At(0)))
        throw std::runtime_error("Не удалось открыть проект! " + module.LastError());
    std::optional<std::int64_t> pk;
    if (arguments.Positional().size() > 1) pk = ParseInteger(arguments.At(1), "PK");
    const std::vector<MeasureAmendment> entries = module.History().Entries(pk);
    module.CloseProject();
    if (arguments.Has("--json"))
        std::cout << AmendmentsToJson(entries) << "\n";
    else
        std::cout << AmendmentsToText(entries);
    return ExitSuccess;
}

}  // namespace

void RegisterHistoryCommands(CommandTable& table) {
    table.Add("history", "PROJECT [PK] [--json]",
              "the history of amendments of one measurement, or of every measurement, oldest first", RunHistory);
}

}  // namespace zemvalkorta::cli
