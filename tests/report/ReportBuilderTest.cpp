#include <gtest/gtest.h>

#include <stdexcept>

#include "ReportSamples.h"
#include "core/Catalogue.h"
#include "report/ReportBuilder.h"
#include "report/ReportTemplate.h"

namespace zemvalkorta {
namespace {

const FormatSettings Comma{",", " "};

struct Job {
    explicit Job(std::vector<std::optional<TMeasureResult>> list, int current = 0)
        : rows(std::move(list), current),
          job(rows, ReportOptions{{QColor(Qt::blue), QColor(Qt::red), QColor(Qt::magenta)}, Comma}) {}
    bool Build(int scope) { return job.Build(report, scope); }
    QStringList Headings() const {
        QStringList headings;
        for (const auto& page : report.Pages()) {
            const ReportTextField* label = nullptr;
            for (const auto& field : page.Layout().Texts)
                if (field.Name.isEmpty() && field.Box.y() < 40) label = &field;
            headings << (label && !label->Lines.isEmpty() ? label->Lines.back() : QString());
        }
        return headings;
    }
    MeasureListRows rows;
    ReportJob job;
    CompositeReport report;
};

TEST(ReportBuilder, StandardInChannelOneGivesTableGraphAndStandardPage) {
    Job job(samples::Rows({samples::Measure(7, 1)}));
    ASSERT_TRUE(job.Build(CurrentRecordReport));
    ASSERT_EQ(job.report.Pages().size(), 3u);
    EXPECT_EQ(job.Headings(), (QStringList{"к протоколу испытания № _______", "к протоколу испытания № ________",
                                           "Стандартный образец"}));
    const ReportPage& table = job.report.Pages()[0];
    EXPECT_EQ(table.Lines("PatternNumberMemo"), (QStringList{"2", "", "3", ""}));
    EXPECT_EQ(table.Lines("PatternDimensionsMemo"),
              (QStringList{"100,0x 100,0x 100,0", "", "100,0x 100,0x 100,0", ""}));
    EXPECT_EQ(table.Lines("PatternDeltaVolumeMemo"), (QStringList{"0,25", "", "0,38", ""}));
    EXPECT_EQ(table.Lines("PatternTettaMemo"), (QStringList{"0,25", "", "0,38", ""}));
    EXPECT_EQ(table.Lines("PatternAverageTettaMemo"), QStringList{"0,25"});
    EXPECT_EQ(table.Lines("VolumeMemo"), QStringList{"cm³"});
    EXPECT_EQ(table.Lines("DeltaVolumeMemo"), QStringList{"ΔV, cm³"});
    EXPECT_EQ(table.Lines("TettaMemo"), QStringList{"Θx10³"});
    EXPECT_EQ(table.Lines("AverageTettaMemo"), QStringList{"<Θ>x10³"});
    EXPECT_EQ(table.Lines("TableBeginDateTimeMemo"), QStringList{"начало  15.03.2023  12:10"});
    EXPECT_EQ(table.Lines("TableEndDateTimeMemo"), QStringList{"окончание  15.03.2023  14:10"});

    const ReportPage& graph = job.report.Pages()[1];
    ASSERT_TRUE(graph.Chart().has_value());
    const ReportChart& chart = *graph.Chart();
    EXPECT_TRUE(chart.Series[0].Points.empty());  // the standard is not drawn here
    EXPECT_FALSE(chart.Series[1].Points.empty());
    EXPECT_FALSE(chart.Series[2].Points.empty());
    EXPECT_EQ(chart.Series[1].Colour, QColor(Qt::red));
    EXPECT_EQ(chart.Series[2].Colour, QColor(Qt::magenta));
    EXPECT_TRUE(chart.Bottom.Time);
    EXPECT_TRUE(chart.Left.Title.contains(QStringLiteral("ΔV(t)")));
    // The cut at the first sample at 0 degC: T runs 20 .. -5 over 240 samples.
    EXPECT_GE(chart.Series[1].Points.front().x(), 30.0 * 190);

    const ReportPage& standard = job.report.Pages()[2];
    ASSERT_TRUE(standard.Chart().has_value());
    EXPECT_EQ(standard.Chart()->Series[0].Points.size(), 240u);
    EXPECT_EQ(standard.Chart()->Series[0].Colour, QColor(Qt::blue));
    EXPECT_TRUE(standard.Chart()->Series[1].Points.empty());  // not left over from the graph page
    EXPECT_EQ(standard.Lines("GraphicBeginDateTimeMemo"), QStringList{"начало  15.03.2023  12:10"});
}

TEST(ReportBuilder, ModelReferenceAndStandardOnlyMeasurements) {
    Job model(samples::Rows({samples::Measure(5, 16)}));
    ASSERT_TRUE(model.Build(CurrentRecordReport));
    ASSERT_EQ(model.report.Pages().size(), 2u);
    EXPECT_EQ(model.report.Pages()[0].Lines("PatternNumberMemo"), (QStringList{"1", "", "3", ""}));

    Job standardOnly(samples::Rows({samples::Measure(2, 2)}));
    ASSERT_TRUE(standardOnly.Build(CurrentRecordReport));
    EXPECT_EQ(standardOnly.Headings(), QStringList{"Стандартный образец"});

    Job unreadable({std::nullopt});
    EXPECT_FALSE(unreadable.Build(CurrentRecordReport));
    EXPECT_TRUE(unreadable.report.Pages().empty());
}

TEST(ReportBuilder, AllRecordsSkipStandardOnlyRowsAndRestoreTheCurrentRow) {
    TMeasureResult first = samples::Measure(7, 1);
    TMeasureResult second = samples::Measure(2, 2);
    TMeasureResult third = samples::Measure(1, 16);
    third.MeasureDate += 1.0;
    TMeasureResult fourth = samples::Measure(6, 2);
    fourth.MeasureDate += 2.0;
    Job job(samples::Rows({first, second, third, fourth}), 1);
    ASSERT_TRUE(job.Build(AllRecordsReport));
    ASSERT_EQ(job.report.Pages().size(), 6u);
    const QStringList expectedDates = {"начало  15.03.2023  12:10", "начало  15.03.2023  12:10",
                                       "начало  16.03.2023  12:10", "начало  16.03.2023  12:10",
                                       "начало  17.03.2023  12:10", "начало  17.03.2023  12:10"};
    for (std::size_t page = 0; page < 6; ++page) {
        const QString field = page % 2 == 0 ? "TableBeginDateTimeMemo" : "GraphicBeginDateTimeMemo";
        EXPECT_EQ(job.report.Pages()[page].Lines(field).value(0), expectedDates[static_cast<qsizetype>(page)]) << page;
    }
    EXPECT_EQ(job.report.Pages()[4].Lines("PatternNumberMemo"), (QStringList{"3", ""}));
    EXPECT_EQ(job.Headings().count("Стандартный образец"), 0);
    EXPECT_EQ(job.rows.Current(), 1);
}

TEST(ReportBuilder, AllRecordsWithoutConcreteSpecimenPrepareNothing) {
    Job job(samples::Rows({samples::Measure(2, 2), samples::Measure(4, 4)}), 1);
    EXPECT_FALSE(job.Build(AllRecordsReport));
    EXPECT_TRUE(job.report.Pages().empty());
    EXPECT_EQ(job.rows.Current(), 1);
}

TEST(ReportBuilder, SpecimenWithoutMassesLeavesItsMassLinesEmpty) {
    TMeasureResult measure = samples::Measure(3, 16);
    measure.PatternPrimaryWeight = {2100, 0, 0};
    measure.PatternSaturatedWeight = {2200, 2300, 0};
    SetPatternAgeText(measure.PatternAge[0], "28 (норм.)");
    Job job(samples::Rows({measure}));
    ASSERT_TRUE(job.Build(CurrentRecordReport));
    const ReportPage& table = job.report.Pages()[0];
    EXPECT_EQ(table.Lines("PatternPrimaryWeightMemo"), (QStringList{"2100,0", "", "", ""}));
    EXPECT_EQ(table.Lines("PatternSaturatedWeightMemo"), (QStringList{"2200,0", "", "2300,0", ""}));
    EXPECT_EQ(table.Lines("PatternHumidityMemo"), (QStringList{"4,8", "", "", ""}));
    EXPECT_EQ(table.Lines("PatternWaterAbsorbenceMemo"), (QStringList{"10,0", "", "", ""}));
    EXPECT_EQ(table.Lines("PatternAgeMemo"), (QStringList{"28 (норм.)", "", "", ""}));
    EXPECT_EQ(table.Lines("PatternVolumeMemo"), (QStringList{"1000,0", "", "1000,0", ""}));
}

TEST(ReportBuilder, MissingCurvesGiveAnEmptyGraphAndUnknownFieldsThrow) {
    TMeasureResult broken = samples::Measure(3, 16);
    broken.Curves.clear();  // curves missing: the graph is empty, not a crash
    Job job(samples::Rows({broken, samples::Measure(3, 16)}), 1);
    ASSERT_TRUE(job.Build(AllRecordsReport));
    EXPECT_EQ(job.report.Pages().size(), 4u);
    EXPECT_TRUE(job.report.Pages()[1].Chart()->Series[0].Points.empty());

    ReportPage page(MainReport().Pages[0]);
    EXPECT_THROW(page.SetText("NoSuchMemo", "x"), std::out_of_range);
    EXPECT_THROW(page.SetChart(ReportChart{}), std::out_of_range);
}

TEST(ReportBuilder, CancelledPreparationLeavesNoPages) {
    Job job(samples::Rows({samples::Measure(7, 1), samples::Measure(3, 16)}));
    job.job.Build(job.report, AllRecordsReport);
    ASSERT_EQ(job.report.Pages().size(), 4u);
    std::size_t calls = 0;
    EXPECT_FALSE(job.job.Build(job.report, AllRecordsReport, [&](std::size_t done, std::size_t total) {
        ++calls;
        EXPECT_EQ(total, 4u);
        return done < 2;
    }));
    EXPECT_EQ(calls, 2u);
    EXPECT_TRUE(job.report.Pages().empty());
}

}  // namespace
}  // namespace zemvalkorta
