#include "ui/DownloadForm.h"

#include <QFrame>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <algorithm>

#include "device/DownloadThread.h"

namespace zemvalkorta {

TDownloadForm::TDownloadForm(std::shared_ptr<TCommandPort> port, QWidget* parent)
    : QDialog(parent), Worker(std::make_unique<TDownloadThread>(std::move(port))) {
    setWindowTitle(QStringLiteral("Чтение из прибора"));
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFixedSize(274, 91);

    auto* bevel = new QFrame(this);
    bevel->setFrameShape(QFrame::Box);
    bevel->setFrameShadow(QFrame::Sunken);
    bevel->setGeometry(4, 4, 265, 41);
    DownloadGauge = new QProgressBar(bevel);
    DownloadGauge->setGeometry(4, 8, 257, 25);
    DownloadGauge->setRange(0, 100);
    DownloadGauge->setValue(0);
    DownloadGauge->setStyleSheet(QStringLiteral("QProgressBar::chunk { background-color: navy; }"));
    CancelButton = new QPushButton(QStringLiteral("Отмена"), this);
    CancelButton->setGeometry(99, 56, 75, 25);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(Worker.get(), &TDownloadThread::Message, this, &TDownloadForm::WorkerMessage, Qt::QueuedConnection);
}

TDownloadForm::~TDownloadForm() { Finish(); }

void TDownloadForm::RunDownloadThread() { Worker->Start(); }

void TDownloadForm::WorkerMessage(int code, quint32 value) {
    switch (code) {
        case TDownloadThread::ProgressCode:
            DownloadGauge->setValue(int(std::min<quint32>(value, 100)));
            break;
        case TDownloadThread::DoneCode:
            Success = true;
            accept();
            break;
        case TDownloadThread::ErrorCode:
            Success = false;
            reject();
            break;
        default:
            break;
    }
}

void TDownloadForm::Finish() {
    if (Finished) return;
    Finished = true;
    // Messages still queued for this window must not flip the outcome after the window has closed.
    disconnect(Worker.get(), nullptr, this, nullptr);
    Worker->Stop(TDownloadThread::StopWait);
    Status = Worker->Status();
    if (Success && Status == 0) Results = Worker->TakeResults();
}

TDownloadSummaryForm::TDownloadSummaryForm(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Результаты чтения"));
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFixedSize(194, 119);
    auto* bevel = new QFrame(this);
    bevel->setFrameShape(QFrame::Box);
    bevel->setFrameShadow(QFrame::Sunken);
    bevel->setGeometry(8, 8, 177, 69);
    auto* inMemory = new QLabel(QStringLiteral("В памяти прибора"), bevel);
    inMemory->move(8, 12);
    ResultsInDeviceMemoryLabel = new QLabel(QStringLiteral("0"), bevel);
    ResultsInDeviceMemoryLabel->setGeometry(140, 12, 33, 16);
    auto* added = new QLabel(QStringLiteral("Добавлено в проект"), bevel);
    added->move(8, 40);
    ResultsAddedToProjectLabel = new QLabel(QStringLiteral("0"), bevel);
    ResultsAddedToProjectLabel->setGeometry(140, 40, 33, 16);
    CloseButton = new QPushButton(QStringLiteral("Закрыть"), this);
    CloseButton->setGeometry(59, 86, 75, 25);
    CloseButton->setDefault(true);
    connect(CloseButton, &QPushButton::clicked, this, &QDialog::accept);
}

void TDownloadSummaryForm::SetResultsInDeviceMemory(int count) {
    ResultsInDeviceMemoryLabel->setText(QString::number(count));
}

void TDownloadSummaryForm::SetResultsAddedToProject(int count) {
    ResultsAddedToProjectLabel->setText(QString::number(count));
}

}  // namespace zemvalkorta
