// The main window against a real project file and the virtual instrument:
// enabling rules, project commands with the save question, a download through
// the real windows, grid clicks and the settings written on close.

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <deque>

#include "UiTestSupport.h"
#include "device/USB.h"
#include "device/sim/InstrumentServer.h"
#include "storage/FirebirdSession.h"
#include "storage/MainDataModuleUnit.h"
#include "storage/Settings.h"
#include "ui/AboutForm.h"
#include "ui/BlobTextEdit.h"
#include "ui/Colors.h"
#include "ui/CommandErrors.h"
#include "ui/DownloadForm.h"
#include "ui/FileDialogs.h"
#include "ui/MainForm.h"
#include "ui/MessageBoxes.h"
#include "ui/SetChannelPropertiesForm.h"
#include "ui/SetColorsForm.h"
#include "ui/SetParamForm.h"
#include "ui/ViewFTableForm.h"

using namespace zemvalkorta;

namespace {

// Answers message boxes from a queue and keeps what they said; file dialogs
// choose NextFile once (an empty text cancels them).
struct ScriptedMessages {
    std::deque<MessageAnswer> Answers;
    QList<MessageRequest> Shown;
    QString NextFile;
    int FileDialogsShown = 0;

    ScriptedMessages() {
        SetFileDialogResponder([this](FileDialogKind, const QString&) {
            ++FileDialogsShown;
            return std::exchange(NextFile, QString());
        });
        SetMessageResponder([this](const MessageRequest& request) {
            Shown.append(request);
            if (Answers.empty()) return MessageAnswer::Cancel;
            const MessageAnswer answer = Answers.front();
            Answers.pop_front();
            return answer;
        });
    }
    ~ScriptedMessages() {
        SetMessageResponder({});
        SetFileDialogResponder({});
    }
};

}  // namespace

class MainFormTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir Folder;
    std::unique_ptr<sim::InstrumentServer> Instrument;
    std::filesystem::path SocketPath;
    std::unique_ptr<TMainDataModule> Data;
    std::unique_ptr<TMainForm> Form;
    ScriptedMessages* Messages = nullptr;

    QString ProjectPath(const char* name) const { return Folder.filePath(QString::fromLatin1(name)); }
    QString SettingsPath() const { return Folder.filePath(QStringLiteral("zemvalkorta.ini")); }

    void CreateProject(const char* name) {
        Messages->NextFile = ProjectPath(name);
        Form->CreateNewProjectAction->trigger();
        QVERIFY(Data->IsProjectOpen());
    }

    // Commands follow the enabling pass, which runs when the program goes idle.
    void Run(QAction* action) {
        Idle();
        action->trigger();
    }

    void Download() {
        testing::AnswerNextDialog<TDownloadSummaryForm>(
            Form.get(), [](TDownloadSummaryForm& summary) { summary.accept(); }, 2000);
        const qsizetype shownBefore = Messages->Shown.size();
        Run(Form->ReadFromDeviceAction);
        QVERIFY2(Messages->Shown.size() == shownBefore, qPrintable(Messages->Shown.value(shownBefore).Text));
    }

    void Idle() {
        QCoreApplication::processEvents();
        Form->UpdateActions();
    }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(Folder.isValid());
        sim::GeneratorOptions generator;
        generator.Count = 3;
        generator.Seed = 5;
        sim::InstrumentServerOptions options;
        options.SocketPath = (Folder.path() + QStringLiteral("/instrument.sock")).toStdString();
        Instrument = std::make_unique<sim::InstrumentServer>(sim::GenerateContent(generator), options);
        QCOMPARE(QString::fromStdString(Instrument->Start()), QString());
        SocketPath = options.SocketPath;
    }

    void init() {
        Messages = new ScriptedMessages;
        Data = std::make_unique<TMainDataModule>();
        Form = std::make_unique<TMainForm>(*Data, SettingsPath());
        Form->show();
        QVERIFY(QTest::qWaitForWindowExposed(Form.get()));
        // The window started the link with the installation's options; talk to our instrument only.
        UsbOptions usb;
        usb.UseLibusb = false;
        usb.InstrumentSocket = SocketPath;
        QCOMPARE(UsbInit(usb), 0u);
        QTRY_VERIFY_WITH_TIMEOUT(IsDeviceConnected(), 5000);
    }

    void cleanup() {
        // Closing drops whatever a failed test left in the caches.
        if (Data->IsProjectOpen()) Data->CloseProject();
        Form.reset();
        Data.reset();
        delete Messages;
        Messages = nullptr;
    }

    void cleanupTestCase() {
        UsbDone();
        Instrument->Stop();
    }

    void EnablingRulesInEachState() {
        Idle();
        QVERIFY(Form->CreateNewProjectAction->isEnabled());
        QVERIFY(Form->FrostResistanceTableAction->isEnabled());
        QVERIFY(Form->ScreenShotAction->isEnabled());
        for (QAction* action :
             {Form->SaveProjectAction, Form->CloseProjectAction, Form->CancelChangesAction, Form->DeleteAllAction,
              Form->ReadFromDeviceAction, Form->PrintReportAction, Form->ExportAction, Form->ShowStandartPatternAction})
            QVERIFY2(!action->isEnabled(), qPrintable(action->text()));
        QVERIFY(!Form->MainPageControl->isVisible());

        CreateProject("rules.fdb");
        Idle();
        QVERIFY(Form->MainPageControl->isVisible());
        QCOMPARE(Form->MainPageControl->currentWidget(), Form->DataPage);
        QVERIFY(Form->windowTitle().endsWith(QStringLiteral(" - [rules.fdb]")));
        QVERIFY(Form->CloseProjectAction->isEnabled());
        QVERIFY(Form->ReadFromDeviceAction->isEnabled());
        for (QAction* action : {Form->SaveProjectAction, Form->CancelChangesAction, Form->DeleteAllAction,
                                Form->PrintReportAction, Form->ExportAction, Form->GraphicTypeActions[0]})
            QVERIFY2(!action->isEnabled(), qPrintable(action->text()));
        QVERIFY(!Form->CommentMemo->isEnabled());

        // Typing into the description counts as a change before the field is left.
        Form->MainPageControl->setCurrentWidget(Form->DescriptionPage);
        Form->DescriptionMemo->setFocus();
        QTest::keyClicks(Form->DescriptionMemo, QStringLiteral("Series 7"));
        Idle();
        QVERIFY(Form->SaveProjectAction->isEnabled());
        QVERIFY(Form->CancelChangesAction->isEnabled());

        Run(Form->SaveProjectAction);
        Idle();
        QVERIFY(!Form->SaveProjectAction->isEnabled());

        Download();
        Idle();
        QCOMPARE(Data->GetRecordCount(), 3);
        for (QAction* action : {Form->SaveProjectAction, Form->DeleteAllAction, Form->PrintReportAction,
                                Form->ExportAction, Form->GraphicTypeActions[5], Form->ShowStandartPatternAction})
            QVERIFY2(action->isEnabled(), qPrintable(action->text()));
        QVERIFY(Form->CommentMemo->isEnabled());
        Form->GraphicTypeActions[3]->trigger();
        Idle();
        QVERIFY(!Form->ShowStandartPatternAction->isEnabled());
        QVERIFY(!Form->StandartPatternCheckBox->isEnabled());
    }

    void DownloadTwiceAddsNothingTheSecondTime() {
        CreateProject("download.fdb");
        QList<int> summaries;
        for (int round = 0; round < 2; ++round) {
            testing::AnswerNextDialog<TDownloadSummaryForm>(
                Form.get(),
                [&summaries](TDownloadSummaryForm& summary) {
                    summaries << summary.ResultsInDeviceMemoryLabel->text().toInt()
                              << summary.ResultsAddedToProjectLabel->text().toInt();
                    summary.accept();
                },
                2000);
            Run(Form->ReadFromDeviceAction);
        }
        QVERIFY2(Messages->Shown.isEmpty(), qPrintable(Messages->Shown.value(0).Text));
        QCOMPARE(summaries, (QList<int>{3, 3, 3, 0}));
        QCOMPARE(Data->GetRecordCount(), 3);
        // The last row is current and shown.
        QCOMPARE(Data->ResultDataSet().RecNo(), 3);
        QVERIFY(!Form->ParamStringGrid->item(1, 1)->text().isEmpty());
        QCOMPARE(Form->MainDBGrid->currentIndex().row(), 2);
        QVERIFY(Messages->Shown.isEmpty());
    }

    void SaveQuestionCancelKeepsTheProjectAndShowsNoDialog() {
        CreateProject("keep.fdb");
        Download();
        Messages->Answers = {MessageAnswer::Cancel};
        Messages->FileDialogsShown = 0;
        Run(Form->OpenProjectAction);
        QCOMPARE(Messages->FileDialogsShown, 0);
        QVERIFY(Data->IsProjectOpen());
        QCOMPARE(Data->GetRecordCount(), 3);
        QCOMPARE(Messages->Shown.size(), 1);
        QCOMPARE(Messages->Shown[0].Text, QStringLiteral("Сохранить изменеия в проекте\nkeep.fdb ?"));
        QCOMPARE(Messages->Shown[0].Icon, MessageIcon::Warning);
        QCOMPARE(Messages->Shown[0].Buttons, MessageButtons::YesNoCancel);
    }

    void SaveQuestionYesSavesAndNoDrops() {
        CreateProject("yes.fdb");
        Download();
        Form->CommentMemo->setFocus();
        QTest::keyClicks(Form->CommentMemo, QStringLiteral("cracked"));
        // Closing while the comment is still being typed: Yes saves that edit too.
        Messages->Answers = {MessageAnswer::Yes};
        Run(Form->CloseProjectAction);
        QVERIFY(!Data->IsProjectOpen());
        QCOMPARE(Form->windowTitle(), QStringLiteral("ZEMVALKORTA-1.0"));
        QVERIFY(!Form->MainPageControl->isVisible());
        QVERIFY(Data->OpenProject(ProjectPath("yes.fdb").toStdString()));
        QCOMPARE(Data->GetRecordCount(), 3);
        Data->ResultDataSet().Last();
        QCOMPARE(QString::fromStdString(Data->MeasureComment()), QStringLiteral("cracked"));
        Data->CloseProject();

        CreateProject("no.fdb");
        Download();
        Messages->Answers = {MessageAnswer::No};
        Run(Form->CloseProjectAction);
        QVERIFY(!Data->IsProjectOpen());
        QVERIFY(Data->OpenProject(ProjectPath("no.fdb").toStdString()));
        QCOMPARE(Data->GetRecordCount(), 0);
    }

    void DeleteAllThenCancelChangesBringsRowsBack() {
        CreateProject("delete.fdb");
        Download();
        Run(Form->SaveProjectAction);
        Messages->Answers = {MessageAnswer::Yes};
        Run(Form->DeleteAllAction);
        QCOMPARE(Data->GetRecordCount(), 0);
        QCOMPARE(Form->ParamStringGrid->item(0, 1)->text(), QString());
        QCOMPARE(Messages->Shown.last().Text, QStringLiteral("Удалить все записи из проекта?"));
        Run(Form->CancelChangesAction);
        QCOMPARE(Data->GetRecordCount(), 3);
        QVERIFY(!Form->ParamStringGrid->item(0, 1)->text().isEmpty());
    }

    void OpeningAFileOfAnotherKindFails() {
        const QString path = ProjectPath("other.fdb");
        QFile other(path);
        QVERIFY(other.open(QIODevice::WriteOnly));
        other.write("not a database");
        other.close();
        Messages->NextFile = path;
        Run(Form->OpenProjectAction);
        QVERIFY(!Data->IsProjectOpen());
        QCOMPARE(Messages->Shown.last().Text, QStringLiteral("Не удалось открыть проект!"));
        QCOMPARE(Messages->Shown.last().Icon, MessageIcon::Error);
        // The engine's reason waits behind the box's details button.
        QVERIFY2(Messages->Shown.last().Details.contains(QStringLiteral("other.fdb")),
                 qPrintable(Messages->Shown.last().Details));
        QVERIFY(!QApplication::overrideCursor());
        QCOMPARE(Form->windowTitle(), QStringLiteral("ZEMVALKORTA-1.0"));
    }

    void ProjectNamedAtStartIsOpened() {
        const QString path = ProjectPath("named.fdb");
        {
            TMainDataModule other;
            QVERIFY(other.CreateProject(QFile::encodeName(path).toStdString()));
        }
        Form->OpenProjectAtStart(Folder.path() + QStringLiteral("/./named.fdb"));
        QVERIFY(Data->IsProjectOpen());
        QVERIFY2(Form->windowTitle().contains(QStringLiteral("named.fdb")), qPrintable(Form->windowTitle()));
        QVERIFY(Messages->Shown.isEmpty());

        Run(Form->CloseProjectAction);
        Form->OpenProjectAtStart(ProjectPath("missing.fdb"));
        QVERIFY(!Data->IsProjectOpen());
        QCOMPARE(Messages->Shown.last().Text, QStringLiteral("Не удалось открыть проект!"));
        QVERIFY(!QFile::exists(ProjectPath("missing.fdb")));
    }

    void GridClicksOpenTheRightDialogs() {
        CreateProject("clicks.fdb");
        Download();
        TMeasureResult measure;
        QCOMPARE(Data->ReadMeasure(measure), 0);
        QTableWidget* grid = Form->DetailsStringGrid;
        for (int column = 1; column <= ChannelCount; ++column) {
            const bool concrete = RoleOfChannel(measure, column - 1) == ChannelRole::Concrete;
            int opened = 0;
            testing::AnswerNextDialog<TSetChannelPropertiesForm>(
                Form.get(),
                [&opened](TSetChannelPropertiesForm& dialog) {
                    opened = dialog.GetChannelNumber();
                    dialog.reject();
                },
                30);
            const QPoint header(grid->columnViewportPosition(column) + 5, grid->rowViewportPosition(0) + 5);
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, header);
            QTest::qWait(400);
            QCOMPARE(opened, concrete ? column : 0);
            QCOMPARE(Form->focusWidget(), Form->MainDBGrid);
        }

        // A right click opens nothing and leaves the focus where it is.
        Form->CommentMemo->setFocus();
        bool opened = false;
        testing::AnswerNextDialog<TSetParamForm>(
            Form.get(),
            [&opened](TSetParamForm& dialog) {
                opened = true;
                dialog.reject();
            },
            30);
        QTest::mouseClick(Form->ParamStringGrid->viewport(), Qt::RightButton, {}, QPoint(20, 20));
        QTest::qWait(400);
        QVERIFY(!opened);
        QCOMPARE(Form->focusWidget(), Form->CommentMemo);
    }

    void GeometryChangeResetsDimensionsAndKeepsMasses() {
        CreateProject("geometry.fdb");
        Download();
        TMeasureResult before;
        QCOMPARE(Data->ReadMeasure(before), 0);
        const int target = before.GeometryKind == 1 ? 0 : 1;
        testing::AnswerNextDialog<TSetParamForm>(Form.get(), [target](TSetParamForm& dialog) {
            dialog.SetGeometryKind(target);
            dialog.accept();
        });
        QTest::mouseClick(Form->ParamStringGrid->viewport(), Qt::LeftButton, {}, QPoint(20, 20));
        TMeasureResult after;
        QCOMPARE(Data->ReadMeasure(after), 0);
        QCOMPARE(after.GeometryKind, target);
        const double side = target == 1 ? 70.0 : 100.0;
        for (int c = 0; c < ChannelCount; ++c) {
            QCOMPARE(after.PatternDimensions[c][0], side);
            QCOMPARE(after.PatternDimensions[c][2], side);
            QCOMPARE(after.PatternVolume[c], side * side * side / 1000.0);
            QCOMPARE(after.PatternPrimaryWeight[c], before.PatternPrimaryWeight[c]);
            QVERIFY(after.PatternAge[c] == before.PatternAge[c]);
        }
    }

    void TooltipNamesTheCell() {
        CreateProject("tooltip.fdb");
        QTableWidget* grid = Form->DetailsStringGrid;
        const QPoint cell(grid->columnViewportPosition(1) + 5, grid->rowViewportPosition(4) + 5);
        Form->DetailsStringGridMouseMove(cell);
        QCOMPARE(grid->toolTip(), QStringLiteral("Col: 1; Row: 4"));
        QCOMPARE(Form->HintPanel->text(), QStringLiteral("Col: 1; Row: 4"));
        Form->DetailsStringGridMouseMove(QPoint(5, grid->rowViewportPosition(0) + 5));
        QCOMPARE(grid->toolTip(), QString());
    }

    void ExportColoursAndTablesThroughTheWindow() {
        CreateProject("commands.fdb");
        Download();
        TMeasureResult measure;
        QCOMPARE(Data->ReadMeasure(measure), 0);

        // The current measurement's raw curves, one line per sample.
        const QString exported = Folder.filePath(QStringLiteral("exported.txt"));
        Messages->NextFile = exported;
        Run(Form->ExportAction);
        QFile text(exported);
        QVERIFY(text.open(QIODevice::ReadOnly));
        QCOMPARE(text.readAll().count('\n'), measure.PointCount);
        // A cancelled file dialog writes nothing.
        const QStringList filesBefore = QDir(Folder.path()).entryList(QDir::Files);
        const int dialogsBefore = Messages->FileDialogsShown;
        Run(Form->ExportAction);
        QCOMPARE(Messages->FileDialogsShown, dialogsBefore + 1);
        QCOMPARE(QDir(Folder.path()).entryList(QDir::Files), filesBefore);

        // A colour picked for channel 1 paints its legend square.
        constexpr ColorValue Picked = 0x00FF00;
        testing::AnswerNextDialog<TSetColorsForm>(Form.get(), [](TSetColorsForm& form) {
            form.SetChannelColor(0, Picked);
            form.accept();
        });
        Run(Form->ColorsAction);
        QCOMPARE(Form->LegendSquares[1]->palette().color(QPalette::Window), ToQColor(Picked));
        // Cancelled, nothing changes.
        testing::AnswerNextDialog<TSetColorsForm>(Form.get(), [](TSetColorsForm& form) {
            form.SetChannelColor(0, 0x0000FF);
            form.reject();
        });
        Run(Form->ColorsAction);
        QCOMPARE(Form->LegendSquares[1]->palette().color(QPalette::Window), ToQColor(Picked));

        bool tableShown = false, aboutShown = false;
        testing::AnswerNextDialog<TViewFTableForm>(Form.get(), [&tableShown](TViewFTableForm& form) {
            tableShown = true;
            form.reject();
        });
        Run(Form->FrostResistanceTableAction);
        testing::AnswerNextDialog<TAboutForm>(Form.get(), [&aboutShown](TAboutForm& form) {
            aboutShown = true;
            form.reject();
        });
        Run(Form->AboutAction);
        QVERIFY(tableShown);
        QVERIFY(aboutShown);
        QVERIFY(Messages->Shown.isEmpty());
    }

    // After a download the last row is current and scrolled into view, also in a list that shows one row.
    void CurrentRowAlwaysShown() {
        CreateProject("scrolled.fdb");
        QTableView* list = Form->MainDBGrid;
        // Room for one and a half rows.
        list->setFixedHeight(80);
        Idle();
        const int wanted = list->verticalHeader()->defaultSectionSize() * 3 / 2;
        list->setFixedHeight(80 + wanted - list->viewport()->height());
        Idle();
        QCOMPARE(list->viewport()->height(), wanted);
        Download();
        Idle();
        const QModelIndex current = list->currentIndex();
        QCOMPARE(current.row(), Data->GetRecordCount() - 1);
        QVERIFY2(list->viewport()->rect().contains(list->visualRect(current)),
                 qPrintable(QStringLiteral("row at %1 in a view %2 high")
                                .arg(list->visualRect(current).top())
                                .arg(list->viewport()->height())));
        // Moving back to the first row brings it into view again.
        Data->ResultDataSet().First();
        Idle();
        QCOMPARE(list->currentIndex().row(), 0);
        QVERIFY(list->viewport()->rect().contains(list->visualRect(list->currentIndex())));
    }

    // The current row keeps its highlight after a click below the last row and after a grid dialog closed.
    void CurrentRowKeepsItsHighlight() {
        CreateProject("highlight.fdb");
        QTableView* list = Form->MainDBGrid;
        list->setFixedHeight(300);
        Download();
        Idle();
        auto selectedRow = [list] {
            const QModelIndexList rows = list->selectionModel()->selectedRows();
            return rows.size() == 1 ? rows.front().row() : -1;
        };
        const int last = Data->GetRecordCount() - 1;
        QCOMPARE(selectedRow(), last);
        const QRect lastRow = list->visualRect(list->model()->index(last, 0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(20, lastRow.bottom() + 40));
        Idle();
        QCOMPARE(list->currentIndex().row(), last);
        QCOMPARE(selectedRow(), last);

        TMeasureResult measure;
        QCOMPARE(Data->ReadMeasure(measure), 0);
        int concrete = 0;
        for (int channel = 0; channel < ChannelCount && concrete == 0; ++channel)
            if (RoleOfChannel(measure, channel) == ChannelRole::Concrete) concrete = channel + 1;
        QVERIFY(concrete > 0);
        bool opened = false;
        testing::AnswerNextDialog<TSetChannelPropertiesForm>(
            Form.get(),
            [&opened](TSetChannelPropertiesForm& dialog) {
                opened = true;
                dialog.accept();
            },
            30);
        QTableWidget* grid = Form->DetailsStringGrid;
        grid->scrollToItem(grid->item(1, concrete));
        const QPoint cell(grid->columnViewportPosition(concrete) + 5, grid->rowViewportPosition(1) + 5);
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell);
        QTRY_VERIFY(opened);
        Idle();
        QCOMPARE(list->currentIndex().row(), last);
        QCOMPARE(selectedRow(), last);
    }

    void CtrlTabAndCtrlPageKeysMoveBetweenChannelPages() {
        CreateProject("pages.fdb");
        Download();
        Idle();
        QTabWidget* pages = Form->GraphicPageControl;
        pages->setCurrentIndex(0);
        Form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(Form.get()));
        Form->MainDBGrid->setFocus();
        QTest::keyClick(Form->MainDBGrid, Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(pages->currentIndex(), 1);
        QTest::keyClick(Form->MainDBGrid, Qt::Key_PageDown, Qt::ControlModifier);
        QCOMPARE(pages->currentIndex(), 2);
        QTest::keyClick(Form->MainDBGrid, Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(pages->currentIndex(), 0);
        QTest::keyClick(Form->MainDBGrid, Qt::Key_PageUp, Qt::ControlModifier);
        QCOMPARE(pages->currentIndex(), 2);
        QTest::keyClick(Form->MainDBGrid, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(pages->currentIndex(), 1);
        // From the comment field as well.
        Form->CommentMemo->setFocus();
        QTest::keyClick(Form->CommentMemo, Qt::Key_PageDown, Qt::ControlModifier);
        QCOMPARE(pages->currentIndex(), 2);
    }

    // Size, position and splitters come back from a section of their own; the other keys stay as they were.
    void WindowPlacementKeptInItsOwnSection() {
        QFile::remove(SettingsPath());
        CreateProject("placement.fdb");
        // Inside the test screen of 800 x 600: a window larger than the screen would come back smaller.
        Form->setGeometry(40, 30, 740, 565);
        Idle();
        Form->MainSplitter->setSizes({740 - 500, 500});
        Form->CommentSplitter->setSizes({400, 120});
        Idle();
        const int right = Form->MainSplitter->sizes().value(1);
        const int comment = Form->CommentSplitter->sizes().value(1);
        QVERIFY(right >= 480);
        QVERIFY(Form->close());
        Data->CloseProject();

        QFile file(SettingsPath());
        QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
        const QString text = QString::fromUtf8(file.readAll());
        for (const char* key : {"[Graphics]",
                                "FrostGraphicType=",
                                "ShowStandartPattern=",
                                "StandartSeriesColor=",
                                "SeriesColor0=",
                                "SeriesColor1=",
                                "SeriesColor2=",
                                "[DeviceScreenShot]",
                                "PenColor=",
                                "BackgroundColor=",
                                "[DataProcessing]",
                                "NewProcessing=",
                                "[MainWindow]",
                                "Left=40",
                                "Top=30",
                                "Width=740",
                                "Height=565",
                                "Maximized=",
                                "RightPartWidth=",
                                "CommentPanelHeight="})
            QVERIFY2(text.contains(QString::fromLatin1(key)), key);
        // The program's own keys sit before the window's section, as they always did.
        QVERIFY(text.indexOf(QStringLiteral("[MainWindow]")) > text.indexOf(QStringLiteral("NewProcessing=")));

        TMainForm again(*Data, SettingsPath());
        QCOMPARE(again.geometry(), QRect(40, 30, 740, 565));
        // The splitters take their parts when the data page is first laid out, as when a project opens.
        again.show();
        QVERIFY(QTest::qWaitForWindowExposed(&again));
        again.MainPageControl->setCurrentWidget(again.DataPage);
        again.MainPageControl->show();
        QCoreApplication::processEvents();
        QCOMPARE(again.MainSplitter->sizes().value(1), right);
        QCOMPARE(again.CommentSplitter->sizes().value(1), comment);
    }

    // The tool bar's commands differ in look, and a disabled one looks different from an enabled one.
    void ToolbarIconsDistinctWithADisabledLook() {
        const QList<QAction*> commands{
            Form->CreateNewProjectAction,     Form->OpenProjectAction,   Form->SaveProjectAction,
            Form->CloseProjectAction,         Form->CancelChangesAction, Form->DeleteAllAction,
            Form->ReadFromDeviceAction,       Form->PrintReportAction,   Form->ExportAction,
            Form->FrostResistanceTableAction, Form->ScreenShotAction};
        QList<QImage> looks;
        for (QAction* action : commands) {
            const QImage normal = action->icon().pixmap(24, QIcon::Normal).toImage();
            const QImage disabled = action->icon().pixmap(24, QIcon::Disabled).toImage();
            QVERIFY2(!normal.isNull(), qPrintable(action->text()));
            QVERIFY2(normal != disabled, qPrintable(action->text()));
            for (qsizetype other = 0; other < looks.size(); ++other)
                QVERIFY2(looks[other] != normal,
                         qPrintable(action->text() + QStringLiteral(" looks like ") + commands[other]->text()));
            looks << normal;
        }
    }

    // Another program holds the edited row: the save and the save asked for
    // on closing both end in the lock-conflict message, the window stays with
    // the edit cached, and once the row is free the same edit is saved.
    void SaveThatMeetsALockKeepsTheWindowAndTheEdit() {
        CreateProject("locked.fdb");
        Download();
        Run(Form->SaveProjectAction);
        QVERIFY(!Data->IsModified());
        const FieldValue heldKey = Data->ResultDataSet().Value(MeasureResultTablePk);
        Form->CommentMemo->setFocus();
        QTest::keyClicks(Form->CommentMemo, QStringLiteral("held"));

        FirebirdSession other;
        other.Attach(ConnectionParameters{ProjectPath("locked.fdb").toStdString(), "SYSDBA", ProjectPassword});
        other.StartTransaction();
        other.Execute(
            "UPDATE MEASURE_RESULT_TABLE SET MEASURE_NUMBER = MEASURE_NUMBER WHERE MEASURE_RESULT_TABLE_PK = ?",
            {heldKey});
        const QString lockText = WordDatabaseError(DatabaseErrorKind::LockConflict, QString()).Text;
        const qsizetype before = Messages->Shown.size();
        Run(Form->SaveProjectAction);
        QCOMPARE(Messages->Shown.size(), before + 1);
        QCOMPARE(Messages->Shown.last().Text, lockText);
        QCOMPARE(Messages->Shown.last().Icon, MessageIcon::Error);
        QVERIFY(Data->IsModified());

        Messages->Answers = {MessageAnswer::Yes};
        QVERIFY(!Form->close());
        QCOMPARE(Messages->Shown.last().Text, lockText);
        QVERIFY(Data->IsProjectOpen());
        QVERIFY(Data->IsModified());

        other.Rollback();
        other.Detach();
        const qsizetype afterLock = Messages->Shown.size();
        Run(Form->SaveProjectAction);
        QCOMPARE(Messages->Shown.size(), afterLock);
        QVERIFY(!Data->IsModified());
        QCOMPARE(QString::fromStdString(Data->MeasureComment()), QStringLiteral("held"));
    }

    void SettingsWrittenOnClose() {
        QFile::remove(SettingsPath());
        Form->GraphicTypeActions[4]->setEnabled(true);
        Form->GraphicTypeActions[4]->trigger();
        QVERIFY(Form->close());
        const MainSettings written = zemvalkorta::LoadSettings(SettingsPath().toStdString());
        QCOMPARE(int(written.FrostGraphicType), 4);
        QVERIFY(written.ShowStandartPattern);
        QCOMPARE(written.SeriesColor[1], 255);
    }

    void StartsWithTheStoredGraphType() {
        MainSettings settings;
        settings.FrostGraphicType = 3;
        zemvalkorta::SaveSettings(SettingsPath().toStdString(), settings);
        TMainForm form(*Data, SettingsPath());
        QVERIFY(form.GraphicTypeActions[3]->isChecked());
        settings.FrostGraphicType = 9;
        zemvalkorta::SaveSettings(SettingsPath().toStdString(), settings);
        TMainForm other(*Data, SettingsPath());
        QVERIFY(other.GraphicTypeActions[0]->isChecked());
        QCOMPARE(int(other.Settings().FrostGraphicType), 9);
    }
};

ZEMVALKORTA_UI_TEST_MAIN(MainFormTest)
#include "MainFormTest.moc"
