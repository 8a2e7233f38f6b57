// Start-up of the main window: commands, menu, toolbar, pages and status bar.

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QShortcut>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <type_traits>

#include "device/USB.h"
#include "storage/MainDataModuleUnit.h"
#include "ui/Application.h"
#include "ui/BlobTextEdit.h"
#include "ui/CommandErrors.h"
#include "ui/CommandIcons.h"
#include "ui/GridSizing.h"
#include "ui/Hints.h"
#include "ui/HistoryForm.h"
#include "ui/MainForm.h"
#include "ui/MeasureListModel.h"
#include "ui/MessageBoxes.h"
#include "ui/ProjectCheckProgress.h"
#include "ui/RecordNavigator.h"
#include "ui/ResultGridTexts.h"

namespace zemvalkorta {
namespace {

QTableWidget* MakeTextGrid(QWidget* parent, int rows, int columns) {
    auto* grid = new QTableWidget(rows, columns, parent);
    grid->horizontalHeader()->hide();
    grid->verticalHeader()->hide();
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionMode(QAbstractItemView::NoSelection);
    grid->setFocusPolicy(Qt::NoFocus);
    // A panel narrower than the columns scrolls them into view; the rows always show.
    grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    grid->horizontalHeader()->setMinimumSectionSize(0);
    grid->verticalHeader()->setDefaultSectionSize(std::max(19, grid->fontMetrics().height() + 4));
    grid->setWordWrap(false);
    for (int row = 0; row < rows; ++row)
        for (int column = 0; column < columns; ++column) grid->setItem(row, column, new QTableWidgetItem());
    return grid;
}

void MarkFixed(QTableWidgetItem* item) { item->setBackground(QApplication::palette().button()); }

QString SettingsFileBesideProgram() { return QString::fromStdString(SettingsFilePath().string()); }

// The groups one after the other, each followed by a separator (what QMenu::addSeparator and
// QToolBar::addSeparator add).
void AddGroups(QWidget* container, std::initializer_list<QList<QAction*>> groups) {
    for (const QList<QAction*>& group : groups) {
        container->addActions(group);
        auto* separator = new QAction(container);
        separator->setSeparator(true);
        container->addAction(separator);
    }
}

}  // namespace

TMainForm::TMainForm(TMainDataModule& dataModule, QString settingsPath, QWidget* parent)
    : QMainWindow(parent),
      data_(dataModule),
      settingsPath_(settingsPath.isEmpty() ? SettingsFileBesideProgram() : std::move(settingsPath)) {
    LoadSettings();
    SetProjectName(QString());
    projectsPath_.clear();
    CreateProjectsDirectory();
    data_.OnShowResult = [this](CachedDataSet&, bool selectFirstChannel) { ShowResult(selectFirstChannel); };
    data_.SetFileCheck([this](const std::string& path, std::chrono::milliseconds limit) {
        return CheckProjectWithProgress(this, path, limit);
    });

    CreateActions();
    CreateMenus();
    CreateToolBar();

    MainPageControl = new QTabWidget(this);
    DescriptionPage = new QWidget(MainPageControl);
    auto* descriptionLayout = new QVBoxLayout(DescriptionPage);
    descriptionLayout->setContentsMargins(0, 0, 0, 0);
    DescriptionMemo = new BlobTextEdit(
        data_.DescriptionDataSet(), [this] { return data_.ProjectDescription(); },
        [this](const std::string& text) { data_.SetProjectDescription(text); }, [this] { data_.PostChanges(); },
        DescriptionPage);
    descriptionLayout->addWidget(DescriptionMemo);
    DataPage = CreateDataPage();
    InstallHistoryCommands(this, data_, settingsPath_, MainDBGrid);
    MainPageControl->addTab(DescriptionPage, QStringLiteral("Описание"));
    MainPageControl->addTab(DataPage, QStringLiteral("Данные"));
    setCentralWidget(MainPageControl);
    MainPageControl->hide();

    tettaStripHasData_ = false;
    CreateStatusBar();
    CreateFrostGraphics();
    UsbInit();
    ApplySettingsToCommands();
    for (QWidget* control :
         std::initializer_list<QWidget*>{StandartPatternCheckBox, StretchButton, CompressButton, UndoScaleButton})
        control->setEnabled(false);

    CreatePageShortcuts();
    resize(720, 572);
    setMinimumSize(720, 560);
    RestorePlacement();
    GridPanelResize();
    installEventFilter(this);
    connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, this,
            &TMainForm::UpdateActions);
}

