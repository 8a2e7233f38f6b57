#pragma once

// "История изменений": a read-only list of the entries of one measurement or
// of the whole project, newest first; and the commands that open it.

#include <QDialog>
#include <vector>

#include "ui/HistoryTexts.h"

class QTableView;
class QTableWidget;
class QWidget;

namespace zemvalkorta {

class TMainDataModule;

class HistoryForm : public QDialog {
    Q_OBJECT
public:
    // wholeProject adds the column of the measurement each entry belongs to.
    HistoryForm(const std::vector<HistoryRow>& rows, bool wholeProject, QWidget* parent = nullptr);

    QTableWidget* HistoryGrid() const { return grid_; }

private:
    QTableWidget* grid_;
};

// The history commands of the main window: the current measurement's history
// in the "Вид" menu and in the measurement list's context menu, the
// project's history, and the operator's name (kept in the settings file and
// recorded with every saved change).
void InstallHistoryCommands(QWidget* window, TMainDataModule& data, const QString& settingsPath, QTableView* list);

}  // namespace zemvalkorta
