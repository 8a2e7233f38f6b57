// The history window: its rows (newest first, local time, what changed) made
// without a window, the read-only list, and the commands of the main window
// that open it for the current measurement and for the whole project.

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <ctime>

#include "UiTestSupport.h"
#include "core/MeasureResult.h"
#include "storage/MainDataModuleUnit.h"
#include "storage/OperatorSettings.h"
#include "ui/HistoryForm.h"
#include "ui/MainForm.h"

using namespace zemvalkorta;

namespace {

MeasureAmendment Entry(AmendmentAction action, std::optional<std::int64_t> pk, double timeUtc, FieldChanges changes) {
    MeasureAmendment entry;
    entry.Action = action;
    entry.MeasurePk = pk;
    entry.TimeUtc = timeUtc;
    entry.Login = "lab1";
    entry.OperatorName = "Иванова";
    entry.Changes = std::move(changes);
    return entry;
}

QAction* FindAction(QMenuBar* bar, const QString& menu, const QString& text) {
    for (QAction* item : bar->actions())
        if (item->menu() != nullptr && item->text() == menu)
            for (QAction* action : item->menu()->actions())
                if (action->text() == text) return action;
    return nullptr;
}

TMeasureResult Measure(std::int32_t number) {
    TMeasureResult measure;
    measure.MeasureDate = 45356.5;
    measure.MeasureNumber = number;
    measure.ActiveChannels = 1;
    measure.StandardPattern = 1;
    measure.PointCount = 4;
    measure.Period = 60;
    measure.Curves = {Curve(4, 1.0f), Curve(4, 20.0f)};
    return measure;
}

}  // namespace

class HistoryFormTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() {
        // UTC+3 all year, written as a POSIX rule: a fixed local time to
        // compare with that needs no time-zone database on the machine.
        qputenv("TZ", "MSK-3");
        tzset();
    }

    void rowsAreNewestFirstInLocalTimeAndSayWhatChanged() {
        const double noonUtc = 45356.5;  // 2024-03-05 12:00 UTC
        const std::vector<MeasureAmendment> entries{
            Entry(AmendmentAction::Begin, std::nullopt, noonUtc, {}),
            Entry(AmendmentAction::Insert, 4, noonUtc + 1.0 / 24,
                  {{"MeasureDate", "null", "\"2024-02-12T09:30:00\""}, {"MeasureNumber", "null", "7"}}),
            Entry(AmendmentAction::Edit, 4, noonUtc + 2.0 / 24,
                  {{"PatternPrimaryWeight[1]", "0", "2391.5"}, {"MEASURE_COMMENT", "null", "\"партия\""}}),
            Entry(AmendmentAction::Delete, 4, noonUtc + 3.0 / 24,
                  {{"MeasureDate", "\"2024-02-12T09:30:00\"", "null"}, {"MeasureNumber", "7", "null"}}),
        };
        const std::vector<HistoryRow> rows = HistoryRows(entries);
        QCOMPARE(rows.size(), std::size_t(4));
        QCOMPARE(rows[0].Action, QStringLiteral("Удаление"));
        QCOMPARE(rows[0].Time, QStringLiteral("05.03.2024 18:00:00"));
        QCOMPARE(rows[0].Changes,
                 QStringLiteral("измерение № 7 от 2024-02-12 09:30:00: удалённая запись сохранена в истории"));
        QCOMPARE(rows[0].Details,
                 QStringLiteral("MeasureDate: \"2024-02-12T09:30:00\" → null\nMeasureNumber: 7 → null"));
        QCOMPARE(rows[1].Action, QStringLiteral("Изменение"));
        QCOMPARE(rows[1].Changes,
                 QStringLiteral("PatternPrimaryWeight[1]: 0 → 2391.5\nMEASURE_COMMENT: null → \"партия\""));
        QCOMPARE(rows[1].Operator, QStringLiteral("Иванова (lab1)"));
        QCOMPARE(rows[1].Measure, QStringLiteral("4"));
        QCOMPARE(rows[2].Action, QStringLiteral("Добавление"));
        QCOMPARE(rows[2].Changes, QStringLiteral("измерение № 7 от 2024-02-12 09:30:00: исходная запись сохранена"));
        QCOMPARE(rows[3].Action, QStringLiteral("Начало истории"));
        QCOMPARE(rows[3].Time, QStringLiteral("05.03.2024 15:00:00"));
        QCOMPARE(rows[3].Measure, QString());
        QVERIFY(rows[3].Changes.contains(QStringLiteral("более ранние изменения неизвестны")));
    }

    void listIsReadOnlyAndShowsTheMeasureColumnForTheProjectOnly() {
        const std::vector<HistoryRow> rows =
            HistoryRows({Entry(AmendmentAction::Edit, 9, 45356.5, {{"ConcreteKind", "1", "2"}})});
        HistoryForm single(rows, false);
        QCOMPARE(single.windowTitle(), QStringLiteral("История изменений"));
        QTableWidget* grid = single.HistoryGrid();
        QCOMPARE(grid->rowCount(), 1);
        QCOMPARE(grid->item(0, 4)->text(), QStringLiteral("ConcreteKind: 1 → 2"));
        QVERIFY(grid->isColumnHidden(1));
        QVERIFY(!(grid->item(0, 4)->flags() & Qt::ItemIsEditable));
        QCOMPARE(grid->editTriggers(), QAbstractItemView::NoEditTriggers);
        HistoryForm project(rows, true);
        QCOMPARE(project.windowTitle(), QStringLiteral("История изменений проекта"));
        QVERIFY(!project.HistoryGrid()->isColumnHidden(1));
        QCOMPARE(project.HistoryGrid()->item(0, 1)->text(), QStringLiteral("9"));
    }

    void mainWindowOpensTheHistoryAndRecordsItsOperator() {
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        const QString settings = folder.filePath(QStringLiteral("zemvalkorta.ini"));
        SaveOperatorName(settings.toStdString(), "Петров");
        const std::string project = folder.filePath(QStringLiteral("p.fdb")).toStdString();
        TMainDataModule data;
        QVERIFY(data.CreateProject(project));
        TMainForm form(data, settings);
        QCOMPARE(QString::fromStdString(data.History().Operator().Name), QStringLiteral("Петров"));
        QVERIFY(data.OpenProject(project));
        data.InsertMeasure(Measure(1));
        data.InsertMeasure(Measure(2));
        data.SaveChanges();
        data.ResultDataSet().First();
        data.ResultDataSet().Delete();  // the deleted one shows in the project's history
        data.SaveChanges();
        data.ResultDataSet().First();

        QAction* measureHistory =
            FindAction(form.menuBar(), QStringLiteral("Вид"), QStringLiteral("История изменений"));
        QAction* projectHistory =
            FindAction(form.menuBar(), QStringLiteral("Вид"), QStringLiteral("История изменений проекта"));
        QVERIFY(measureHistory != nullptr);
        QVERIFY(projectHistory != nullptr);
        QVERIFY(FindAction(form.menuBar(), QStringLiteral("Вид"), QStringLiteral("Оператор...")) != nullptr);
        QCOMPARE(form.findChild<QTableView*>()->contextMenuPolicy(), Qt::CustomContextMenu);

        QStringList seen;
        testing::AnswerNextDialog<HistoryForm>(&form, [&](HistoryForm& dialog) {
            QTableWidget* grid = dialog.HistoryGrid();
            for (int row = 0; row < grid->rowCount(); ++row)
                seen << grid->item(row, 3)->text() + QLatin1Char(' ') + grid->item(row, 1)->text() + QLatin1Char(' ') +
                            grid->item(row, 2)->text();
            dialog.reject();
        });
        measureHistory->trigger();
        QCOMPARE(seen, QStringList{
                           QStringLiteral("Добавление 2 Петров (%1)").arg(QString::fromStdString(CurrentLoginName()))});

        seen.clear();
        testing::AnswerNextDialog<HistoryForm>(&form, [&](HistoryForm& dialog) {
            QTableWidget* grid = dialog.HistoryGrid();
            for (int row = 0; row < grid->rowCount(); ++row)
                seen << grid->item(row, 3)->text() + QLatin1Char(' ') + grid->item(row, 1)->text();
            dialog.reject();
        });
        projectHistory->trigger();
        QCOMPARE(seen, (QStringList{QStringLiteral("Удаление 1"), QStringLiteral("Добавление 2"),
                                    QStringLiteral("Добавление 1")}));
        data.CloseProject();
    }
};

ZEMVALKORTA_UI_TEST_MAIN(HistoryFormTest)
#include "HistoryFormTest.moc"