TMainForm::~TMainForm() {
    if (CommentMemo != nullptr) CommentMemo->Detach();
    data_.OnShowResult = nullptr;
    data_.SetFileCheck(nullptr);
}

void TMainForm::CreateActions() {
    auto make = [this](const char* caption, const char* hint, auto icon, auto handler) {
        QIcon picture;
        if constexpr (std::is_same_v<decltype(icon), QIcon>)
            picture = icon;
        else
            picture = CommandIcon(style(), icon);
        auto* action = new QAction(picture, QString::fromUtf8(caption), this);
        if (hint) SetHint(action, QString::fromUtf8(hint));
        ConnectCommand(action, &QAction::triggered, this, handler);
        return action;
    };
    CreateNewProjectAction =
        make("Создать", "Создать|Создать новый проект", QStyle::SP_FileIcon, &TMainForm::CreateNewProjectActionExecute);
    CreateNewProjectAction->setShortcut(QKeySequence(QStringLiteral("Ctrl+N")));
    OpenProjectAction =
        make("Открыть", "Открыть|Открыть проект", QStyle::SP_DialogOpenButton, &TMainForm::OpenProjectActionExecute);
    OpenProjectAction->setShortcut(QKeySequence(QStringLiteral("Ctrl+O")));
    SaveProjectAction = make("Сохранить", "Сохранить|Сохранить проект", QStyle::SP_DialogSaveButton,
                             &TMainForm::SaveProjectActionExecute);
    SaveProjectAction->setShortcuts({QKeySequence(QStringLiteral("Ctrl+S")), QKeySequence(QStringLiteral("Ctrl+R"))});
    CloseProjectAction =
        make("Закрыть", "Закрыть|Закрыть проект", QStyle::SP_DialogCloseButton, &TMainForm::CloseProjectActionExecute);
    CancelChangesAction = make("Отменить изменения", "Отменить изменения|Отменить изменения в проекте",
                               QStyle::SP_DialogResetButton, &TMainForm::CancelChangesActionExecute);
    DeleteAllAction = make("Удалить всё", "Удалить всё|Удалить всё из проекта", QStyle::SP_TrashIcon,
                           &TMainForm::DeleteAllActionExecute);
    ReadFromDeviceAction = make("Считать из прибора", "Считать|Считать из прибора", QStyle::SP_ArrowDown,
                                &TMainForm::ReadFromDeviceActionExecute);
    PrintReportAction = make("Отчёт", "Создать отчёт|Создание и печать отчёта", ReportCommandIcon(),
                             &TMainForm::PrintReportActionExecute);
    ExportAction = make("Экспорт", "Экспорт данных|Экспортировать данные в .txt", ExportCommandIcon(),
                        &TMainForm::ExportActionExecute);
    FrostResistanceTableAction =
        make("Таблица морозостойкостей", "Таблица морозостойкостей|Просмотр таблицы морозостойкостей",
             QStyle::SP_FileDialogListView, &TMainForm::FrostResistanceTableActionExecute);
    ScreenShotAction = make("Снимок экрана", "Снимок экрана|Снимок экрана прибора", QStyle::SP_ComputerIcon,
                            &TMainForm::ScreenShotActionExecute);
    ExitAction = make("Выход", "Выход|Завершение приложения", QStyle::SP_DialogCancelButton, &QWidget::close);
    ExitAction->setShortcut(QKeySequence(QStringLiteral("Ctrl+E")));
    ColorsAction =
        make("Цвета графиков...", "Цвета|Установить цвета", QStyle::SP_DesktopIcon, &TMainForm::ColorsActionExecute);
    AboutAction = make("О программе", nullptr, QStyle::SP_MessageBoxInformation, &TMainForm::AboutActionExecute);

    static const std::array<const char*, 6> captions{"V(t)", "T(t)", "dT(t)", "V(T)", "V(dT)", "dV(t)"};
    static const std::array<const char*, 6> buttonCaptions{"V(t)", "T(t)", "ΔT(t)", "V(T)", "V(ΔT)", "ΔV(t)"};
    auto* group = new QActionGroup(this);
    group->setExclusive(true);
    for (int type = 0; type < 6; ++type) {
        auto* action = new QAction(QString::fromUtf8(captions[std::size_t(type)]), group);
        action->setIconText(QString::fromUtf8(buttonCaptions[std::size_t(type)]));
        action->setCheckable(true);
        ConnectCommand(action, &QAction::triggered, this, [this, type] { GraphicTypeActionExecute(type); });
        GraphicTypeActions[std::size_t(type)] = action;
    }
    GraphicTypeActions[0]->setChecked(true);

    ShowStandartPatternAction = new QAction(QStringLiteral("Эталонный образец"), this);
    ShowStandartPatternAction->setCheckable(true);
    SetHint(ShowStandartPatternAction, QStringLiteral("|Показать стандарный образец"));
    ConnectCommand(ShowStandartPatternAction, &QAction::triggered, this, [this](bool checked) {
        currentSettings_.ShowStandartPattern = checked;
        ShowResult(false);
    });
}

