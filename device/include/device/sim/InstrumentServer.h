#pragma once

// The virtual instrument on its cable: answers the download and screen
// commands on a listening Unix-domain socket, one thread per connection.

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "device/sim/InstrumentContent.h"

namespace zemvalkorta::sim {

// One connection's conversation, without the cable: every OUT packet sets
// the reply that the following IN transfers read.
class InstrumentSession {
public:
    explicit InstrumentSession(std::shared_ptr<const InstrumentContent> content);
    void HandleOut(std::span<const std::uint8_t> packet);
    // Up to `asked` bytes of the pending reply; what is read is consumed.
    std::vector<std::uint8_t> HandleIn(std::size_t asked);

private:
    std::shared_ptr<const InstrumentContent> content_;
    std::size_t cursor_ = 0;
    std::vector<std::uint8_t> pending_;
    std::size_t pendingOffset_ = 0;
};

// The 1024-byte display memory of command 6 for this content.
std::array<std::uint8_t, 1024> RenderInstrumentScreen(const InstrumentContent& content);

enum class Pacing { Immediate, FullSpeed };

// Time a USB full-speed bulk endpoint (about 1 MB/s, whole 64-byte packets)
// needs for one transfer of `bytes`.
std::chrono::microseconds PacedTransferTime(std::size_t bytes);

struct InstrumentServerOptions {
    std::filesystem::path SocketPath;
    InstrumentFaults Faults;
    Pacing Pace = Pacing::Immediate;
};

class InstrumentServer {
public:
    InstrumentServer(InstrumentContent content, InstrumentServerOptions options);
    ~InstrumentServer();
    InstrumentServer(const InstrumentServer&) = delete;
    InstrumentServer& operator=(const InstrumentServer&) = delete;

    // Listens; an empty result means success, else the reason.
    std::string Start();
    // Closes the socket and every connection, removes the socket file.
    void Stop();

    const std::filesystem::path& SocketPath() const { return options_.SocketPath; }
    int TransferCount() const { return transfers_.load(); }
    // Sum of PacedTransferTime over the transfers served so far.
    std::chrono::microseconds PacedTime() const { return std::chrono::microseconds(pacedMicroseconds_.load()); }

private:
    void AcceptLoop();
    void Serve(int socket);
    enum class FaultAction { None, Silence, Disconnect, Stall };
    FaultAction CountTransfer(std::size_t bytes);

    std::shared_ptr<const InstrumentContent> content_;
    InstrumentServerOptions options_;
    int listener_ = -1;
    int wakeRead_ = -1;
    int wakeWrite_ = -1;
    std::atomic<bool> stopping_{false};
    std::atomic<int> transfers_{0};
    std::atomic<long long> pacedMicroseconds_{0};
    std::thread acceptor_;
    std::mutex connectionsMutex_;
    std::vector<int> connections_;
    std::vector<std::thread> servers_;
};

}  // namespace zemvalkorta::sim
