#pragma once

// The main window: project commands, the measurement list, the result grids,
// the channel chart pages, the theta strip's place and the device commands.

#include <QMainWindow>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>

#include "core/MeasureResult.h"
#include "storage/Settings.h"
#include "storage/WindowPlacement.h"
#include "ui/Colors.h"

class QAction;
class QActionGroup;
class QCheckBox;
class QFrame;
class QLabel;
class QPlainTextEdit;
class QSplitter;
class QTabWidget;
class QTableView;
class QTableWidget;
class QToolButton;
class QWidget;

namespace zemvalkorta {

class TMainDataModule;
class MeasureListModel;
class BlobTextEdit;
class TRecordNavigator;
class ChannelChart;
class ChannelChartView;
class TettaPaintBox;
struct GraphicColours;
enum class CurveScaling;

// The three conditions the enabling rules are made of.
struct ProjectCondition {
    bool Open = false;
    bool Changed = false;
    bool Rows = false;
};

class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    // `settingsPath` empty: the settings file of the installation.
    explicit TMainForm(TMainDataModule& dataModule, QString settingsPath = {}, QWidget* parent = nullptr);
    ~TMainForm() override;

    // Opens the project named on the command line, as the open command would.
    void OpenProjectAtStart(const QString& path);

    // The window's contract with the graph and report code.
    void ShowResult(bool selectFirstChannel);
    void ClearGraphics();
    // The report's off-screen chart (three series) and its clearing.
    ChannelChart* ReportGraphicChart() const { return reportChart_.get(); }
    void ClearReportGraphics();
    void ClearTettaPaintBox();
    // The stretch, compress and undo-scaling buttons.
    void EditGraphicSpeedButtonClick(CurveScaling scaling);
    void ClearStringGrids();
    void SetProjectName(const QString& fileName);
    QString GetProjectName() const { return projectFileName_; }
    QString GetProjectsPath() const { return projectsPath_; }
    bool ProjectCloseQuery();
    // One pass over every enabling rule; runs whenever the program becomes idle.
    void UpdateActions();
    const MainSettings& Settings() const { return currentSettings_; }
    TMainDataModule& DataModule() { return data_; }

    // Commands (the QAction of each runs its handler).
    QAction* CreateNewProjectAction;
    QAction* OpenProjectAction;
    QAction* SaveProjectAction;
    QAction* CloseProjectAction;
    QAction* CancelChangesAction;
    QAction* DeleteAllAction;
    QAction* ReadFromDeviceAction;
    QAction* PrintReportAction;
    QAction* ExportAction;
    QAction* FrostResistanceTableAction;
    QAction* ScreenShotAction;
    QAction* ExitAction;
    std::array<QAction*, 6> GraphicTypeActions{};
    QAction* ShowStandartPatternAction;
    QAction* ColorsAction;
    QAction* AboutAction;

    // Controls the tests and the graph code reach.
    QTabWidget* MainPageControl;
    QWidget* DescriptionPage;
    QWidget* DataPage;
    BlobTextEdit* DescriptionMemo;
    QTableView* MainDBGrid;
    QTableWidget* ParamStringGrid;
    QTableWidget* DetailsStringGrid;
    QWidget* GridPanel;
    TRecordNavigator* Navigator;
    QTabWidget* GraphicPageControl;
    std::array<QWidget*, ChannelCount> ChannelPages{};
    QWidget* GraphEditPanel;
    QToolButton* UndoScaleButton;
    QToolButton* StretchButton;
    QToolButton* CompressButton;
    QCheckBox* StandartPatternCheckBox;
    BlobTextEdit* CommentMemo;
    QWidget* TettaStripArea;  // the theta strip goes here
    std::array<ChannelChartView*, ChannelCount> ChannelChartViews{};
    TettaPaintBox* TettaStrip = nullptr;
    std::array<QFrame*, 4> LegendSquares{};
    QLabel* HintPanel;
    QLabel* LegendPanel;
    QLabel* SparePanel;
    QSplitter* MainSplitter = nullptr;     // the list and grids on the left, the charts on the right
    QSplitter* CommentSplitter = nullptr;  // the channel pages above the comment panel

    // Handlers.
    void CreateNewProjectActionExecute();
    void OpenProjectActionExecute();
    void SaveProjectActionExecute();
    void CloseProjectActionExecute();
    void CancelChangesActionExecute();
    void DeleteAllActionExecute();
    void ReadFromDeviceActionExecute();
    void PrintReportActionExecute();
    void ExportActionExecute();
    void FrostResistanceTableActionExecute();
    void ScreenShotActionExecute();
    void ColorsActionExecute();
    void AboutActionExecute();
    void GraphicTypeActionExecute(int graphicType);
    void DetailsStringGridMouseUp(Qt::MouseButton button, QPoint position);
    void ParamStringGridMouseUp(Qt::MouseButton button);
    void DetailsStringGridMouseMove(QPoint position);
    void GridPanelResize();
    void StatusBarResize();

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateActions();
    // The project commands in their groups, as the menu and the tool bar show them.
    void AddProjectCommands(QWidget* container);
    void CreateMenus();
    void CreateToolBar();
    void CreateStatusBar();
    QWidget* CreateDataPage();
    QWidget* CreateGridPanel();
    QWidget* CreateGraphicArea();
    void CreateFrostGraphics();
    void CreatePageShortcuts();
    // Ctrl+Tab and Ctrl+PgDn go to the next channel page, with Shift or PgUp to the one before.
    void MoveChannelPage(int step);
    // The current row of the list stays selected and scrolled into view.
    void KeepCurrentRowShown();
    int RightPartMinimumWidth() const;
    int RightPartInitialWidth() const;
    GraphicColours CurrentGraphicColours() const;
    void ClearFrostGraphics();
    void DrawFrostGraphics(const TMeasureResult& measure);
    void ShowTettaStrip(const TMeasureResult& measure);
    void CreateProjectsDirectory();
    void LoadSettings();
    void SaveSettings();
    WindowPlacement CurrentPlacement() const;
    // Size, position and splitters as the last run left them; the initial layout when none is stored.
    void RestorePlacement();
    void ApplySettingsToCommands();
    void PaintLegendSquare(int index, ColorValue color);
    void FillProjectPages(bool visible);
    void ShowOpenedProject(const QString& fileName);
    // Opens the project or tells the operator why it cannot be opened.
    bool OpenProjectFile(const QString& path);
    bool CloseCurrentProjectFirst();
    void FocusMeasureList();
    // Writes the text typed into the description and comment fields into their rows.
    void PostEditors();
    void HandleHint(const QString& hint);
    ProjectCondition Condition() const;

    TMainDataModule& data_;
    MeasureListModel* measureListModel_ = nullptr;
    MainSettings currentSettings_;
    QString settingsPath_;
    QString projectFileName_;
    QString projectsPath_;
    bool tettaStripHasData_ = false;
    std::shared_ptr<ChannelChart> reportChart_;  // shared: the deleter is fixed where it is made
    // The form's established field for the chosen report kind (keeps its name).
    int ReportScope = 0;  // NOLINT(readability-identifier-naming)
    bool settingsSaved_ = false;
    std::optional<WindowPlacement> storedPlacement_;
    int detailsValueWidth_ = 90;  // the least width of a value column of the specimen grid
};

}  // namespace zemvalkorta