void TMainForm::AddProjectCommands(QWidget* container) {
    AddGroups(container, {{CreateNewProjectAction, OpenProjectAction},
                          {SaveProjectAction, CloseProjectAction},
                          {CancelChangesAction, DeleteAllAction},
                          {ReadFromDeviceAction, PrintReportAction, ExportAction},
                          {FrostResistanceTableAction, ScreenShotAction}});
}

void TMainForm::CreateMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("Файл"));
    AddProjectCommands(file);
    file->addAction(ExitAction);
    menuBar()->addMenu(QStringLiteral("Вид"))->addAction(ColorsAction);
    menuBar()->addMenu(QStringLiteral("Связь"))->addAction(ReadFromDeviceAction);
    menuBar()->addMenu(QStringLiteral("Помощь"))->addAction(AboutAction);
}

void TMainForm::CreateToolBar() {
    QToolBar* bar = addToolBar(QStringLiteral("Команды"));
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    // Small icons, as the 22-pixel graph buttons beside them: a taller bar would take the rows the
    // measurement list needs at the window's initial height.
    bar->setIconSize(QSize(16, 16));
    AddProjectCommands(bar);
    for (QAction* action : GraphicTypeActions) {
        auto* button = new QToolButton(bar);
        button->setDefaultAction(action);
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
        // 40 by 22 at the least; a wider font widens a button to its caption.
        button->setMinimumSize(40, 22);
        bar->addWidget(button);
    }
}

QWidget* TMainForm::CreateGridPanel() {
    GridPanel = new QWidget;
    auto* layout = new QVBoxLayout(GridPanel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);

    ParamStringGrid = MakeTextGrid(GridPanel, ParamGridRowCount, 3);
    ParamStringGrid->setColumnWidth(2, 0);
    for (int row = 0; row < ParamGridRowCount; ++row) {
        ParamStringGrid->item(row, 0)->setText(ParamRowLabel(row));
        MarkFixed(ParamStringGrid->item(row, 0));
    }
    ParamStringGrid->setColumnWidth(0, std::max(110, TextColumnWidth(ParamStringGrid, 0)));
    SetHint(ParamStringGrid, QStringLiteral("|Щёлкните левой кнопкой мыши для изменения общих параметров"));

    DetailsStringGrid = MakeTextGrid(GridPanel, DetailsGridRowCount, 5);
    DetailsStringGrid->setColumnWidth(4, 0);
    for (int column = 0; column < 5; ++column) {
        DetailsStringGrid->item(0, column)->setText(DetailsHeaderText(column));
        MarkFixed(DetailsStringGrid->item(0, column));
    }
    for (int row = 1; row < DetailsGridRowCount; ++row) {
        DetailsStringGrid->item(row, 0)->setText(DetailsRowLabel(row));
        MarkFixed(DetailsStringGrid->item(row, 0));
    }
    DetailsStringGrid->setColumnWidth(0, std::max(110, TextColumnWidth(DetailsStringGrid, 0)));
    // A value column holds at most a text like "-1000,00E-03"; the original 90 pixels are the least.
    detailsValueWidth_ = std::max({90, TextColumnWidth(DetailsStringGrid, 1),
                                   CellTextWidth(DetailsStringGrid, QStringLiteral("-1000,00E-03")),
                                   CellTextWidth(DetailsStringGrid, QStringLiteral("-8,88E-188"))});
    for (int column = 1; column < 4; ++column) DetailsStringGrid->setColumnWidth(column, detailsValueWidth_);
    SetHint(DetailsStringGrid, QStringLiteral("|Щёлкните левой кнопкой мыши для изменения параметров образца"));
    DetailsStringGrid->viewport()->setMouseTracking(true);
    ParamStringGrid->viewport()->installEventFilter(this);
    DetailsStringGrid->viewport()->installEventFilter(this);
    GridPanel->installEventFilter(this);

    layout->addWidget(ParamStringGrid);
    layout->addWidget(DetailsStringGrid);
    return GridPanel;
}

