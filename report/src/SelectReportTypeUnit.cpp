#include "report/SelectReportTypeUnit.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QVBoxLayout>

namespace zemvalkorta {

TSelectReportTypeForm::TSelectReportTypeForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      currentRecordRadioButton_(new QRadioButton(QStringLiteral("Включить в отчёт только текущую запись"))),
      allRecordsRadioButton_(new QRadioButton(QStringLiteral("Включить в отчёт все записи проекта"))) {
    setWindowTitle(QStringLiteral("Выбор типа отчёта"));
    auto* frame = new QGroupBox;
    auto* options = new QVBoxLayout(frame);
    options->addWidget(currentRecordRadioButton_);
    options->addWidget(allRecordsRadioButton_);

    auto* buttons = new QDialogButtonBox;
    QPushButton* apply = buttons->addButton(QStringLiteral("Применить"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("Отмена"), QDialogButtonBox::RejectRole);
    apply->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 4, 6, 6);
    layout->setSpacing(4);
    layout->addWidget(frame);
    layout->addWidget(buttons);
    // The fixed client size of the form; the texts decide when they need more.
    setFixedSize(QSize(270, 97).expandedTo(sizeHint()));
    SetReportKind(0);
    if (const QScreen* screen = this->screen()) move(screen->availableGeometry().center() - rect().center());
}

void TSelectReportTypeForm::SetReportKind(int kind) {
    (kind == 0 ? currentRecordRadioButton_ : allRecordsRadioButton_)->setChecked(true);
}

int TSelectReportTypeForm::GetReportKind() const { return currentRecordRadioButton_->isChecked() ? 0 : 1; }

}  // namespace zemvalkorta
