#pragma once

// The report-kind dialog: only the current measurement, or every measurement
// of the project.

#include <QDialog>

class QRadioButton;

namespace zemvalkorta {

class TSelectReportTypeForm : public QDialog {
    Q_OBJECT

public:
    explicit TSelectReportTypeForm(QWidget* parent = nullptr);

    // 0 ticks the current-measurement option, anything else the other one.
    void SetReportKind(int kind);
    int GetReportKind() const;

    QRadioButton* CurrentRecordRadioButton() const { return currentRecordRadioButton_; }
    QRadioButton* AllRecordsRadioButton() const { return allRecordsRadioButton_; }

private:
    QRadioButton* currentRecordRadioButton_;
    QRadioButton* allRecordsRadioButton_;
};

}  // namespace zemvalkorta
