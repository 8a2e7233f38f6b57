#include <gtest/gtest.h>

#include <QDir>
#include <QImageReader>
#include <QPrinter>
#include <QProcess>
#include <QTemporaryDir>

#include "ReportSamples.h"
#include "report/ReportBuilder.h"
#include "report/ReportRenderer.h"

namespace zemvalkorta {
namespace {

const FormatSettings Comma{",", " "};

QString Run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000)) return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The text of a PDF with runs of blanks squeezed, so that layout does not matter.
QString PdfText(const QString& fileName) { return Run("pdftotext", {"-enc", "UTF-8", fileName, "-"}).simplified(); }

int PdfPages(const QString& fileName) {
    const QString info = Run("pdfinfo", {fileName});
    for (const QString& line : info.split('\n'))
        if (line.startsWith("Pages:")) return line.mid(6).trimmed().toInt();
    return -1;
}

struct Prepared {
    Prepared(std::vector<std::optional<TMeasureResult>> list, int scope)
        : rows(std::move(list)),
          job(rows, ReportOptions{{QColor(Qt::blue), QColor(Qt::red), QColor(Qt::magenta)}, Comma}) {
        ready = job.Build(report, scope);
    }
    MeasureListRows rows;
    ReportJob job;
    CompositeReport report;
    bool ready = false;
};

TEST(ReportExport, PdfHoldsTheFixedTextsAndTheFilledValues) {
    TMeasureResult measure = samples::Measure(7, 1);
    measure.PatternPrimaryWeight = {0, 2100, 0};
    measure.PatternSaturatedWeight = {0, 2200, 0};
    Prepared prepared(samples::Rows({measure}), CurrentRecordReport);
    ASSERT_TRUE(prepared.ready);
    QTemporaryDir directory;
    const QString fileName = directory.filePath("report.pdf");
    ASSERT_TRUE(ExportReportPdf(prepared.report.Pages(), fileName));
    EXPECT_EQ(PdfPages(fileName), 3);

    const QString text = PdfText(fileName);
    for (const char* fixed : {"Приложение №1",
                              "к протоколу испытания № _______",
                              "РЕЗУЛЬТАТЫ ИСПЫТАНИЙ",
                              "Согласно ГОСТ 10060.3-95 и изменению №1 к ГОСТ 10060.3-95",
                              "Испытания провёл",
                              "(канала)",
                              "Размер, mm",
                              "Объём,",
                              "Масса, г",
                              "щенная",
                              "Водопоглощение,%",
                              "по массе",
                              "по объёму",
                              "Показатели морозостойкости",
                              "Приложение №2",
                              "к протоколу испытания № ________",
                              "Стандартный образец",
                              "cm³",
                              "ΔV, cm³",
                              "Θx10³",
                              "<Θ>x10³",
                              "начало 15.03.2023 12:10",
                              "окончание 15.03.2023 14:10",
                              "100,0x 100,0x 100,0",
                              "4,8",
                              "10,0",
                              "2100,0",
                              "2200,0",
                              "бетон тяжёлый",
                              "Время, ч:м",
                              "ΔV(t),",
                              "V(t),",
                              "Страница 3 из 3"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(fixed))) << fixed;
}

// What the print dialog hands over: the whole report, or a range of it.
TEST(ReportExport, PrintsTheWholeReportOrTheChosenPages) {
    Prepared prepared(samples::Rows({samples::Measure(7, 1)}), CurrentRecordReport);
    ASSERT_TRUE(prepared.ready);
    const std::vector<ReportPage>& pages = prepared.report.Pages();
    ASSERT_EQ(pages.size(), 3u);
    QTemporaryDir directory;
    auto printTo = [&](const QString& name, int from, int to) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(directory.filePath(name));
        printer.setPageLayout(ReportPageLayout());
        printer.setFullPage(true);
        if (from > 0) {
            printer.setPrintRange(QPrinter::PageRange);
            printer.setFromTo(from, to);
        }
        return PrintReport(pages, printer);
    };
    ASSERT_TRUE(printTo("all.pdf", 0, 0));
    EXPECT_EQ(PdfPages(directory.filePath("all.pdf")), 3);
    EXPECT_TRUE(PdfText(directory.filePath("all.pdf")).contains(QStringLiteral("РЕЗУЛЬТАТЫ ИСПЫТАНИЙ")));

    // Pages 2 to 9 of 3: the last two, numbered as in the whole report.
    ASSERT_TRUE(printTo("range.pdf", 2, 9));
    EXPECT_EQ(PdfPages(directory.filePath("range.pdf")), 2);
    const QString range = PdfText(directory.filePath("range.pdf"));
    EXPECT_TRUE(range.contains(QStringLiteral("Страница 2 из 3"))) << range.toStdString();
    EXPECT_FALSE(range.contains(QStringLiteral("Страница 1 из 3")));

    EXPECT_FALSE(printTo("none.pdf", 5, 6));
}

TEST(ReportExport, PageCountsOfBothScopes) {
    QTemporaryDir directory;
    const QString fileName = directory.filePath("all.pdf");
    Prepared all(samples::Rows({samples::Measure(7, 1), samples::Measure(2, 2), samples::Measure(3, 16)}),
                 AllRecordsReport);
    ASSERT_TRUE(all.ready);
    ASSERT_TRUE(ExportReportPdf(all.report.Pages(), fileName));
    EXPECT_EQ(PdfPages(fileName), 4);
    EXPECT_FALSE(PdfText(fileName).contains(QStringLiteral("Стандартный образец")));

    Prepared standardOnly(samples::Rows({samples::Measure(2, 2)}), CurrentRecordReport);
    ASSERT_TRUE(standardOnly.ready);
    ASSERT_TRUE(ExportReportPdf(standardOnly.report.Pages(), fileName));
    EXPECT_EQ(PdfPages(fileName), 1);
    const QString text = PdfText(fileName);
    EXPECT_TRUE(text.contains(QStringLiteral("Стандартный образец")));
    EXPECT_FALSE(text.contains(QStringLiteral("Приложение")));

    Prepared nothing(samples::Rows({samples::Measure(2, 2)}), AllRecordsReport);
    EXPECT_FALSE(nothing.ready);
    EXPECT_FALSE(ExportReportPdf(nothing.report.Pages(), directory.filePath("none.pdf")));
    EXPECT_FALSE(QFile::exists(directory.filePath("none.pdf")));
}

TEST(ReportExport, JpegWritesOnePicturePerPage) {
    Prepared prepared(samples::Rows({samples::Measure(7, 1)}), CurrentRecordReport);
    ASSERT_TRUE(prepared.ready);
    QTemporaryDir directory;
    QStringList written;
    ASSERT_TRUE(ExportReportJpeg(prepared.report.Pages(), directory.filePath("report.jpg"), &written));
    ASSERT_EQ(written.size(), 3);
    EXPECT_EQ(QDir(directory.path()).entryList(QDir::Files).size(), 3);
    for (int page = 1; page <= 3; ++page) {
        EXPECT_EQ(written[page - 1], directory.filePath(QStringLiteral("report_%1.jpg").arg(page)));
        QImageReader reader(written[page - 1]);
        EXPECT_EQ(reader.format(), QByteArray("jpeg"));
        const QImage image = reader.read();
        EXPECT_GT(image.width(), image.height());  // landscape
        EXPECT_NEAR(image.width(), 297 / 25.4 * ReportJpegDpi, 2);
    }
    EXPECT_FALSE(ExportReportJpeg(prepared.report.Pages(), "/nonexistent/dir/report.jpg"));
}

}  // namespace
}  // namespace zemvalkorta
