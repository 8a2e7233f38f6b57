#include <gtest/gtest.h>

#include <QImage>
#include <QSet>

#include "report/ReportPage.h"
#include "report/ReportRenderer.h"
#include "report/ReportTemplate.h"

namespace zemvalkorta {
namespace {

QStringList NamesOf(const ReportPageTemplate& page) {
    QStringList names;
    for (const auto& field : page.Texts)
        if (!field.Name.isEmpty()) names << field.Name;
    return names;
}

TEST(ReportTemplate, PagesHoldTheFieldsTheBuildFills) {
    ASSERT_EQ(MainReport().Pages.size(), 2u);
    ASSERT_EQ(EasyReport().Pages.size(), 1u);
    const ReportPageTemplate& table = MainReport().Pages[0];
    EXPECT_EQ(table.Name, TablePageName);
    EXPECT_NE(MainReport().Pages[1].Name, TablePageName);
    const QStringList tableNames = {"TableBeginDateTimeMemo",
                                    "TableEndDateTimeMemo",
                                    "VolumeMemo",
                                    "DeltaVolumeMemo",
                                    "TettaMemo",
                                    "AverageTettaMemo",
                                    "PatternNumberMemo",
                                    "PatternAgeMemo",
                                    "PatternDimensionsMemo",
                                    "PatternVolumeMemo",
                                    "PatternPrimaryWeightMemo",
                                    "PatternSaturatedWeightMemo",
                                    "PatternHumidityMemo",
                                    "PatternWaterAbsorbenceMemo",
                                    "PatternDeltaVolumeMemo",
                                    "PatternTettaMemo",
                                    "PatternAverageTettaMemo",
                                    "AverageFrostResistanceMemo"};
    QStringList sortedExpected = tableNames;
    sortedExpected.sort();
    QStringList names = NamesOf(table);
    names.sort();
    EXPECT_EQ(names, sortedExpected);
    EXPECT_FALSE(table.Chart.has_value());
    for (const ReportPageTemplate* graph : {&MainReport().Pages[1], &EasyReport().Pages[0]}) {
        EXPECT_EQ(NamesOf(*graph), (QStringList{"GraphicBeginDateTimeMemo", "GraphicEndDateTimeMemo"}));
        ASSERT_TRUE(graph->Chart.has_value());
        EXPECT_EQ(graph->Chart->Name, QStringLiteral("GraphicChart"));
        EXPECT_EQ(graph->Chart->Box, QRectF(36, 100, 996, 520));
    }
    EXPECT_EQ(EasyReport().Pages[0].Body.height(), 624);
    EXPECT_EQ(MainReport().Pages[1].Body.height(), 628);
}

TEST(ReportTemplate, EveryObjectLiesOnTheBandOrThePageNumberStrip) {
    for (const ReportTemplate* report : {&MainReport(), &EasyReport()})
        for (const auto& page : report->Pages) {
            for (const auto& field : page.Texts) EXPECT_TRUE(page.Body.contains(field.Box)) << field.Name.toStdString();
            for (const auto& rule : page.Rules) {
                EXPECT_TRUE(page.Body.contains(rule.Line.p1()));
                EXPECT_TRUE(page.Body.contains(rule.Line.p2()));
            }
            EXPECT_EQ(page.PageNumber.Box, QRectF(36, 696, 999, 20));
            EXPECT_GT(page.PageNumber.Box.top(), page.Body.bottom());
            // The paper must hold the page-number strip below the band.
            EXPECT_LT(ReportOriginY + page.PageNumber.Box.bottom(), ReportPaperSize().height());
            EXPECT_LT(ReportOriginX + page.Body.right(), ReportPaperSize().width());
        }
}

// Darkness of a pixel of a page picture at template coordinates.
int Grey(const QImage& image, double x, double y, double dpi) {
    const double scale = dpi / TemplateUnitsPerInch;
    return qGray(image.pixel(qRound((x + ReportOriginX) * scale), qRound((y + ReportOriginY) * scale)));
}

TEST(ReportTemplate, TablePageDrawsItsRulingWhereTheTemplateSays) {
    const ReportPage page(MainReport().Pages[0]);
    constexpr double dpi = 96.0;
    const QImage image = RenderReportPageImage(page, 1, 1, dpi);
    EXPECT_LT(Grey(image, 500, 192, dpi), 100);   // top of the box
    EXPECT_LT(Grey(image, 500, 400, dpi), 100);   // bottom of the box
    EXPECT_LT(Grey(image, 448, 300, dpi), 100);   // group split below y 220
    EXPECT_LT(Grey(image, 888, 200, dpi), 100);   // full-height line through the heading
    EXPECT_GT(Grey(image, 1000, 220, dpi), 200);  // no group line over the grade column
    EXPECT_LT(Grey(image, 600, 220, dpi), 100);   // group line over the absorption columns
    EXPECT_GT(Grey(image, 200, 220, dpi), 200);   // no group line over the size column
    EXPECT_GT(Grey(image, 600, 500, dpi), 200);   // below the table
    EXPECT_LT(Grey(image, 500, 696, dpi), 100);   // rule over the page number
}

TEST(ReportTemplate, ChartFieldDrawsItsSeriesInTheirColours) {
    ReportPage page(EasyReport().Pages[0]);
    ReportChart chart;
    chart.Left = ReportAxis{QStringLiteral("V(t),\ncm³"), QStringLiteral("#,##0.00"), 0.025, false};
    chart.Bottom = ReportAxis{QStringLiteral("Время, ч:м"), {}, 60, true};
    chart.Series[0].Colour = QColor(255, 0, 0);
    for (int i = 0; i <= 100; ++i) chart.Series[0].Points.emplace_back(i * 60.0, 10.0);  // flat line mid-height
    page.SetChart(chart);
    page.EmitBody();
    const QImage image = RenderReportPageImage(page, 1, 1, 96.0);
    int red = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor colour = image.pixelColor(x, y);
            if (colour.red() > 200 && colour.green() < 80 && colour.blue() < 80) ++red;
        }
    EXPECT_GT(red, 500);  // a horizontal line across most of the plot
    const ReportPage empty(EasyReport().Pages[0]);
    EXPECT_EQ(RenderReportPageImage(empty, 1, 1, 96.0).pixelColor(500 + 26, 360 + 26), QColor(Qt::white));
}

}  // namespace
}  // namespace zemvalkorta
