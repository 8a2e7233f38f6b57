#pragma once

// The progress window of a download and the summary shown after it.

#include <QDialog>
#include <cstdint>
#include <memory>

#include "core/MeasureResult.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace zemvalkorta {

class TCommandPort;
class TDownloadThread;

class TDownloadForm : public QDialog {
    Q_OBJECT
public:
    explicit TDownloadForm(std::shared_ptr<TCommandPort> port, QWidget* parent = nullptr);
    // Stops the worker as Finish() does.
    ~TDownloadForm() override;

    void RunDownloadThread();
    // Asks the worker to stop, waits at most 2500 ms and takes its status
    // (0xFFFFFFFF when it has not ended); the records when it succeeded.
    void Finish();
    bool Succeeded() const { return Success; }
    std::uint32_t ResultStatus() const { return Status; }
    TArrayOfMeasureResult TakeResults() { return std::move(Results); }

    QProgressBar* DownloadGauge;
    QPushButton* CancelButton;

private:
    void WorkerMessage(int code, quint32 value);

    std::unique_ptr<TDownloadThread> Worker;
    bool Success = false;
    bool Finished = false;
    std::uint32_t Status = 0xFFFFFFFF;
    TArrayOfMeasureResult Results;
};

class TDownloadSummaryForm : public QDialog {
    Q_OBJECT
public:
    explicit TDownloadSummaryForm(QWidget* parent = nullptr);

    void SetResultsInDeviceMemory(int count);
    void SetResultsAddedToProject(int count);

    QLabel* ResultsInDeviceMemoryLabel;
    QLabel* ResultsAddedToProjectLabel;
    QPushButton* CloseButton;
};

}  // namespace zemvalkorta
