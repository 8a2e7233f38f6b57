#include "ui/HistoryForm.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QHeaderView>
#include <QInputDialog>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>

#include "storage/MainDataModuleUnit.h"
#include "storage/OperatorSettings.h"
#include "ui/CommandErrors.h"
#include "ui/MessageBoxes.h"

namespace zemvalkorta {

HistoryForm::HistoryForm(const std::vector<HistoryRow>& rows, bool wholeProject, QWidget* parent)
    : QDialog(parent), grid_(new QTableWidget(this)) {
    setWindowTitle(wholeProject ? QStringLiteral("История изменений проекта") : QStringLiteral("История изменений"));
    const QStringList headers{QStringLiteral("Время"), QStringLiteral("Измерение"), QStringLiteral("Оператор"),
                              QStringLiteral("Действие"), QStringLiteral("Изменения")};
    grid_->setColumnCount(static_cast<int>(headers.size()));
    grid_->setHorizontalHeaderLabels(headers);
    grid_->setRowCount(static_cast<int>(rows.size()));
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->setWordWrap(true);
    grid_->verticalHeader()->hide();
    for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
        const HistoryRow& entry = rows[std::size_t(row)];
        const QString cells[] = {entry.Time, entry.Measure, entry.Operator, entry.Action, entry.Changes};
        for (int column = 0; column < 5; ++column) {
            auto* item = new QTableWidgetItem(cells[column]);
            item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
            if (column == 4 && entry.Details != entry.Changes) item->setToolTip(entry.Details);
            grid_->setItem(row, column, item);
        }
    }
    grid_->setColumnHidden(1, !wholeProject);
    grid_->horizontalHeader()->setStretchLastSection(true);
    grid_->resizeColumnsToContents();
    grid_->resizeRowsToContents();
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("Закрыть"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(grid_);
    layout->addWidget(buttons);
    resize(760, 420);
}

namespace {

QMenu* ViewMenu(QWidget* window) {
    auto* main = qobject_cast<QMainWindow*>(window);
    if (main == nullptr) return nullptr;
    for (QAction* action : main->menuBar()->actions())
        if (action->menu() != nullptr && action->text() == QStringLiteral("Вид")) return action->menu();
    return main->menuBar()->addMenu(QStringLiteral("Вид"));
}

std::optional<std::int64_t> CurrentMeasure(TMainDataModule& data) {
    CachedDataSet& rows = data.ResultDataSet();
    if (!data.IsProjectOpen() || rows.IsEmpty()) return std::nullopt;
    const FieldValue key = rows.Value(MeasureResultTablePk);
    if (IsNull(key)) return std::nullopt;
    return AsInteger(key);
}

void ShowHistory(QWidget* window, TMainDataModule& data, std::optional<std::int64_t> measure) {
    std::vector<MeasureAmendment> entries;
    if (!RunCommand(window, [&] { entries = data.History().Entries(measure); })) return;
    HistoryForm form(HistoryRows(entries), !measure.has_value(), window);
    form.exec();
}

}  // namespace

void InstallHistoryCommands(QWidget* window, TMainDataModule& data, const QString& settingsPath, QTableView* list) {
    const std::string settingsFile = QFile::encodeName(settingsPath).toStdString();
    data.History().SetOperator({CurrentLoginName(), LoadOperatorName(settingsFile)});

    auto* measureHistory = new QAction(QStringLiteral("История изменений"), window);
    measureHistory->setStatusTip(QStringLiteral("Изменения текущего измерения: кто, когда и что изменил"));
    ConnectCommand(measureHistory, &QAction::triggered, window, [window, &data] {
        if (auto measure = CurrentMeasure(data)) ShowHistory(window, data, measure);
    });
    auto* projectHistory = new QAction(QStringLiteral("История изменений проекта"), window);
    projectHistory->setStatusTip(QStringLiteral("Изменения всех измерений проекта, также удалённых"));
    ConnectCommand(projectHistory, &QAction::triggered, window, [window, &data] {
        if (data.IsProjectOpen()) ShowHistory(window, data, std::nullopt);
    });
    auto* operatorName = new QAction(QStringLiteral("Оператор..."), window);
    operatorName->setStatusTip(QStringLiteral("Имя оператора, записываемое в историю изменений"));
    ConnectCommand(operatorName, &QAction::triggered, window, [window, &data, settingsFile] {
        bool accepted = false;
        const QString name =
            QInputDialog::getText(window, QStringLiteral("Оператор"), QStringLiteral("Имя оператора:"),
                                  QLineEdit::Normal, QString::fromStdString(data.History().Operator().Name), &accepted)
                .simplified();
        if (!accepted) return;
        // The name still goes into this session's history when the file cannot keep it.
        RunCommand(window, [&] { SaveOperatorName(settingsFile, name.toStdString()); });
        data.History().SetOperator({CurrentLoginName(), name.toStdString()});
    });

    if (QMenu* view = ViewMenu(window)) {
        view->addSeparator();
        view->addActions({measureHistory, projectHistory, operatorName});
        ConnectCommand(view, &QMenu::aboutToShow, window, [&data, measureHistory, projectHistory] {
            measureHistory->setEnabled(CurrentMeasure(data).has_value());
            projectHistory->setEnabled(data.IsProjectOpen());
        });
    }
    if (list != nullptr) {
        list->setContextMenuPolicy(Qt::CustomContextMenu);
        ConnectCommand(list, &QWidget::customContextMenuRequested, list, [list, &data, measureHistory](QPoint at) {
            if (!CurrentMeasure(data)) return;
            QMenu menu(list);
            measureHistory->setEnabled(true);
            menu.addAction(measureHistory);
            menu.exec(list->viewport()->mapToGlobal(at));
        });
    }
}

}  // namespace zemvalkorta
