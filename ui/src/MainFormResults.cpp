// Showing the current measurement: the two grids, the strip's values and the
// charts; the grid clicks that edit a measurement's parameters.

#include <QHeaderView>
#include <QLabel>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QToolTip>
#include <algorithm>

#include "core/Catalogue.h"
#include "core/MeasureEdits.h"
#include "storage/MainDataModuleUnit.h"
#include "ui/GridSizing.h"
#include "ui/MainForm.h"
#include "ui/ResultGridTexts.h"
#include "ui/SetChannelPropertiesForm.h"
#include "ui/SetParamForm.h"

namespace zemvalkorta {

void TMainForm::ClearGraphics() { ClearFrostGraphics(); }

void TMainForm::ClearStringGrids() {
    for (int row = 0; row < ParamStringGrid->rowCount(); ++row) ParamStringGrid->item(row, 1)->setText(QString());
    for (int row = 1; row < DetailsStringGrid->rowCount(); ++row)
        for (int column = 1; column <= ChannelCount; ++column) DetailsStringGrid->item(row, column)->setText(QString());
    GridPanelResize();
}

void TMainForm::ShowResult(bool selectFirstChannel) {
    CachedDataSet& rows = data_.ResultDataSet();
    if (rows.IsActive() && rows.State() != DataSetState::Browse) return;
    TMeasureResult measure;
    if (!rows.IsActive() || data_.ReadMeasure(measure) != 0) {
        ClearGraphics();
        ClearStringGrids();
        ClearTettaPaintBox();
        return;
    }
    const auto general = ParamGridTexts(measure);
    for (int row = 0; row < ParamGridRowCount; ++row) ParamStringGrid->item(row, 1)->setText(general[std::size_t(row)]);
    for (int channel = 0; channel < ChannelCount; ++channel) {
        const auto texts = DetailsColumnTexts(measure, channel);
        for (int row = 1; row < DetailsGridRowCount; ++row)
            DetailsStringGrid->item(row, channel + 1)->setText(texts[std::size_t(row)]);
    }
    GridPanelResize();
    ShowTettaStrip(measure);
    ClearGraphics();
    DrawFrostGraphics(measure);
    if (selectFirstChannel) {
        for (int channel = 0; channel < ChannelCount; ++channel) {
            if (IsChannelActive(measure.ActiveChannels, channel)) {
                GraphicPageControl->setCurrentIndex(channel);
                break;
            }
        }
    }
}

void TMainForm::DetailsStringGridMouseMove(QPoint position) {
    const int row = DetailsStringGrid->rowAt(position.y());
    const int column = DetailsStringGrid->columnAt(position.x());
    if (row < 1 || column < 0) {
        DetailsStringGrid->setToolTip(QString());
        QToolTip::hideText();
        return;
    }
    const QString text = QStringLiteral("Col: %1; Row: %2").arg(column).arg(row);
    DetailsStringGrid->setToolTip(text);
    const QPoint corner(DetailsStringGrid->columnViewportPosition(column), DetailsStringGrid->rowViewportPosition(row));
    QToolTip::showText(DetailsStringGrid->viewport()->mapToGlobal(corner), text, DetailsStringGrid);
    HintPanel->setText(text);
}

void TMainForm::DetailsStringGridMouseUp(Qt::MouseButton button, QPoint position) {
    if (button != Qt::LeftButton) return;
    const int column = DetailsStringGrid->columnAt(position.x());
    TMeasureResult measure;
    if (column >= 1 && column <= ChannelCount && data_.ReadMeasure(measure) == 0 &&
        CanEditChannelProperties(measure, column - 1)) {
        const auto c = std::size_t(column - 1);
        TSetChannelPropertiesForm form(this);
        form.SetChannelNumber(column);
        form.SetDimensions(measure.GeometryKind, measure.PatternDimensions[c]);
        form.SetPrimaryWeight(measure.PatternPrimaryWeight[c]);
        form.SetSaturatedWeight(measure.PatternSaturatedWeight[c]);
        form.SetPatternAge(QString::fromStdString(PatternAgeText(measure.PatternAge[c])));
        if (form.exec() == QDialog::Accepted) {
            ApplyChannelProperties(measure, column - 1,
                                   {.PatternDimensions = form.GetDimensions(),
                                    .PrimaryWeight = form.GetPrimaryWeight(),
                                    .SaturatedWeight = form.GetSaturatedWeight(),
                                    .PatternAge = form.GetPatternAge().left(PatternAgeMaxLength).toStdString()});
            data_.WriteMeasure(measure);
            data_.ProcessMeasure();
            ShowResult(false);
        }
    }
    FocusMeasureList();
}

void TMainForm::ParamStringGridMouseUp(Qt::MouseButton button) {
    if (button != Qt::LeftButton) return;
    TMeasureResult measure;
    if (data_.ReadMeasure(measure) == 0 && CanEditGeneralParameters(measure)) {
        TSetParamForm form(this);
        const bool modelMode = HasEditableModel(measure);
        form.SetModelEnabled(modelMode);
        if (modelMode)
            form.SetModelCoefficients({measure.ModelCoefficients[0], measure.ModelCoefficients[1],
                                       measure.ModelCoefficients[2], measure.ModelCoefficients[3]});
        form.SetConcreteKind(measure.ConcreteKind);
        form.SetGeometryKind(measure.GeometryKind);
        if (form.exec() == QDialog::Accepted) {
            GeneralParametersEdit edit{.ConcreteKind = form.GetConcreteKind(), .GeometryKind = form.GetGeometryKind()};
            if (modelMode) edit.ModelCoefficients = form.GetModelCoefficients();
            ApplyGeneralParameters(measure, edit);
            data_.WriteMeasure(measure);
            data_.ProcessMeasure();
            ShowResult(false);
        }
    }
    FocusMeasureList();
}

void TMainForm::GridPanelResize() {
    const int panelWidth = GridPanel->width();
    const int labelWidth = ParamStringGrid->columnWidth(0);
    // The value column ends 8 pixels short of the panel's edge, shrinking as well as growing, but never
    // below what its texts need: a narrower panel scrolls the grid instead of cutting them.
    const int valueWidth = std::max({0, panelWidth - (labelWidth + 8), TextColumnWidth(ParamStringGrid, 1)});
    if (ParamStringGrid->columnWidth(1) != valueWidth) ParamStringGrid->setColumnWidth(1, valueWidth);
    for (int column = 1; column <= ChannelCount; ++column)
        DetailsStringGrid->setColumnWidth(column,
                                          std::max(detailsValueWidth_, TextColumnWidth(DetailsStringGrid, column)));
    // The grids span the panel; at a resize of the panel they have not been given its new width yet.
    FitGridHeight(ParamStringGrid, 101, panelWidth);
    FitGridHeight(DetailsStringGrid, 233, panelWidth);
}

}  // namespace zemvalkorta
