#include "ui/DownloadForm.h"

#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "device/DownloadThread.h"
#include "ui/DialogLayout.h"
#include "ui/ProgressGauge.h"

namespace zemvalkorta {

TDownloadForm::TDownloadForm(std::shared_ptr<CommandPort> port, QWidget* parent)
    : QDialog(parent), worker_(std::make_unique<TDownloadThread>(std::move(port))) {
    QFrame* bevel = SetUpDialog(this, QStringLiteral("Чтение из прибора"));
    auto* bevelLayout = LayOutFrame<QVBoxLayout>(bevel, {4, 8, 4, 8});
    DownloadGauge = new ProgressGauge(bevel);
    DownloadGauge->setMinimumSize(257, 25);
    DownloadGauge->setRange(0, 100);
    DownloadGauge->setValue(0);
    bevelLayout->addWidget(DownloadGauge);
    CancelButton = MakeDialogButton(QStringLiteral("Отмена"), this);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    AddButtonRow(this, {CancelButton});
    FitDialog(this, QSize(274, 91));
    connect(worker_.get(), &TDownloadThread::Message, this, &TDownloadForm::WorkerMessage, Qt::QueuedConnection);
}

TDownloadForm::~TDownloadForm() { Finish(); }

void TDownloadForm::RunDownloadThread() { worker_->Start(); }

void TDownloadForm::WorkerMessage(int code, quint32 value) {
    switch (code) {
        case TDownloadThread::ProgressCode:
            DownloadGauge->setValue(int(std::min<quint32>(value, 100)));
            break;
        case TDownloadThread::DoneCode:
            success_ = true;
            accept();
            break;
        case TDownloadThread::ErrorCode:
            success_ = false;
            reject();
            break;
        default:
            break;
    }
}

void TDownloadForm::Finish() {
    if (finished_) return;
    finished_ = true;
    // Messages still queued for this window must not flip the outcome after the window has closed.
    disconnect(worker_.get(), nullptr, this, nullptr);
    worker_->Stop(TDownloadThread::StopWait);
    status_ = worker_->Status();
    if (success_ && status_ == 0) results_ = worker_->TakeResults();
}

TDownloadSummaryForm::TDownloadSummaryForm(QWidget* parent) : QDialog(parent) {
    QFrame* bevel = SetUpDialog(this, QStringLiteral("Результаты чтения"));
    auto* counts = LayOutFrame<QGridLayout>(bevel, {8, 10, 8, 10});
    counts->setHorizontalSpacing(16);
    counts->setVerticalSpacing(12);
    counts->addWidget(new QLabel(QStringLiteral("В памяти прибора"), bevel), 0, 0);
    ResultsInDeviceMemoryLabel = new QLabel(QStringLiteral("0"), bevel);
    counts->addWidget(ResultsInDeviceMemoryLabel, 0, 1);
    counts->addWidget(new QLabel(QStringLiteral("Добавлено в проект"), bevel), 1, 0);
    ResultsAddedToProjectLabel = new QLabel(QStringLiteral("0"), bevel);
    counts->addWidget(ResultsAddedToProjectLabel, 1, 1);
    counts->setColumnStretch(1, 1);
    CloseButton = MakeDialogButton(QStringLiteral("Закрыть"), this);
    CloseButton->setDefault(true);
    AddButtonRow(this, {CloseButton});
    FitDialog(this, QSize(194, 119));
    connect(CloseButton, &QPushButton::clicked, this, &QDialog::accept);
}

void TDownloadSummaryForm::SetResultsInDeviceMemory(int count) {
    ResultsInDeviceMemoryLabel->setText(QString::number(count));
}

void TDownloadSummaryForm::SetResultsAddedToProject(int count) {
    ResultsAddedToProjectLabel->setText(QString::number(count));
}

}  // namespace zemvalkorta