QWidget* TMainForm::CreateGraphicArea() {
    auto* right = new QSplitter(Qt::Vertical);
    right->setChildrenCollapsible(false);

    GraphicPageControl = new QTabWidget;
    for (int channel = 0; channel < ChannelCount; ++channel) {
        // Each page's chart fills it; the graph code puts its chart into this layout.
        auto* page = new QWidget;
        auto* pageLayout = new QVBoxLayout(page);
        pageLayout->setContentsMargins(0, 0, 0, 0);
        ChannelPages[std::size_t(channel)] = page;
        GraphicPageControl->addTab(page, QStringLiteral("Канал %1").arg(channel + 1));
    }
    GraphEditPanel = new QWidget;
    auto* editLayout = new QHBoxLayout(GraphEditPanel);
    editLayout->setContentsMargins(0, 0, 0, 0);
    editLayout->setSpacing(2);
    auto makeButton = [this](QStyle::StandardPixmap icon, const char* hint) {
        auto* button = new QToolButton(GraphEditPanel);
        button->setIcon(style()->standardIcon(icon));
        button->setAutoRaise(true);
        SetHint(button, QString::fromUtf8(hint));
        return button;
    };
    UndoScaleButton = makeButton(QStyle::SP_BrowserReload, "Отменить|Отменить сжатие/растяжение графика");
    StretchButton = makeButton(QStyle::SP_ArrowUp, "Растянуть|Растянуть график");
    CompressButton = makeButton(QStyle::SP_ArrowDown, "Сжать|Сжать график");
    StandartPatternCheckBox = new QCheckBox(QStringLiteral("Стандартный образец"), GraphEditPanel);
    SetHint(StandartPatternCheckBox, QStringLiteral("|Показать стандарный образец"));
    connect(StandartPatternCheckBox, &QCheckBox::clicked, ShowStandartPatternAction, &QAction::trigger);
    connect(ShowStandartPatternAction, &QAction::toggled, StandartPatternCheckBox, &QCheckBox::setChecked);
    for (QWidget* control :
         std::initializer_list<QWidget*>{UndoScaleButton, StretchButton, CompressButton, StandartPatternCheckBox})
        editLayout->addWidget(control);
    GraphicPageControl->setCornerWidget(GraphEditPanel, Qt::TopRightCorner);
    // All three tabs show beside the editing panel: the tab bar never scrolls, and the right part
    // is never narrower than tabs and panel together.
    GraphicPageControl->tabBar()->setUsesScrollButtons(false);
    GraphicPageControl->tabBar()->setElideMode(Qt::ElideNone);
    GraphicPageControl->tabBar()->setExpanding(false);

    auto* commentPanel = new QWidget;
    auto* commentLayout = new QVBoxLayout(commentPanel);
    commentLayout->setContentsMargins(0, 0, 0, 0);
    commentLayout->addWidget(new QLabel(QStringLiteral("Комментарий:"), commentPanel));
    CommentMemo = new BlobTextEdit(
        data_.ResultDataSet(), [this] { return data_.MeasureComment(); },
        [this](const std::string& text) { data_.SetMeasureComment(text); }, [this] { data_.PostChanges(); },
        commentPanel);
    commentLayout->addWidget(CommentMemo);

    GraphicPageControl->setMinimumHeight(50);
    commentPanel->setMinimumHeight(50);
    right->addWidget(GraphicPageControl);
    right->addWidget(commentPanel);
    right->setStretchFactor(0, 1);
    right->setStretchFactor(1, 0);
    right->setSizes({300, 169});
    right->setMinimumWidth(RightPartMinimumWidth());
    return right;
}

