// The report over a real project file, through the data module and through
// the command line.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <clocale>

#include "ReportPageCheck.h"
#include "ReportSamples.h"
#include "report/DataModuleRows.h"
#include "report/LocaleFormat.h"
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

    QString RunCli(const QStringList& arguments, int& status,
                   const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
        QProcess process;
        process.setProcessEnvironment(environment);
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

// The environment of a user whose locale is given by the variables named.
QProcessEnvironment Locale(std::initializer_list<std::pair<const char*, const char*>> variables) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"LC_ALL", "LC_NUMERIC", "LANG", "LANGUAGE"}) environment.remove(name);
    for (const auto& [name, value] : variables) environment.insert(name, value);
    return environment;
}

void RequireRussianLocale() {
    // The lab's desktops run in Russian; without the locale the checks below
    // would pass for the wrong reason.
    locale_t russian = newlocale(LC_ALL_MASK, "ru_RU.UTF-8", static_cast<locale_t>(nullptr));
    ASSERT_NE(russian, static_cast<locale_t>(nullptr)) << "the ru_RU.UTF-8 locale is not generated";
    freelocale(russian);
}

// Pixels of two pictures of one size that differ by more than JPEG at
// quality 100 ever changes a pixel: a comma against a full stop shows.
int Differences(const QImage& a, const QImage& b) {
    if (a.size() != b.size() || a.isNull()) return -1;
    const QImage left = a.convertToFormat(QImage::Format_Grayscale8);
    const QImage right = b.convertToFormat(QImage::Format_Grayscale8);
    int count = 0;
    for (int y = 0; y < left.height(); ++y)
        for (int x = 0; x < left.width(); ++x)
            if (std::abs(left.constScanLine(y)[x] - right.constScanLine(y)[x]) > 80) ++count;
    return count;
}

TEST_F(ReportProject, CommandLineWritesTheUsersDecimalSeparatorInEveryOutput) {
    RequireRussianLocale();
    module.ResultDataSet().SetRecNo(1);  // the standard in channel 1, concrete in 2 and 3
    const QString key = QString::number(AsInteger(module.ResultDataSet().Value(MeasureResultTablePk)));
    const QString file = QString::fromStdString(project);
    const QRegularExpression fullStop(QStringLiteral("^-?\\d+\\.\\d+$"));
    const QRegularExpression comma(QStringLiteral("^-?\\d+,\\d+$"));

    // The pictures the window would save in each locale, from the same rows.
    const auto picture = [&](const FormatSettings& separators) {
        DataModuleRows rows(module);
        ReportOptions options;
        options.Separators = separators;
        ReportJob job(rows, options);
        CompositeReport report;
        EXPECT_TRUE(job.Build(report, CurrentRecordReport));
        return report.Pages().size() > 1 ? RenderReportPageImage(report.Pages()[1], 2, 3, ReportJpegDpi) : QImage();
    };
    const QImage russian = picture(LocaleFormatSettings(QLocale(QLocale::Russian, QLocale::Russia)));
    const QImage english = picture(LocaleFormatSettings(QLocale::c()));
    ASSERT_GT(Differences(russian, english), 20);
    module.CloseProject();

    for (const auto& environment :
         {Locale({{"LC_ALL", "ru_RU.UTF-8"}}), Locale({{"LANG", "C.UTF-8"}, {"LC_NUMERIC", "ru_RU.UTF-8"}}),
          Locale({{"LANG", "ru_RU.UTF-8"}})}) {
        SCOPED_TRACE(environment.toStringList().filter(QRegularExpression("^(LC_|LANG)")).join(' ').toStdString());
        int status = -1;
        const QString pdf = folder.filePath("ru.pdf");
        QString output = RunCli({"report", file, "--current", key, "--pdf", pdf}, status, environment);
        ASSERT_EQ(status, 0) << output.toStdString();
        int commas = 0;
        for (const auto& word : testing::PdfWords(pdf)) {
            EXPECT_FALSE(fullStop.match(word.Text).hasMatch()) << word.Text.toStdString();
            if (comma.match(word.Text).hasMatch()) ++commas;
        }
        EXPECT_GT(commas, 20);  // the table's values and the chart's labels

        const QString pictures = folder.filePath("ru-pictures");
        output = RunCli({"report", file, "--current", key, "--jpeg", pictures}, status, environment);
        ASSERT_EQ(status, 0) << output.toStdString();
        const QImage written(QDir(pictures).filePath("report_2.jpg"));
        EXPECT_LT(Differences(written, russian), 5) << Differences(written, english);

        const QString text = folder.filePath("ru.txt");
        output = RunCli({"export", file, key, text}, status, environment);
        ASSERT_EQ(status, 0) << output.toStdString();
        QFile exported(text);
        ASSERT_TRUE(exported.open(QIODevice::ReadOnly));
        const QByteArray samples = exported.readAll();
        EXPECT_TRUE(samples.contains("\t10,000\t20,00")) << samples.left(80).toStdString();
        EXPECT_FALSE(samples.contains('.'));

        // Output for programs stays locale-free.
        output = RunCli({"show", file, key, "--json"}, status, environment);
        ASSERT_EQ(status, 0) << output.toStdString();
        EXPECT_FALSE(output.contains(QRegularExpression(QStringLiteral("\\d,\\d")))) << output.toStdString();
        EXPECT_TRUE(output.contains(QStringLiteral("\"TemperatureFactor\": -9.5,"))) << output.toStdString();
    }

    int status = -1;
    const QString text = folder.filePath("c.txt");
    RunCli({"export", file, key, text}, status, Locale({{"LC_ALL", "C"}, {"LANG", "ru_RU.UTF-8"}}));
    ASSERT_EQ(status, 0);
    QFile exported(text);
    ASSERT_TRUE(exported.open(QIODevice::ReadOnly));
    const QByteArray samples = exported.readAll();
    EXPECT_TRUE(samples.contains("\t10.000\t20.00")) << samples.left(80).toStdString();
    EXPECT_FALSE(samples.contains(','));
}

}  // namespace
}  // namespace zemvalkorta
