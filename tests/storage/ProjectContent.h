#pragma once

// What a project file holds for a reader that attaches now: every committed
// row of both tables, every column, blob contents included, in key order.
// Two equal results mean the same saved project, whatever the engine did to
// its header and inventory pages meanwhile.

#include <string>

namespace zemvalkorta::testing {

std::string CommittedContent(const std::string& path);

}  // namespace zemvalkorta::testing
