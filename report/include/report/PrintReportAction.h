#pragma once

// The report command: asks for the report kind, builds the report of the
// current or of every measurement with progress and cancel, and opens the
// modal preview. Shows no messages of its own.

#include <QWidget>

#include "report/ReportBuilder.h"
#include "report/ReportRows.h"

namespace zemvalkorta {

// reportScope receives the chosen kind (the main window's ReportScope field),
// whichever button closed the dialog. mainDBGrid, when given, gets the
// keyboard focus back afterwards if it can take it. Returns whether a
// preview was shown.
bool PrintReportActionExecute(QWidget* parent, ReportRows& rows, const ReportOptions& options, int& reportScope,
                              QWidget* mainDBGrid = nullptr);

}  // namespace zemvalkorta
