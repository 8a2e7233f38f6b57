#pragma once

// The grading table: which range of theta x 10^3 gives which grade F.

#include <QDialog>
#include <QString>

class QTableWidget;
class QPushButton;

namespace zemvalkorta {

// Text of one cell: the range between two boundaries of a grading row.
QString FrostRangeText(double upper, double lower);

class TViewFTableForm : public QDialog {
    Q_OBJECT
public:
    explicit TViewFTableForm(QWidget* parent = nullptr);

    QTableWidget* FTableStringGrid;
    QPushButton* BitBtn1;

private:
    void FormCreate();
    void FitGrid();
};

}  // namespace zemvalkorta
