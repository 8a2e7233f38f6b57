// Backend for virtual instruments: each one listens on a Unix-domain socket;
// a socket that accepts a connection is an attached instrument and a broken
// connection is a detach.

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "UsbBackends.h"
#include "device/SocketCable.h"

namespace zemvalkorta {

namespace {

class SocketDeviceLink final : public UsbDeviceLink {
public:
    SocketDeviceLink(int socket, UsbAttachSink& sink) : socket_(socket), sink_(sink) {}
    ~SocketDeviceLink() override {
        if (socket_ >= 0) ::close(socket_);
    }

    std::uint32_t BulkWrite(std::span<const std::uint8_t> data, std::chrono::milliseconds timeout) override {
        if (data.size() > UsbMaxPacket) return UsbStatusInvalid;
        std::unique_lock lock(transferMutex_);
        if (socket_ < 0) return UsbStatusNoDevice;
        const auto deadline = CableClock::now() + timeout;
        std::vector<std::uint8_t> frame(5 + data.size());
        frame[0] = CableOutTag;
        PutUint32(&frame[1], static_cast<std::uint32_t>(data.size()));
        std::copy(data.begin(), data.end(), frame.begin() + 5);
        return Finish(CableWriteAll(socket_, frame, deadline), lock);
    }

    std::uint32_t BulkRead(std::span<std::uint8_t> buffer, std::size_t& moved,
                           std::chrono::milliseconds timeout) override {
        moved = 0;
        std::unique_lock lock(transferMutex_);
        if (socket_ < 0) return UsbStatusNoDevice;
        const auto deadline = CableClock::now() + timeout;
        std::uint8_t request[5];
        request[0] = CableInTag;
        PutUint32(&request[1], static_cast<std::uint32_t>(buffer.size()));
        CableResult result = CableWriteAll(socket_, request, deadline);
        if (result != CableResult::Done) return Finish(result, lock);
        std::uint8_t length[4];
        result = CableReadAll(socket_, length, deadline);
        if (result != CableResult::Done) return Finish(result, lock);
        const std::uint32_t answered = GetUint32(length);
        if (answered > buffer.size()) {
            // The rest of the stream can no longer be trusted.
            Drop(lock);
            return UsbStatusOverflow;
        }
        result = CableReadAll(socket_, buffer.first(answered), deadline);
        if (result == CableResult::Done) moved = answered;
        return Finish(result, lock);
    }

    // Called by the scanner between transfers: an idle device never sends, so
    // anything readable is the far end closing (or misbehaving).
    bool CheckAlive() {
        std::unique_lock lock(transferMutex_, std::try_to_lock);
        if (!lock.owns_lock()) return true;  // a transfer runs and will notice itself
        if (socket_ < 0) return false;
        pollfd entry{socket_, POLLIN, 0};
        if (::poll(&entry, 1, 0) == 0) return true;
        Drop(lock);
        return false;
    }

private:
    std::uint32_t Finish(CableResult result, std::unique_lock<std::mutex>& lock) {
        if (result == CableResult::Done) return UsbStatusSuccess;
        // A late reply must never be read as the answer to a later command,
        // so any failed transfer ends this connection; the next scan attaches
        // the instrument again if it still listens.
        Drop(lock);
        return result == CableResult::TimedOut ? UsbStatusTimeout : UsbStatusIo;
    }

    void Drop(std::unique_lock<std::mutex>& lock) {
        if (socket_ >= 0) {
            ::close(socket_);
            socket_ = -1;
        }
        lock.unlock();
        sink_.Detach(this);
    }

    std::mutex transferMutex_;
    int socket_;
    UsbAttachSink& sink_;
};

class SocketBackend final : public UsbBackend {
public:
    explicit SocketBackend(SocketBackendOptions options) : options_(std::move(options)) {}
    ~SocketBackend() override { Stop(); }

    std::uint32_t Start(UsbAttachSink& sink) override {
        Stop();
        if (!options_.FixedSocket && options_.Directory.empty()) options_.Directory = InstrumentSocketDirectory();
        if (!options_.FixedSocket && options_.Directory.empty()) return UsbStatusUnavailable;
        sink_ = &sink;
        stopping_ = false;
        scanner_ = std::thread([this] { ScanLoop(); });
        return UsbStatusSuccess;
    }

    void Stop() override {
        if (!scanner_.joinable()) return;
        {
            std::lock_guard lock(wakeMutex_);
            stopping_ = true;
        }
        wake_.notify_all();
        scanner_.join();
        if (current_) sink_->Detach(current_.get());
        current_.reset();
    }

private:
    std::vector<std::filesystem::path> Candidates() const {
        if (options_.FixedSocket) return {*options_.FixedSocket};
        std::vector<std::filesystem::path> sockets;
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(options_.Directory, error)) {
            if (entry.is_socket(error)) sockets.push_back(entry.path());
        }
        std::sort(sockets.begin(), sockets.end());
        return sockets;
    }

    std::uint64_t CompletedScans() const override { return scans_.load(); }

    void ScanOnce() {
        if (current_ && !current_->CheckAlive()) current_.reset();
        if (current_ || sink_->HoldsDevice()) return;
        for (const auto& path : Candidates()) {
            const int socket = ConnectCable(path);
            if (socket < 0) continue;
            auto device = std::make_shared<SocketDeviceLink>(socket, *sink_);
            if (sink_->Attach(device)) current_ = std::move(device);
            return;  // attached, or another backend was first
        }
    }

    void ScanLoop() {
        std::unique_lock lock(wakeMutex_);
        while (!stopping_) {
            lock.unlock();
            ScanOnce();
            scans_.fetch_add(1);
            lock.lock();
            wake_.wait_for(lock, options_.ScanInterval, [this] { return stopping_; });
        }
    }

    SocketBackendOptions options_;
    UsbAttachSink* sink_ = nullptr;
    std::shared_ptr<SocketDeviceLink> current_;  // touched by the scanner thread only while it runs
    std::mutex wakeMutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
    std::thread scanner_;
    std::atomic<std::uint64_t> scans_{0};
};

}  // namespace

std::unique_ptr<UsbBackend> MakeSocketBackend(const SocketBackendOptions& options) {
    return std::make_unique<SocketBackend>(options);
}

}  // namespace zemvalkorta
