// report: the printed report of a project, written as PDF or as one JPEG
// picture per page, without the preview.

#include <QDir>
#include <QGuiApplication>
#include <iostream>
#include <memory>
#include <string>

#include "Commands.h"
#include "report/DataModuleRows.h"
#include "report/LocaleFormat.h"
#include "report/ReportBuilder.h"
#include "report/ReportRenderer.h"
#include "storage/MainDataModuleUnit.h"

namespace zemvalkorta::cli {

namespace {

// Painting text needs a GUI application; the command has no window, so it
// runs on the offscreen platform unless the caller chose one.
std::unique_ptr<QGuiApplication> MakeApplication() {
    if (QGuiApplication::instance() != nullptr) return nullptr;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "zemvalkorta-cli";
    static char* argv[] = {name, nullptr};
    return std::make_unique<QGuiApplication>(argc, argv);
}

int RunReport(const Arguments& arguments) {
    const std::string& project = arguments.At(0);
    const auto current = arguments.Value("--current");
    const bool all = arguments.Has("--all");
    const auto pdf = arguments.Value("--pdf");
    const auto jpeg = arguments.Value("--jpeg");
    if (current.has_value() == all) throw UsageError("report: give either --current PK or --all");
    if (pdf.has_value() == jpeg.has_value()) throw UsageError("report: give either --pdf OUT.pdf or --jpeg DIR");
    const std::int64_t key = current ? ParseInteger(*current, "PK") : 0;

    const auto application = MakeApplication();
    // The tables, the chart labels and the pictures all read the one default.
    ApplyLocaleFormatSettings();
    TMainDataModule module;
    if (!module.OpenProject(project)) throw std::runtime_error(project + ": " + module.LastError());
    if (current && !module.ResultDataSet().Locate(MeasureResultTablePk, FieldValue{key}))
        throw std::runtime_error(project + ": no measurement with key " + *current);

    DataModuleRows rows(module);
    ReportJob job(rows, ReportOptions{});
    CompositeReport report;
    if (!job.Build(report, all ? AllRecordsReport : CurrentRecordReport)) {
        module.CloseProject();
        throw std::runtime_error(project + ": nothing to report (no measurement with a specimen to show)");
    }
    module.CloseProject();

    if (pdf) {
        if (!ExportReportPdf(report.Pages(), QString::fromStdString(*pdf)))
            throw std::runtime_error(*pdf + ": cannot write the report");
        std::cout << *pdf << ": " << report.Pages().size() << " pages\n";
        return ExitSuccess;
    }
    const QString folder = QString::fromStdString(*jpeg);
    if (!QDir().mkpath(folder)) throw std::runtime_error(*jpeg + ": cannot make the folder");
    QStringList written;
    if (!ExportReportJpeg(report.Pages(), QDir(folder).filePath(QStringLiteral("report.jpg")), &written))
        throw std::runtime_error(*jpeg + ": cannot write the pictures");
    for (const QString& name : written) std::cout << name.toStdString() << "\n";
    return ExitSuccess;
}

}  // namespace

void RegisterReportCommands(CommandTable& table) {
    table.Add("report", "PROJECT (--current PK | --all) (--pdf OUT.pdf | --jpeg DIR)",
              "the printed report of one measurement (by its key) or of every measurement, as PDF "
              "or as one JPEG per page (report_1.jpg, ...)",
              RunReport);
}

}  // namespace zemvalkorta::cli
