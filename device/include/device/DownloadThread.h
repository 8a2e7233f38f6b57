#pragma once

// The download worker: runs DownloadMeasurements on a thread of its own and
// reports to the progress window through queued signals carrying the codes
// of the posted messages (1 progress, 2 done, 3 error).

#include <QObject>
#include <chrono>
#include <cstdint>
#include <memory>
#include <thread>

#include "core/MeasureResult.h"
#include "device/USB.h"

namespace zemvalkorta {

class TDownloadThread : public QObject {
    Q_OBJECT
public:
    enum MessageCode : int { ProgressCode = 1, DoneCode = 2, ErrorCode = 3 };
    static constexpr std::chrono::milliseconds StopWait{2500};

    explicit TDownloadThread(std::shared_ptr<CommandPort> port, QObject* parent = nullptr);
    // Stops as Stop() does, then joins the worker. The worker looks at the
    // stop request between commands and each transfer ends within its
    // time-out, so the join is bounded; nothing of the worker outlives this.
    ~TDownloadThread() override;

    void Start();
    // Asks the worker to stop and waits at most `wait`; true when it ended.
    // A worker still running then has failed: its status stays 0xFFFFFFFF
    // and its records are never handed out, even once it has ended.
    bool Stop(std::chrono::milliseconds wait = StopWait);

    // 0xFFFFFFFF until the worker has ended, then DownloadMeasurements' status.
    std::uint32_t Status() const;
    // The records; meaningful once Status() is 0. Taken out, not copied.
    TArrayOfMeasureResult TakeResults();

Q_SIGNALS:
    void Message(int code, quint32 value);
    void Progress(int percent);
    void Done();
    void Error(quint32 status);

private:
    struct Shared;
    std::shared_ptr<CommandPort> port_;
    std::shared_ptr<Shared> shared_;
    std::thread worker_;
};

}  // namespace zemvalkorta
