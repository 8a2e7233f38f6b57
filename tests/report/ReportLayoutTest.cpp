// Every page kind of the report, as the lab files it: written as PDF at two
// resolutions, printed to a PDF printer and saved as JPEG at two
// resolutions, then read back. The PDF's text layer gives each word and its
// box; the words must lie on the paper, clear of the ruling and the chart
// frame, be inked whole on pictures of the page, and stand at the same place
// on every output.

#include <gtest/gtest.h>

#include <QImage>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <map>

#include "ReportPageCheck.h"
#include "ReportSamples.h"
#include "report/ReportBuilder.h"
#include "report/ReportRenderer.h"

namespace zemvalkorta {
namespace {

using testing::PdfWord;

const FormatSettings Comma{",", "\u00a0"};

struct Case {
    const char* Name;
    std::int32_t ActiveChannels;
    std::int32_t StandardPattern;
    std::vector<QString> PageHeads;  // a word that only that page kind shows
};

// 16 is the mathematical model; 1, 2, 4 a standard specimen in that channel.
const std::vector<Case> Cases = {
    {"one channel, model", 1, 16, {"№1", "№2"}},
    {"two channels, model", 6, 16, {"№1", "№2"}},
    {"three channels, standard in 1", 7, 1, {"№1", "№2", "Стандартный"}},
    {"three channels, model", 7, 16, {"№1", "№2"}},
    {"standard only", 4, 4, {"Стандартный"}},
};

struct Report {
    explicit Report(const Case& c, const FormatSettings& separators = Comma)
        : rows(samples::Rows({samples::Measure(c.ActiveChannels, c.StandardPattern, 600)})),
          job(rows, ReportOptions{{QColor(Qt::blue), QColor(Qt::red), QColor(Qt::magenta)}, separators}) {
        ready = job.Build(report, CurrentRecordReport);
    }
    MeasureListRows rows;
    ReportJob job;
    CompositeReport report;
    bool ready = false;
};

bool IsNumber(const QString& text) {
    static const QRegularExpression number(QStringLiteral("^-?\\d+([,.]\\d+)?$"));
    return number.match(text).hasMatch();
}

bool IsTime(const QString& text) {
    static const QRegularExpression time(QStringLiteral("^\\d+:\\d\\d$"));
    return time.match(text).hasMatch();
}

std::vector<PdfWord> Inside(const std::vector<PdfWord>& words, const QRectF& area) {
    std::vector<PdfWord> found;
    for (const PdfWord& word : words)
        if (area.contains(word.Box.center())) found.push_back(word);
    return found;
}

// The chart's labels: whole multiples of one step, printed exactly, and with
// at least the free room between neighbours that the label rule keeps.
void CheckChartLabels(const std::vector<PdfWord>& words, const QRectF& frame, const QString& where) {
    std::vector<PdfWord> left, bottom;
    const std::vector<PdfWord> chart = Inside(words, frame);
    for (const PdfWord& word : chart) {
        if (IsTime(word.Text)) bottom.push_back(word);
        if (IsNumber(word.Text) && word.Box.center().x() < frame.left() + 140) left.push_back(word);
    }
    // Two labels may be all there is: a span of 0.1 at a step of 0.05.
    ASSERT_GE(left.size(), 2u) << where.toStdString();
    ASSERT_GE(bottom.size(), 3u) << where.toStdString();
    std::sort(left.begin(), left.end(), [](const PdfWord& a, const PdfWord& b) { return a.Box.top() > b.Box.top(); });
    std::vector<double> values;
    for (const PdfWord& word : left) {
        EXPECT_TRUE(word.Text.contains(',')) << where.toStdString() << ": " << word.Text.toStdString();
        values.push_back(QString(word.Text).replace(',', '.').toDouble());
    }
    const double step = values[1] - values[0];
    ASSERT_GT(step, 0) << where.toStdString();
    const int decimals = static_cast<int>(left[0].Text.size() - left[0].Text.indexOf(',') - 1);
    const double quantum = std::pow(10.0, -decimals);
    EXPECT_NEAR(step / quantum, std::round(step / quantum), 1e-6) << where.toStdString() << " step " << step;
    for (std::size_t i = 0; i < values.size(); ++i) {
        EXPECT_NEAR(values[i] / step, std::round(values[i] / step), 1e-6) << where.toStdString() << " " << values[i];
        if (i > 0) {
            EXPECT_NEAR(values[i] - values[i - 1], step, quantum / 2) << where.toStdString();
            EXPECT_GE(left[i - 1].Box.top() - left[i].Box.bottom(), 19.5) << where.toStdString();
        }
    }
    std::sort(bottom.begin(), bottom.end(),
              [](const PdfWord& a, const PdfWord& b) { return a.Box.left() < b.Box.left(); });
    for (std::size_t i = 1; i < bottom.size(); ++i)
        EXPECT_GE(bottom[i].Box.left() - bottom[i - 1].Box.right(), 19.0)
            << where.toStdString() << " " << bottom[i].Text.toStdString();
    const auto titled = [&chart](const char* text) {
        return std::any_of(chart.begin(), chart.end(),
                           [text](const PdfWord& word) { return word.Text == QString::fromUtf8(text); });
    };
    EXPECT_TRUE(titled("Время,") && titled("ч:м")) << where.toStdString();
    EXPECT_TRUE(titled("cm³")) << where.toStdString();
}

std::map<int, std::vector<PdfWord>> ByPage(const std::vector<PdfWord>& words) {
    std::map<int, std::vector<PdfWord>> pages;
    for (const PdfWord& word : words) pages[word.Page].push_back(word);
    return pages;
}

// Same words in the same places: the layout does not depend on the output.
void ExpectSameLayout(const std::vector<PdfWord>& expected, const std::vector<PdfWord>& actual, const QString& what) {
    ASSERT_EQ(expected.size(), actual.size()) << what.toStdString();
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(expected[i].Text, actual[i].Text) << what.toStdString();
        const QPointF offset = expected[i].Box.topLeft() - actual[i].Box.topLeft();
        EXPECT_LT(std::hypot(offset.x(), offset.y()), 1.0)
            << what.toStdString() << " " << expected[i].Text.toStdString();
        EXPECT_NEAR(expected[i].Box.width(), actual[i].Box.width(), 1.0) << what.toStdString();
    }
}

class ReportLayout : public ::testing::TestWithParam<Case> {};

TEST_P(ReportLayout, EveryWordOnEveryOutputIsWholeAndInPlace) {
    const Case& c = GetParam();
    Report built(c);
    ASSERT_TRUE(built.ready);
    const std::vector<ReportPage>& pages = built.report.Pages();
    ASSERT_EQ(pages.size(), c.PageHeads.size());
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());

