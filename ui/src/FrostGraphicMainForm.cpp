// The main window's graphs and theta strip: the three channel charts, the
// off-screen report chart, the strip, and the stretch, compress and undo buttons.

#include <QLabel>
#include <QLayout>
#include <QTabWidget>
#include <QToolButton>

#include "core/FrostGraphicScaling.h"
#include "core/FrostGraphicTetta.h"
#include "storage/MainDataModuleUnit.h"
#include "ui/ChannelChart.h"
#include "ui/ChannelChartView.h"
#include "ui/CommandErrors.h"
#include "ui/FrostGraphic.h"
#include "ui/MainForm.h"
#include "ui/TettaPaintBox.h"

namespace zemvalkorta {

void TMainForm::CreateFrostGraphics() {
    for (int channel = 0; channel < ChannelCount; ++channel) {
        auto* view = new ChannelChartView(ChannelPages[std::size_t(channel)]);
        ChannelPages[std::size_t(channel)]->layout()->addWidget(view);
        ChannelChartViews[std::size_t(channel)] = view;
        connect(view, &ChannelChartView::PointerReadout, HintPanel, &QLabel::setText);
    }
    reportChart_ = std::make_unique<ChannelChart>(ChannelChartStyle::Report, ReportChartSeriesCount);

    TettaStrip = new TettaPaintBox(TettaStripArea);
    TettaStrip->setFont(font());
    TettaStripArea->layout()->addWidget(TettaStrip);

    for (const auto& [button, scaling] :
         {std::pair{StretchButton, CurveScaling::Stretch}, std::pair{CompressButton, CurveScaling::Compress},
          std::pair{UndoScaleButton, CurveScaling::Reset}})
        ConnectCommand(button, &QToolButton::clicked, this,
                       [this, scaling = scaling] { EditGraphicSpeedButtonClick(scaling); });
}

GraphicColours TMainForm::CurrentGraphicColours() const {
    GraphicColours colours;
    colours.Standard = ToQColor(currentSettings_.StandartSeriesColor);
    for (int channel = 0; channel < ChannelCount; ++channel)
        colours.Channels[std::size_t(channel)] = ToQColor(currentSettings_.SeriesColor[std::size_t(channel)]);
    return colours;
}

void TMainForm::ClearFrostGraphics() {
    for (ChannelChartView* view : ChannelChartViews)
        if (view) view->Chart()->ClearGraphics();
}

void TMainForm::ClearReportGraphics() {
    if (reportChart_) reportChart_->ClearGraphics();
}

void TMainForm::DrawFrostGraphics(const TMeasureResult& measure) {
    std::array<ChannelChart*, ChannelCount> charts{};
    for (int channel = 0; channel < ChannelCount; ++channel)
        if (ChannelChartViews[std::size_t(channel)])
            charts[std::size_t(channel)] = ChannelChartViews[std::size_t(channel)]->Chart();
    DrawMeasureGraphics(charts, measure, currentSettings_.FrostGraphicType, currentSettings_.ShowStandartPattern,
                        CurrentGraphicColours());
}

void TMainForm::ShowTettaStrip(const TMeasureResult& measure) {
    if (!TettaStrip) return;
    ClearTettaPaintBox();
    const TettaStripValues values = TettaStripValuesOf(measure);
    tettaStripHasData_ = values.HasData;
    TettaStrip->ShowTetta(values, CurrentGraphicColours().Channels);
}

void TMainForm::ClearTettaPaintBox() {
    tettaStripHasData_ = false;
    if (TettaStrip) TettaStrip->ClearTettaPaintBox();
}

void TMainForm::EditGraphicSpeedButtonClick(CurveScaling scaling) {
    ScaleReferenceCurve(
        scaling, GraphicPageControl->currentIndex(),
        [this](TMeasureResult& measure) { return data_.ReadMeasure(measure) == 0; },
        [this](TMeasureResult& measure) {
            data_.WriteMeasure(measure);
            data_.ProcessMeasure();
            ShowResult(false);
        });
}

}  // namespace zemvalkorta
