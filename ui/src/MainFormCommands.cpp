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
    return {data_.IsProjectOpen(), data_.IsModified(), !data_.IsResultEmpty()};
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
    if (!data_.IsModified()) return true;
    const QString question = QStringLiteral("Сохранить изменеия в проекте\n") + QFileInfo(projectFileName_).fileName() +
                             QStringLiteral(" ?");
    switch (ShowMessage(this, question, MessageIcon::Warning, MessageButtons::YesNoCancel)) {
        case MessageAnswer::Cancel:
            return false;
        case MessageAnswer::Yes:
            data_.SaveChanges();
            data_.CloseProject();
            return true;
        case MessageAnswer::No:
            data_.CancelChanges();
            data_.CloseProject();
            return true;
        case MessageAnswer::Ok:
            break;
    }
    return true;
}

void TMainForm::FillProjectPages(bool visible) { MainPageControl->setVisible(visible); }

bool TMainForm::CloseCurrentProjectFirst() {
    if (!data_.IsProjectOpen()) return true;
    PostEditors();
    data_.PostChanges();
    if (!ProjectCloseQuery()) return false;
    FillProjectPages(false);
    SetProjectName(QString());
    data_.CloseProject();
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
    CachedDataSet& rows = data_.ResultDataSet();
    rows.First();
    // First() on a set already at its first row announces nothing; show it anyway.
    ShowResult(true);
    CommentMemo->Reload();
}

bool TMainForm::OpenProjectFile(const QString& path) {
    // The file is checked in a process of its own first, beside the event
    // loop with a progress window the operator may cancel (see SetFileCheck).
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool opened = data_.OpenProject(QFile::encodeName(path).toStdString());
    QApplication::restoreOverrideCursor();
    if (!opened) {
        SetProjectName(QString());
        ShowMessage(this, QStringLiteral("Не удалось открыть проект!"), MessageIcon::Error, MessageButtons::Ok,
                    ApplicationTitle, QString::fromStdString(data_.LastError()));
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
    const QString path = ChooseFile(this, FileDialogKind::NewProject, projectsPath_);
    if (path.isEmpty()) return;
    if (QFileInfo::exists(path) && !QFile::remove(path)) return;
    if (!data_.CreateProject(QFile::encodeName(path).toStdString())) {
        SetProjectName(QString());
        ShowMessage(this, QStringLiteral("Не удалось создать проект!"), MessageIcon::Error);
        return;
    }
    if (!OpenProjectFile(path)) return;
    ShowOpenedProject(path);
}

void TMainForm::OpenProjectActionExecute() {
    if (!CloseCurrentProjectFirst()) return;
    const QString path = ChooseFile(this, FileDialogKind::OpenProject, projectsPath_);
    if (path.isEmpty()) return;
    if (!OpenProjectFile(path)) return;
    ShowOpenedProject(path);
}

void TMainForm::SaveProjectActionExecute() {
    PostEditors();
    data_.PostChanges();
    data_.SaveChanges();
}

void TMainForm::CloseProjectActionExecute() {
    PostEditors();
    data_.PostChanges();
    if (!ProjectCloseQuery()) return;
    FillProjectPages(false);
    SetProjectName(QString());
    data_.CloseProject();
}

void TMainForm::CancelChangesActionExecute() {
    data_.CancelChanges();
    DescriptionMemo->Reload();
    CommentMemo->Reload();
    if (data_.OnShowResult) data_.OnShowResult(data_.ResultDataSet(), true);
}

void TMainForm::DeleteAllActionExecute() {
    if (ShowMessage(this, QStringLiteral("Удалить все записи из проекта?"), MessageIcon::Warning,
                    MessageButtons::YesNo) != MessageAnswer::Yes)
        return;
    PostEditors();
    data_.PostChanges();
    data_.DeleteAllRecords();
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
    form.SetStandardColor(currentSettings_.StandartSeriesColor);
    form.SetColorCount(ChannelCount);
    for (int i = 0; i < form.GetColorCount(); ++i)
        form.SetChannelColor(i, currentSettings_.SeriesColor[std::size_t(i)]);
    if (form.exec() != QDialog::Accepted) return;
    currentSettings_.StandartSeriesColor = form.StandardColor();
    PaintLegendSquare(0, currentSettings_.StandartSeriesColor);
    for (int i = 0; i < form.GetColorCount(); ++i) {
        currentSettings_.SeriesColor[std::size_t(i)] = form.GetChannelColor(i);
        PaintLegendSquare(i + 1, currentSettings_.SeriesColor[std::size_t(i)]);
    }
    ShowResult(true);
}

void TMainForm::AboutActionExecute() {
    TAboutForm form(this);
    form.LoadVersionInfo(BuildVersionInfo());
    form.exec();
}

void TMainForm::GraphicTypeActionExecute(int graphicType) {
    currentSettings_.FrostGraphicType = std::uint8_t(graphicType);
    ShowResult(false);
}

void TMainForm::closeEvent(QCloseEvent* event) {
    if (data_.IsProjectOpen()) {
        // A save that failed keeps the window, and the changes with it, for another try.
        bool mayClose = false;
        RunCommand(this, [&] {
            PostEditors();
            data_.PostChanges();
            mayClose = ProjectCloseQuery();
        });
        if (!mayClose) {
            event->ignore();
            return;
        }
    }
    if (!settingsSaved_) {
        settingsSaved_ = true;
        SaveSettings();
        UsbDone();
    }
    event->accept();
}

}  // namespace zemvalkorta