    const QString coarse = folder.filePath("coarse.pdf");
    const QString fine = folder.filePath("fine.pdf");
    ASSERT_TRUE(ExportReportPdf(pages, coarse, {}, 150));
    ASSERT_TRUE(ExportReportPdf(pages, fine, {}, 1200));
    int pageCount = 0;
    const std::vector<PdfWord> words = testing::PdfWords(fine, &pageCount);
    ASSERT_EQ(pageCount, static_cast<int>(pages.size())) << "pdftotext (poppler-utils) must be installed";
    ExpectSameLayout(words, testing::PdfWords(coarse), "PDF at 150 and 1200 dpi");

    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    const QString printed = folder.filePath("printed.pdf");
    printer.setOutputFileName(printed);
    printer.setPageLayout(ReportPageLayout());
    ASSERT_TRUE(PrintReport(pages, printer));
    ExpectSameLayout(words, testing::PdfWords(printed), "printed at " + QString::number(printer.resolution()));

    const auto byPage = ByPage(words);
    for (int number = 1; number <= pageCount; ++number) {
        const ReportPage& page = pages[static_cast<std::size_t>(number - 1)];
        const QString where = QStringLiteral("%1, page %2").arg(c.Name).arg(number);
        ASSERT_TRUE(byPage.count(number)) << where.toStdString();
        const std::vector<PdfWord>& onPage = byPage.at(number);
        EXPECT_TRUE(std::any_of(onPage.begin(), onPage.end(), [&](const PdfWord& w) {
            return w.Text == c.PageHeads[number - 1];
        })) << where.toStdString();
        const QStringList placement = testing::PlacementFaults(page, onPage);
        EXPECT_TRUE(placement.isEmpty()) << where.toStdString() << "\n" << placement.join('\n').toStdString();
        for (int dpi : {72, 200}) {
            const QStringList ink = testing::InkFaults(onPage, testing::PdfPagePicture(fine, number, dpi), dpi);
            EXPECT_TRUE(ink.isEmpty()) << where.toStdString() << " PDF at " << dpi << " dpi\n"
                                       << ink.join('\n').toStdString();
        }
        if (page.Layout().Chart) CheckChartLabels(onPage, testing::ChartFrameOnPaper(page), where);
        for (const PdfWord& word : onPage)
            EXPECT_FALSE(QRegularExpression(QStringLiteral("^-?\\d+\\.\\d+$")).match(word.Text).hasMatch())
                << where.toStdString() << ": a full stop in " << word.Text.toStdString();
    }

    // The pictures show the same words at the same places, inked whole.
    for (double dpi : {96.0, 200.0}) {
        QStringList written;
        ASSERT_TRUE(ExportReportJpeg(pages, folder.filePath(QStringLiteral("page%1.jpg").arg(dpi)), &written, {}, dpi));
        ASSERT_EQ(written.size(), pageCount);
        for (int number = 1; number <= pageCount; ++number) {
            const QImage picture(written[number - 1]);
            ASSERT_EQ(picture.size(), (ReportPaperSize() * (dpi / TemplateUnitsPerInch)).toSize());
            const QStringList ink = testing::InkFaults(byPage.at(number), picture, dpi);
            EXPECT_TRUE(ink.isEmpty()) << c.Name << " JPEG at " << dpi << " dpi, page " << number << "\n"
                                       << ink.join('\n').toStdString();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(PageKinds, ReportLayout, ::testing::ValuesIn(Cases), [](const auto& info) {
    std::string name;
    for (const char* c = info.param.Name; *c; ++c)
        if (std::isalnum(static_cast<unsigned char>(*c))) name += *c;
    return name;
});

TEST(ReportLayoutSeparators, ChartLabelsFollowTheReportsSeparator) {
    Report point(Cases[2], FormatSettings{".", ","});
    Report comma(Cases[2], Comma);
    ASSERT_TRUE(point.ready && comma.ready);
    QTemporaryDir folder;
    const QString pointFile = folder.filePath("point.pdf");
    const QString commaFile = folder.filePath("comma.pdf");
    ASSERT_TRUE(ExportReportPdf(point.report.Pages(), pointFile));
    ASSERT_TRUE(ExportReportPdf(comma.report.Pages(), commaFile));
    const auto labels = [](const QString& file, QChar separator) {
        int count = 0;
        for (const PdfWord& word : testing::PdfWords(file))
            if (IsNumber(word.Text) && word.Text.contains(separator)) ++count;
        return count;
    };
    EXPECT_GT(labels(pointFile, '.'), 10);
    EXPECT_EQ(labels(pointFile, ','), 0);
    EXPECT_GT(labels(commaFile, ','), 10);
    EXPECT_EQ(labels(commaFile, '.'), 0);
}

}  // namespace
}  // namespace zemvalkorta
