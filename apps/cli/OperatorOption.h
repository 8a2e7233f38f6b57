#pragma once

// --operator NAME of the commands that change a project: the name the
// history of amendments records beside the login name.

#include "CommandLine.h"
#include "storage/MainDataModuleUnit.h"

namespace zemvalkorta::cli {

inline constexpr const char* OperatorOption = "--operator";

inline void ApplyOperatorOption(const Arguments& arguments, TMainDataModule& module) {
    module.History().SetOperator({CurrentLoginName(), arguments.Value(OperatorOption).value_or("")});
}

}  // namespace zemvalkorta::cli
