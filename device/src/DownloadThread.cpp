#include "device/DownloadThread.h"

#include <QMetaObject>
#include <QPointer>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "device/DownloadUnit.h"

namespace zemvalkorta {

// Everything the worker touches besides the port.
struct TDownloadThread::Shared {
    std::atomic<bool> stopRequest{false};
    std::atomic<std::uint32_t> status{DownloadStopped};
    TArrayOfMeasureResult records;  // the worker's until `ended`
    std::mutex mutex;               // guards receiver and ended
    std::condition_variable endedSignal;
    TDownloadThread* receiver = nullptr;
    bool ended = false;
    bool started = false;
    bool waitExpired = false;  // Stop's wait ended before the worker

    // Posting under the mutex: once the owner has cleared `receiver`, no new
    // message can be queued, and messages already queued die with the owner.
    void Post(int code, quint32 value) {
        std::lock_guard lock(mutex);
        if (receiver == nullptr) return;
        TDownloadThread* target = receiver;
        QMetaObject::invokeMethod(
            target,
            [target, code, value] {
                Q_EMIT target->Message(code, value);
                switch (code) {
                    case ProgressCode:
                        Q_EMIT target->Progress(static_cast<int>(value));
                        break;
                    case DoneCode:
                        Q_EMIT target->Done();
                        break;
                    case ErrorCode:
                        Q_EMIT target->Error(value);
                        break;
                    default:
                        break;
                }
            },
            Qt::QueuedConnection);
    }
};

TDownloadThread::TDownloadThread(std::shared_ptr<CommandPort> port, QObject* parent)
    : QObject(parent), port_(std::move(port)), shared_(std::make_shared<Shared>()) {
    shared_->receiver = this;
}

TDownloadThread::~TDownloadThread() {
    shared_->stopRequest.store(true, std::memory_order_release);
    {
        std::lock_guard lock(shared_->mutex);
        shared_->receiver = nullptr;
    }
    if (worker_.joinable()) worker_.join();
}

void TDownloadThread::Start() {
    {
        std::lock_guard lock(shared_->mutex);
        if (shared_->started) return;
        shared_->started = true;
    }
    worker_ = std::thread([shared = shared_, port = port_] {
        TArrayOfMeasureResult records;
        const std::uint32_t status = DownloadMeasurements(
            *port, records, [&shared](int percent) { shared->Post(ProgressCode, static_cast<quint32>(percent)); },
            &shared->stopRequest);
        if (status != 0)
            shared->Post(ErrorCode, status);
        else
            shared->Post(DoneCode, 0);
        std::lock_guard lock(shared->mutex);
        shared->records = std::move(records);
        shared->status.store(status);
        shared->ended = true;
        shared->endedSignal.notify_all();
    });
}

bool TDownloadThread::Stop(std::chrono::milliseconds wait) {
    shared_->stopRequest.store(true, std::memory_order_release);
    std::unique_lock lock(shared_->mutex);
    if (!shared_->started) return true;
    if (shared_->endedSignal.wait_for(lock, wait, [this] { return shared_->ended; })) return true;
    shared_->waitExpired = true;
    return false;
}

std::uint32_t TDownloadThread::Status() const {
    std::lock_guard lock(shared_->mutex);
    return shared_->ended && !shared_->waitExpired ? shared_->status.load() : DownloadStopped;
}

TArrayOfMeasureResult TDownloadThread::TakeResults() {
    std::lock_guard lock(shared_->mutex);
    if (!shared_->ended || shared_->waitExpired) return {};
    return std::move(shared_->records);
}

}  // namespace zemvalkorta