QWidget* TMainForm::CreateDataPage() {
    auto* page = new QWidget;
    auto* pageLayout = new QVBoxLayout(page);
    pageLayout->setContentsMargins(0, 0, 0, 0);
    pageLayout->setSpacing(0);

    auto* splitter = new QSplitter(Qt::Horizontal, page);
    splitter->setChildrenCollapsible(false);
    auto* left = new QWidget;
    auto* leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    leftLayout->setSpacing(2);

    measureListModel_ = new MeasureListModel(data_.ResultDataSet(), this);
    MainDBGrid = new QTableView(left);
    MainDBGrid->setModel(measureListModel_);
    MainDBGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    MainDBGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    MainDBGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    MainDBGrid->verticalHeader()->setDefaultSectionSize(18);
    MainDBGrid->verticalHeader()->setFixedWidth(12);
    MainDBGrid->horizontalHeader()->setStretchLastSection(true);
    // At least its header and one row, so that the current row can always be seen.
    MainDBGrid->setMinimumHeight(MainDBGrid->horizontalHeader()->sizeHint().height() + 18 +
                                 2 * MainDBGrid->frameWidth() +
                                 MainDBGrid->style()->pixelMetric(QStyle::PM_ScrollBarExtent));
    MainDBGrid->setColumnWidth(0, 80);
    MainDBGrid->setColumnWidth(1, 70);
    ConnectCommand(MainDBGrid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
                   [this](const QModelIndex& current) {
                       CachedDataSet& rows = data_.ResultDataSet();
                       if (current.isValid() && rows.IsActive() && rows.RecNo() != current.row() + 1)
                           rows.SetRecNo(current.row() + 1);
                   });
    ConnectCommand(measureListModel_, &MeasureListModel::CurrentRowMoved, this, [this](int row) {
        const QModelIndex target = measureListModel_->index(row, 0);
        if (MainDBGrid->currentIndex().row() != row) MainDBGrid->setCurrentIndex(target);
        KeepCurrentRowShown();
        if (Navigator) Navigator->UpdateButtons();
    });
    // A click on the list's empty part clears the selection; the current row keeps its highlight.
    connect(MainDBGrid->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { KeepCurrentRowShown(); });

    Navigator = new TRecordNavigator(
        data_.ResultDataSet(),
        [this] {
            PostEditors();
            data_.PostChanges();
        },
        left);

    leftLayout->addWidget(MainDBGrid, 1);
    leftLayout->addWidget(CreateGridPanel());
    leftLayout->addWidget(Navigator);

    QWidget* right = CreateGraphicArea();
    splitter->addWidget(left);
    splitter->addWidget(right);
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 0);
    splitter->setSizes({720 - RightPartInitialWidth(), RightPartInitialWidth()});
    MainSplitter = splitter;
    CommentSplitter = static_cast<QSplitter*>(right);

    TettaStripArea = new QWidget(page);
    TettaStripArea->setFixedHeight(27);
    auto* stripLayout = new QVBoxLayout(TettaStripArea);
    stripLayout->setContentsMargins(0, 0, 0, 0);

    pageLayout->addWidget(splitter, 1);
    pageLayout->addWidget(TettaStripArea);
    return page;
}

int TMainForm::RightPartMinimumWidth() const {
    // The tab bar never scrolls, so its size hint holds every tab.
    const int tabsWidth = GraphicPageControl->tabBar()->sizeHint().width();
    return std::max(350, tabsWidth + GraphEditPanel->sizeHint().width() + 8);
}

int TMainForm::RightPartInitialWidth() const { return std::max(456, RightPartMinimumWidth()); }

void TMainForm::KeepCurrentRowShown() {
    const QModelIndex current = MainDBGrid->currentIndex();
    if (!current.isValid()) return;
    QItemSelectionModel* selection = MainDBGrid->selectionModel();
    if (!selection->isRowSelected(current.row(), QModelIndex()))
        selection->select(current, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    MainDBGrid->scrollTo(current);
}

void TMainForm::MoveChannelPage(int step) {
    if (!GraphicPageControl->isVisible()) return;
    const int count = GraphicPageControl->count();
    GraphicPageControl->setCurrentIndex((GraphicPageControl->currentIndex() + step + count) % count);
}

void TMainForm::CreatePageShortcuts() {
    // Wherever the focus is in the window, as a tab control does while it has the focus itself.
    for (const auto& [keys, step] :
         std::initializer_list<std::pair<QKeySequence, int>>{{QKeySequence(Qt::CTRL | Qt::Key_Tab), 1},
                                                             {QKeySequence(Qt::CTRL | Qt::Key_PageDown), 1},
                                                             {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), -1},
                                                             {QKeySequence(Qt::CTRL | Qt::Key_PageUp), -1}}) {
        auto* shortcut = new QShortcut(keys, this);
        connect(shortcut, &QShortcut::activated, this, [this, delta = step] { MoveChannelPage(delta); });
    }
}

