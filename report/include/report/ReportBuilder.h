#pragma once

// Building the report of a project: which templates the job holds and how
// each page is filled from the measurement rows.

#include <QColor>
#include <array>

#include "core/NumberFormat.h"
#include "report/CompositeReport.h"
#include "report/ReportChart.h"
#include "report/ReportRows.h"

namespace zemvalkorta {

enum ReportKind : int { CurrentRecordReport = 0, AllRecordsReport = 1 };

struct ReportOptions {
    std::array<QColor, ChannelCount> ChannelColours{QColor(Qt::blue), QColor(Qt::red), QColor(Qt::magenta)};
    FormatSettings Separators = DefaultFormatSettings();
};

class ReportJob {
public:
    ReportJob(ReportRows& rows, ReportOptions options);

    // Fills the template list for the scope and prepares it, with the list
    // frozen in bulk update and returned to the remembered row afterwards,
    // also when preparing fails or throws. Answers whether pages are ready.
    bool Build(CompositeReport& report, int reportScope, const ReportProgress& progress = {});

    // The build callbacks of the two templates.
    void MainReportManualBuild(ReportPage& page);
    void EasyReportManualBuild(ReportPage& page);

    int ReportScope() const { return reportScope_; }

private:
    void BuildTablePage(ReportPage& page);
    void BuildGraphPage(ReportPage& page);
    void FillTable(ReportPage& page, const TMeasureResult& measure);

    ReportRows& rows_;
    ReportOptions options_;
    ReportChart reportChart_;
    int reportScope_ = CurrentRecordReport;
    // Whether the table page of the running occurrence found its measurement;
    // its graph page draws nothing otherwise.
    bool tableFound_ = false;
};

}  // namespace zemvalkorta
