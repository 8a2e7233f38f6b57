// The enabling rules, the project commands and closing the window.

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMouseEvent>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QToolButton>

#include "device/USB.h"
#include "storage/MainDataModuleUnit.h"
#include "ui/AboutForm.h"
#include "ui/BlobTextEdit.h"
#include "ui/CommandErrors.h"
#include "ui/FileDialogs.h"
#include "ui/MainForm.h"
#include "ui/MessageBoxes.h"
#include "ui/RecordNavigator.h"
#include "ui/SetColorsForm.h"
#include "ui/ViewFTableForm.h"

namespace zemvalkorta {

ProjectCondition TMainForm::Condition() const {
    return {Data.IsProjectOpen(), Data.IsModified(), !Data.IsResultEmpty()};
}

void TMainForm::UpdateActions() {
    const ProjectCondition state = Condition();
    SaveProjectAction->setEnabled(state.Open && state.Changed);
    CloseProjectAction->setEnabled(state.Open);
    CancelChangesAction->setEnabled(state.Open && state.Changed);
    DeleteAllAction->setEnabled(state.Open && state.Rows);
    ReadFromDeviceAction->setEnabled(state.Open);
    PrintReportAction->setEnabled(state.Open && state.Rows);
    ExportAction->setEnabled(state.Open && state.Rows);
    for (QAction* action : GraphicTypeActions) action->setEnabled(state.Open && state.Rows);
    const bool standardEnabled = state.Open && state.Rows && GraphicTypeActions[0]->isChecked();
    ShowStandartPatternAction->setEnabled(standardEnabled);
    StandartPatternCheckBox->setEnabled(standardEnabled);
    const bool scaling = standardEnabled && ShowStandartPatternAction->isChecked();
    for (QToolButton* button : {UndoScaleButton, StretchButton, CompressButton}) button->setEnabled(scaling);
    CommentMemo->setEnabled(state.Open && state.Rows);
    Navigator->UpdateButtons();
}

bool TMainForm::event(QEvent* event) {
    // Long hints go to panel 0 instead of replacing the whole status bar.
    if (event->type() == QEvent::StatusTip) {
        HandleHint(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return QMainWindow::event(event);
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == statusBar() && event->type() == QEvent::Resize) StatusBarResize();
    if (watched == GridPanel && event->type() == QEvent::Resize) GridPanelResize();
    // A click on a grid opens its editing dialog, which writes the row.
    RunCommand(this, [&] {
        if (watched == ParamStringGrid->viewport() && event->type() == QEvent::MouseButtonRelease)
            ParamStringGridMouseUp(static_cast<QMouseEvent*>(event)->button());
        if (watched == DetailsStringGrid->viewport()) {
            if (event->type() == QEvent::MouseButtonRelease) {
                auto* mouse = static_cast<QMouseEvent*>(event);
                DetailsStringGridMouseUp(mouse->button(), mouse->position().toPoint());
            } else if (event->type() == QEvent::MouseMove) {
                DetailsStringGridMouseMove(static_cast<QMouseEvent*>(event)->position().toPoint());
            }
        }
    });
    return QMainWindow::eventFilter(watched, event);
}

void TMainForm::PostEditors() {
    DescriptionMemo->WritePending();
    CommentMemo->WritePending();
}

void TMainForm::FocusMeasureList() {
    if (MainDBGrid->isVisible() && MainDBGrid->isEnabled()) MainDBGrid->setFocus();
}

bool TMainForm::ProjectCloseQuery() {
    if (!Data.IsModified()) return true;
    const QString question =
        QStringLiteral("Сохранить изменеия в проекте\n") + QFileInfo(ProjectFileName).fileName() + QStringLiteral(" ?");
    switch (ShowMessage(this, question, MessageIcon::Warning, MessageButtons::YesNoCancel)) {
        case MessageAnswer::Cancel:
            return false;
        case MessageAnswer::Yes:
            Data.SaveChanges();
            Data.CloseProject();
            return true;
        case MessageAnswer::No:
            Data.CancelChanges();
            Data.CloseProject();
            return true;
        case MessageAnswer::Ok:
            break;
    }
    return true;
}

void TMainForm::FillProjectPages(bool visible) { MainPageControl->setVisible(visible); }

bool TMainForm::CloseCurrentProjectFirst() {
    if (!Data.IsProjectOpen()) return true;
    PostEditors();
    Data.PostChanges();
    if (!ProjectCloseQuery()) return false;
    FillProjectPages(false);
    SetProjectName(QString());
    Data.CloseProject();
    return true;
}

void TMainForm::ShowOpenedProject(const QString& fileName) {
    SetProjectName(fileName);
    MainPageControl->setCurrentWidget(DataPage);
    GraphicPageControl->setCurrentIndex(0);
    ClearGraphics();
    ClearTettaPaintBox();
    DescriptionMemo->Reload();
    FillProjectPages(true);
    FocusMeasureList();
    CachedDataSet& rows = Data.ResultDataSet();
    rows.First();
    // First() on a set already at its first row announces nothing; show it anyway.
    ShowResult(true);
    CommentMemo->Reload();
}

bool TMainForm::OpenProjectFile(const QString& path) {
    // The file is checked in a process of its own first, beside the event
    // loop with a progress window the operator may cancel (see SetFileCheck).
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool opened = Data.OpenProject(QFile::encodeName(path).toStdString());
    QApplication::restoreOverrideCursor();
    if (!opened) {
        SetProjectName(QString());
        ShowMessage(this, QStringLiteral("Не удалось открыть проект!"), MessageIcon::Error, MessageButtons::Ok,
                    ApplicationTitle, QString::fromStdString(Data.LastError()));
    }
    return opened;
}

void TMainForm::OpenProjectAtStart(const QString& path) {
    RunCommand(this, [&] {
        const QString absolute = QFileInfo(path).absoluteFilePath();
        if (OpenProjectFile(absolute)) ShowOpenedProject(absolute);
    });
}

void TMainForm::CreateNewProjectActionExecute() {
    if (!CloseCurrentProjectFirst()) return;
    const QString path = ChooseFile(this, FileDialogKind::NewProject, ProjectsPath);
    if (path.isEmpty()) return;
    if (QFileInfo::exists(path) && !QFile::remove(path)) return;
    if (!Data.CreateProject(QFile::encodeName(path).toStdString())) {
        SetProjectName(QString());
        ShowMessage(this, QStringLiteral("Не удалось создать проект!"), MessageIcon::Error);
        return;
    }
    if (!OpenProjectFile(path)) return;
    ShowOpenedProject(path);
}

void TMainForm::OpenProjectActionExecute() {
    if (!CloseCurrentProjectFirst()) return;
    const QString path = ChooseFile(this, FileDialogKind::OpenProject, ProjectsPath);
    if (path.isEmpty()) return;
    if (!OpenProjectFile(path)) return;
    ShowOpenedProject(path);
}

void TMainForm::SaveProjectActionExecute() {
    PostEditors();
    Data.PostChanges();
    Data.SaveChanges();
}

void TMainForm::CloseProjectActionExecute() {
    PostEditors();
    Data.PostChanges();
    if (!ProjectCloseQuery()) return;
    FillProjectPages(false);
    SetProjectName(QString());
    Data.CloseProject();
}

void TMainForm::CancelChangesActionExecute() {
    Data.CancelChanges();
    DescriptionMemo->Reload();
    CommentMemo->Reload();
    if (Data.OnShowResult) Data.OnShowResult(Data.ResultDataSet(), true);
}

void TMainForm::DeleteAllActionExecute() {
    if (ShowMessage(this, QStringLiteral("Удалить все записи из проекта?"), MessageIcon::Warning,
                    MessageButtons::YesNo) != MessageAnswer::Yes)
        return;
    PostEditors();
    Data.PostChanges();
    Data.DeleteAllRecords();
    ClearGraphics();
    ClearStringGrids();
    ClearTettaPaintBox();
}

void TMainForm::FrostResistanceTableActionExecute() {
    TViewFTableForm form(this);
    form.exec();
}

void TMainForm::ColorsActionExecute() {
    TSetColorsForm form(this);
    form.SetStandardColor(CurrentSettings.StandartSeriesColor);
    form.SetColorCount(ChannelCount);
    for (int i = 0; i < form.GetColorCount(); ++i) form.SetChannelColor(i, CurrentSettings.SeriesColor[std::size_t(i)]);
    if (form.exec() != QDialog::Accepted) return;
    CurrentSettings.StandartSeriesColor = form.StandardColor();
    PaintLegendSquare(0, CurrentSettings.StandartSeriesColor);
    for (int i = 0; i < form.GetColorCount(); ++i) {
        CurrentSettings.SeriesColor[std::size_t(i)] = form.GetChannelColor(i);
        PaintLegendSquare(i + 1, CurrentSettings.SeriesColor[std::size_t(i)]);
    }
    ShowResult(true);
}

void TMainForm::AboutActionExecute() {
    TAboutForm form(this);
    form.LoadVersionInfo(BuildVersionInfo());
    form.exec();
}

void TMainForm::GraphicTypeActionExecute(int graphicType) {
    CurrentSettings.FrostGraphicType = std::uint8_t(graphicType);
    ShowResult(false);
}

void TMainForm::closeEvent(QCloseEvent* event) {
    if (Data.IsProjectOpen()) {
        // A save that failed keeps the window, and the changes with it, for another try.
        bool mayClose = false;
        RunCommand(this, [&] {
            PostEditors();
            Data.PostChanges();
            mayClose = ProjectCloseQuery();
        });
        if (!mayClose) {
            event->ignore();
            return;
        }
    }
    if (!SettingsSaved) {
        SettingsSaved = true;
        SaveSettings();
        UsbDone();
    }
    event->accept();
}

}  // namespace zemvalkorta
