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

class CommandPort;
class TDownloadThread;

class TDownloadForm : public QDialog {
    Q_OBJECT
public:
    explicit TDownloadForm(std::shared_ptr<CommandPort> port, QWidget* parent = nullptr);
    // Stops the worker as Finish() does.
    ~TDownloadForm() override;

    void RunDownloadThread();
    // Asks the worker to stop, waits at most 2500 ms and takes its status
    // (0xFFFFFFFF when it has not ended); the records when it succeeded.
    void Finish();
    bool Succeeded() const { return success_; }
    std::uint32_t ResultStatus() const { return status_; }
    TArrayOfMeasureResult TakeResults() { return std::move(results_); }

    QProgressBar* DownloadGauge;
    QPushButton* CancelButton;

private:
    void WorkerMessage(int code, quint32 value);

    std::unique_ptr<TDownloadThread> worker_;
    bool success_ = false;
    bool finished_ = false;
    std::uint32_t status_ = 0xFFFFFFFF;
    TArrayOfMeasureResult results_;
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
