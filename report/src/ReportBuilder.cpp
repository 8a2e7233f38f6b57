#include "report/ReportBuilder.h"

#include "core/Catalogue.h"
#include "core/FrostGraphicPoints.h"
#include "report/ReportTemplate.h"
#include "report/ReportTexts.h"

namespace zemvalkorta {

namespace {

const QStringList ValueFields = {
    QStringLiteral("PatternNumberMemo"),        QStringLiteral("PatternAgeMemo"),
    QStringLiteral("PatternDimensionsMemo"),    QStringLiteral("PatternVolumeMemo"),
    QStringLiteral("PatternPrimaryWeightMemo"), QStringLiteral("PatternSaturatedWeightMemo"),
    QStringLiteral("PatternHumidityMemo"),      QStringLiteral("PatternWaterAbsorbenceMemo"),
    QStringLiteral("PatternDeltaVolumeMemo"),   QStringLiteral("PatternTettaMemo"),
    QStringLiteral("PatternAverageTettaMemo"),  QStringLiteral("AverageFrostResistanceMemo"),
};

// Restores the list even when a page build throws.
class BulkUpdateGuard {
public:
    explicit BulkUpdateGuard(ReportRows& rows) : rows_(rows) {
        rows_.BeginBulkUpdate();
        rows_.SaveRecNo();
    }
    ~BulkUpdateGuard() {
        rows_.EndBulkUpdate();
        rows_.RestoreRecNo();
    }
    BulkUpdateGuard(const BulkUpdateGuard&) = delete;
    BulkUpdateGuard& operator=(const BulkUpdateGuard&) = delete;

private:
    ReportRows& rows_;
};

QString Fixed(const char* pattern, double value, const FormatSettings& separators) {
    return QString::fromStdString(FormatFloat(pattern, value, separators));
}

void SetAxes(ReportChart& chart, int graphType) {
    const FrostGraphicAxes& axes = AxesOfGraphicType(graphType);
    chart.Left = ReportAxis{QString::fromStdString(axes.LeftTitle), QString::fromStdString(axes.LeftFormat),
                            axes.LeftStep, false};
    chart.Bottom = ReportAxis{QString::fromStdString(axes.BottomTitle), QStringLiteral("#,##0.0"), axes.BottomStep,
                              axes.BottomIsTime};
}

void DrawPlans(ReportChart& chart, const TMeasureResult& measure, const FrostSeriesPlanList& plans,
               const std::array<QColor, ChannelCount>& colours) {
    for (const FrostSeriesPlan& plan : plans) {
        SetAxes(chart, plan.GraphType);
        ReportSeries& series = chart.Series.at(static_cast<std::size_t>(plan.Series));
        series.Colour = colours.at(static_cast<std::size_t>(plan.Channel));
        for (const GraphicPoint& point : PointsOfPlan(measure, plan)) series.Points.emplace_back(point.X, point.Y);
    }
}

// A graph page's body: the measurement's first and last sample times over the chart of the plans.
void EmitGraphBody(ReportPage& page, ReportChart& chart, const TMeasureResult& measure,
                   const FrostSeriesPlanList& plans, const std::array<QColor, ChannelCount>& colours) {
    page.SetText(QStringLiteral("GraphicBeginDateTimeMemo"), BeginDateTimeText(measure));
    page.SetText(QStringLiteral("GraphicEndDateTimeMemo"), EndDateTimeText(measure));
    ClearReportGraphics(chart);
    DrawPlans(chart, measure, plans, colours);
    page.SetChart(chart);
    page.EmitBody();
}

}  // namespace

ReportJob::ReportJob(ReportRows& rows, ReportOptions options) : rows_(rows), options_(std::move(options)) {
    reportChart_.Separators = options_.Separators;
}

bool ReportJob::Build(CompositeReport& report, int reportScope, const ReportProgress& progress) {
    reportScope_ = reportScope == CurrentRecordReport ? CurrentRecordReport : AllRecordsReport;
    BulkUpdateGuard guard(rows_);
    report.Clear();
    const auto main = [this](ReportPage& page) { MainReportManualBuild(page); };
    const auto easy = [this](ReportPage& page) { EasyReportManualBuild(page); };
    TMeasureResult measure;
    if (reportScope_ == CurrentRecordReport) {
        if (rows_.ReadMeasure(measure)) {
            if (HasConcreteSpecimen(measure)) report.Add(MainReport(), main);
            if (HasStandardSpecimen(measure)) report.Add(EasyReport(), easy);
        }
        return report.Prepare(progress);
    }
    const int count = rows_.GetRecordCount();
    rows_.First();
    for (int row = 0; row < count; ++row) {
        if (rows_.ReadMeasure(measure) && HasConcreteSpecimen(measure)) report.Add(MainReport(), main);
        rows_.Next();
    }
    if (report.TemplateCount() == 0) return false;
    rows_.First();
    return report.Prepare(progress);
}

void ReportJob::MainReportManualBuild(ReportPage& page) {
    if (page.Name() == TablePageName)
        BuildTablePage(page);
    else
        BuildGraphPage(page);
}

void ReportJob::BuildTablePage(ReportPage& page) {
    tableFound_ = false;
    TMeasureResult measure;
    while (!(rows_.ReadMeasure(measure) && HasConcreteSpecimen(measure))) {
        if (rows_.Eof()) return;
        rows_.Next();
    }
    tableFound_ = true;
    page.SetText(QStringLiteral("TableBeginDateTimeMemo"), BeginDateTimeText(measure));
    page.SetText(QStringLiteral("TableEndDateTimeMemo"), EndDateTimeText(measure));
    page.SetText(QStringLiteral("VolumeMemo"), QStringLiteral("cm³"));
    page.SetText(QStringLiteral("DeltaVolumeMemo"), QStringLiteral("ΔV, cm³"));
    page.SetText(QStringLiteral("TettaMemo"), QStringLiteral("Θx10³"));
    page.SetText(QStringLiteral("AverageTettaMemo"), QStringLiteral("<Θ>x10³"));
    for (const QString& name : ValueFields) page.ClearText(name);
    FillTable(page, measure);
    page.EmitBody();
}

void ReportJob::FillTable(ReportPage& page, const TMeasureResult& measure) {
    const FormatSettings& separators = options_.Separators;
    for (int channel = 0; channel < ChannelCount; ++channel) {
        if (RoleOfChannel(measure, channel) != ChannelRole::Concrete) continue;
        const auto index = static_cast<std::size_t>(channel);
        const double primary = measure.PatternPrimaryWeight[index];
        const double saturated = measure.PatternSaturatedWeight[index];
        const double volume = measure.PatternVolume[index];
        const QString lines[] = {
            QString::number(channel + 1),
            QString::fromStdString(PatternAgeText(measure.PatternAge[index])),
            DimensionsText(measure.GeometryKind, measure.PatternDimensions[index], separators),
            Fixed("0.0", volume, separators),
            WeightText(primary, separators),
            WeightText(saturated, separators),
            AbsorptionByMassText(primary, saturated, separators),
            AbsorptionByVolumeText(primary, saturated, volume, separators),
            Fixed("0.00", measure.DeltaVolume[index], separators),
            Fixed("0.00", measure.Tetta[index] * 1000.0, separators),
        };
        for (int field = 0; field < 10; ++field) {
            page.AddLine(ValueFields[field], lines[field]);
            page.AddLine(ValueFields[field], QString());
        }
    }
    page.AddLine(QStringLiteral("PatternAverageTettaMemo"), Fixed("0.00", measure.AverageTetta * 1000.0, separators));
    for (const QString& line : AverageFrostResistanceLines(measure))
        page.AddLine(QStringLiteral("AverageFrostResistanceMemo"), line);
}

void ReportJob::BuildGraphPage(ReportPage& page) {
    TMeasureResult measure;
    if (tableFound_ && rows_.ReadMeasure(measure))
        EmitGraphBody(page, reportChart_, measure, PlanReportDifferenceGraphic(measure), options_.ChannelColours);
    tableFound_ = false;
    if (reportScope_ == AllRecordsReport) rows_.Next();
}

void ReportJob::EasyReportManualBuild(ReportPage& page) {
    TMeasureResult measure;
    if (rows_.ReadMeasure(measure))
        EmitGraphBody(page, reportChart_, measure, PlanReportStandardGraphic(measure), options_.ChannelColours);
}

}  // namespace zemvalkorta
