// Targets: the report of all 200 measurements of a project to PDF within 10 s;
// one measurement's report opened in the preview within 1 s. Run offscreen.

#include <benchmark/benchmark.h>
#include <QApplication>
#include <QTemporaryDir>

#include "ReportSamples.h"
#include "report/ReportBuilder.h"
#include "report/ReportPreviewDialog.h"
#include "report/ReportRenderer.h"

namespace zemvalkorta {
namespace {

// A day-long run at the instrument's usual 30 s period.
constexpr int PointCount = 2880;

std::vector<std::optional<TMeasureResult>> Project(int measurements) {
    std::vector<std::optional<TMeasureResult>> rows;
    for (int row = 0; row < measurements; ++row) {
        // Every tenth measurement holds only the standard specimen.
        TMeasureResult measure =
            row % 10 == 9 ? samples::Measure(1, 1, PointCount) : samples::Measure(7, row % 2 == 0 ? 1 : 16, PointCount);
        measure.MeasureNumber = row + 1;
        measure.MeasureDate += row;
        rows.emplace_back(std::move(measure));
    }
    return rows;
}

void AllMeasurementsToPdf(benchmark::State& state) {
    const auto project = Project(static_cast<int>(state.range(0)));
    QTemporaryDir folder;
    std::size_t pages = 0;
    for (auto _ : state) {
        MeasureListRows rows(project);
        ReportJob job(rows, ReportOptions{});
        CompositeReport report;
        if (!job.Build(report, AllRecordsReport) || !ExportReportPdf(report.Pages(), folder.filePath("all.pdf"))) {
            state.SkipWithError("the report was not written");
            return;
        }
        pages = report.Pages().size();
    }
    state.counters["pages"] = static_cast<double>(pages);
}
BENCHMARK(AllMeasurementsToPdf)->Arg(200)->Unit(benchmark::kMillisecond)->Iterations(2);

void OneMeasurementToPreview(benchmark::State& state) {
    const auto project = Project(1);
    for (auto _ : state) {
        MeasureListRows rows(project);
        ReportJob job(rows, ReportOptions{});
        CompositeReport report;
        job.Build(report, CurrentRecordReport);
        ReportPreviewDialog preview(report.Pages());
        preview.show();
        QApplication::processEvents();
        // Draws what the operator sees first: the two pages side by side.
        benchmark::DoNotOptimize(preview.grab());
    }
}
BENCHMARK(OneMeasurementToPreview)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
}  // namespace zemvalkorta

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