void TMainForm::CreateStatusBar() {
    QStatusBar* bar = statusBar();
    HintPanel = new QLabel(bar);
    LegendPanel = new QLabel(QStringLiteral("     Э        1        2        3"), bar);
    // 125 pixels held the legend in the original 8-point font; wider fonts get the room they need.
    LegendPanel->setFixedWidth(std::max(125, LegendPanel->fontMetrics().horizontalAdvance(LegendPanel->text()) + 12));
    LegendPanel->setFrameShape(QFrame::StyledPanel);
    SparePanel = new QLabel(bar);
    SparePanel->setFixedWidth(150);
    SparePanel->setFrameShape(QFrame::StyledPanel);
    // A long hint must not widen panel 0 over the legend.
    HintPanel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    HintPanel->setMinimumWidth(0);
    bar->setSizeGripEnabled(false);
    bar->addWidget(HintPanel, 1);
    bar->addPermanentWidget(LegendPanel);
    bar->addPermanentWidget(SparePanel);
    // Each square sits just before its mark; the marks' places follow the panel's font.
    const QString legend = LegendPanel->text();
    const QFontMetrics metrics(LegendPanel->font());
    const std::array<QChar, 4> marks{QChar(0x042D), QLatin1Char('1'), QLatin1Char('2'), QLatin1Char('3')};
    for (int i = 0; i < 4; ++i) {
        auto* square = new QFrame(LegendPanel);
        const int markX = LegendPanel->contentsMargins().left() +
                          metrics.horizontalAdvance(legend.left(legend.indexOf(marks[std::size_t(i)])));
        square->setGeometry(std::max(2, markX - 15), 4, 13, 13);
        square->setAutoFillBackground(true);
        LegendSquares[std::size_t(i)] = square;
    }
    PaintLegendSquare(0, currentSettings_.StandartSeriesColor);
    for (int channel = 0; channel < ChannelCount; ++channel)
        PaintLegendSquare(channel + 1, currentSettings_.SeriesColor[std::size_t(channel)]);
    bar->installEventFilter(this);
}

void TMainForm::PaintLegendSquare(int index, ColorValue color) {
    QPalette palette = LegendSquares[std::size_t(index)]->palette();
    palette.setColor(QPalette::Window, ToQColor(color));
    LegendSquares[std::size_t(index)]->setPalette(palette);
}

void TMainForm::StatusBarResize() {
    // Panel 0 takes the bar's width less the two other panels (280 pixels with their gaps, more when the
    // legend needs more room in the window's font) and clips its text there; the legend squares ride on
    // the legend panel, so they stay in front of their marks.
    HintPanel->setMaximumWidth(std::max(0, statusBar()->width() - 280));
}

void TMainForm::HandleHint(const QString& hint) { HintPanel->setText(hint); }

void TMainForm::ApplySettingsToCommands() {
    ShowStandartPatternAction->setChecked(currentSettings_.ShowStandartPattern);
    StandartPatternCheckBox->setChecked(currentSettings_.ShowStandartPattern);
    const int type = currentSettings_.FrostGraphicType;
    GraphicTypeActions[std::size_t(type <= 5 ? type : 0)]->setChecked(true);
}

void TMainForm::CreateProjectsDirectory() {
    const std::filesystem::path folder = zemvalkorta::CreateProjectsDirectory();
    if (folder.empty()) {
        const std::filesystem::path wanted = ProjectsFolderPath();
        ShowErrorMessage(QDir::toNativeSeparators(QString::fromStdString(wanted.string())));
        return;
    }
    projectsPath_ = QString::fromStdString(folder.string()) + QLatin1Char('/');
}

void TMainForm::SetProjectName(const QString& fileName) {
    projectFileName_ = fileName;
    setWindowTitle(fileName.isEmpty() ? QString::fromUtf8(ApplicationTitle)
                                      : QString::fromUtf8(ApplicationTitle) + QStringLiteral(" - [") +
                                            QFileInfo(fileName).fileName() + QLatin1Char(']'));
}

}  // namespace zemvalkorta
