// The report over a real project file, through the data module and through
// the command line.

#include <gtest/gtest.h>

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include "ReportSamples.h"
#include "report/DataModuleRows.h"
#include "report/ReportBuilder.h"
#include "report/ReportRenderer.h"
#include "storage/MainDataModuleUnit.h"

namespace zemvalkorta {
namespace {

class ReportProject : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        project = folder.filePath("project.fdb").toStdString();
        ASSERT_TRUE(module.CreateProject(project)) << module.LastError();
        ASSERT_TRUE(module.OpenProject(project)) << module.LastError();
        // Four rows, one holding only the standard specimen.
        const TMeasureResult measures[] = {samples::Measure(7, 1), samples::Measure(2, 2), samples::Measure(3, 16),
                                           samples::Measure(6, 4)};
        for (int row = 0; row < 4; ++row) {
            TMeasureResult measure = measures[row];
            measure.MeasureNumber = row + 1;
            measure.MeasureDate += row;
            ASSERT_EQ(module.InsertMeasure(measure), -1);
        }
        module.SaveChanges();
    }

    QString RunCli(const QStringList& arguments, int& status) {
        QProcess process;
        process.start(QStringLiteral(ZEMVALKORTA_CLI), arguments);
        process.waitForFinished(120000);
        status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        return QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError());
    }

    QTemporaryDir folder;
    std::string project;
    TMainDataModule module;
};

TEST_F(ReportProject, AllMeasurementsInListOrderAndTheCurrentRowComesBack) {
    module.ResultDataSet().SetRecNo(2);
    DataModuleRows rows(module);
    ReportJob job(rows, ReportOptions{});
    CompositeReport report;
    ASSERT_TRUE(job.Build(report, AllRecordsReport));
    ASSERT_EQ(report.Pages().size(), 6u);
    EXPECT_EQ(report.Pages()[0].Lines("PatternNumberMemo"), (QStringList{"2", "", "3", ""}));
    EXPECT_EQ(report.Pages()[2].Lines("PatternNumberMemo"), (QStringList{"1", "", "2", ""}));
    EXPECT_EQ(report.Pages()[4].Lines("PatternNumberMemo"), (QStringList{"2", ""}));
    for (std::size_t page = 1; page < 6; page += 2) EXPECT_EQ(report.Pages()[page].Name(), QStringLiteral("Page1"));
    EXPECT_EQ(module.ResultDataSet().RecNo(), 2);

    CompositeReport current;
    ASSERT_TRUE(job.Build(current, CurrentRecordReport));
    ASSERT_EQ(current.Pages().size(), 1u);  // row 2 holds only the standard specimen
    EXPECT_EQ(module.ResultDataSet().RecNo(), 2);
}

TEST_F(ReportProject, CommandLineWritesPdfAndPictures) {
    module.ResultDataSet().SetRecNo(1);
    const QString key = QString::number(AsInteger(module.ResultDataSet().Value(MeasureResultTablePk)));
    module.CloseProject();
    const QString file = QString::fromStdString(project);

    int status = -1;
    const QString pdf = folder.filePath("all.pdf");
    QString output = RunCli({"report", file, "--all", "--pdf", pdf}, status);
    EXPECT_EQ(status, 0) << output.toStdString();
    EXPECT_TRUE(output.contains("6 pages")) << output.toStdString();
    EXPECT_GT(QFileInfo(pdf).size(), 1000);

    const QString pictures = folder.filePath("pictures");
    output = RunCli({"report", file, "--current", key, "--jpeg", pictures}, status);
    EXPECT_EQ(status, 0) << output.toStdString();
    EXPECT_EQ(QDir(pictures).entryList({"*.jpg"}, QDir::Files),
              (QStringList{"report_1.jpg", "report_2.jpg", "report_3.jpg"}));

    RunCli({"report", file, "--current", "999999", "--pdf", pdf}, status);
    EXPECT_EQ(status, 1);
    RunCli({"report", file, "--all", "--current", key, "--pdf", pdf}, status);
    EXPECT_EQ(status, 2);
    RunCli({"report", file, "--all"}, status);
    EXPECT_EQ(status, 2);
}

}  // namespace
}  // namespace zemvalkorta
