#include "device/sim/InstrumentServer.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <system_error>

#include "device/SocketCable.h"

namespace zemvalkorta::sim {

namespace {

constexpr auto Forever = CableClock::time_point::max();

}  // namespace

InstrumentServer::InstrumentServer(InstrumentContent content, InstrumentServerOptions options)
    : options_(std::move(options)) {
    ApplyContentFaults(content, options_.Faults);
    content_ = std::make_shared<const InstrumentContent>(std::move(content));
}

InstrumentServer::~InstrumentServer() { Stop(); }

std::string InstrumentServer::Start() {
    const auto& path = options_.SocketPath;
    if (!FitsSocketPath(path)) return "socket path too long: " + path.string();
    struct stat existing {};
    if (::lstat(path.c_str(), &existing) == 0) {
        if (!S_ISSOCK(existing.st_mode)) return "not a socket: " + path.string();
        // A socket nobody listens on is what a killed instrument leaves behind.
        const int probe = ConnectCable(path);
        if (probe >= 0) {
            ::close(probe);
            return "another instrument listens on " + path.string();
        }
        ::unlink(path.c_str());
    }
    listener_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listener_ < 0) return std::generic_category().message(errno);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.c_str(), path.native().size());
    if (::bind(listener_, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0 ||
        ::listen(listener_, 8) != 0) {
        const std::string reason = std::generic_category().message(errno);
        ::close(listener_);
        listener_ = -1;
        return reason + ": " + path.string();
    }
    int pipeEnds[2];
    if (::pipe2(pipeEnds, O_CLOEXEC) != 0) return std::generic_category().message(errno);
    wakeRead_ = pipeEnds[0];
    wakeWrite_ = pipeEnds[1];
    stopping_ = false;
    acceptor_ = std::thread([this] { AcceptLoop(); });
    return {};
}

void InstrumentServer::Stop() {
    if (!acceptor_.joinable()) return;
    stopping_ = true;
    const char wake = 1;
    [[maybe_unused]] const ssize_t written = ::write(wakeWrite_, &wake, 1);
    acceptor_.join();
    {
        std::lock_guard lock(connectionsMutex_);
        for (const int socket : connections_) ::shutdown(socket, SHUT_RDWR);
    }
    for (auto& server : servers_) server.join();
    servers_.clear();
    ::close(listener_);
    ::close(wakeRead_);
    ::close(wakeWrite_);
    listener_ = wakeRead_ = wakeWrite_ = -1;
    ::unlink(options_.SocketPath.c_str());
}

void InstrumentServer::AcceptLoop() {
    while (!stopping_) {
        pollfd entries[2] = {{listener_, POLLIN, 0}, {wakeRead_, POLLIN, 0}};
        if (::poll(entries, 2, -1) < 0 && errno != EINTR) return;
        if (stopping_) return;
        if ((entries[0].revents & POLLIN) == 0) continue;
        const int socket = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (socket < 0) continue;
        std::lock_guard lock(connectionsMutex_);
        connections_.push_back(socket);
        servers_.emplace_back([this, socket] { Serve(socket); });
    }
}

InstrumentServer::FaultAction InstrumentServer::CountTransfer(std::size_t bytes) {
    const int number = ++transfers_;
    pacedMicroseconds_ += PacedTransferTime(bytes).count();
    if (number == options_.Faults.TimeoutAt) return FaultAction::Silence;
    if (number == options_.Faults.DisconnectAt) return FaultAction::Disconnect;
    if (number == options_.Faults.StallAt) return FaultAction::Stall;
    return FaultAction::None;
}

void InstrumentServer::Serve(int socket) {
    InstrumentSession session(content_);
    bool silent = false;
    for (;;) {
        std::uint8_t head[5];
        if (CableReadAll(socket, head, Forever) != CableResult::Done) break;
        const auto started = CableClock::now();
        const std::uint32_t length = GetUint32(&head[1]);
        if (head[0] == CableOutTag) {
            if (length > 64) break;  // not a USB full-speed bulk packet: hang up
            std::vector<std::uint8_t> packet(length);
            if (CableReadAll(socket, packet, Forever) != CableResult::Done) break;
            if (silent) continue;
            const FaultAction action = CountTransfer(length);
            if (action == FaultAction::Disconnect) break;
            if (action == FaultAction::Silence) {
                silent = true;
                continue;
            }
            if (action == FaultAction::Stall) std::this_thread::sleep_for(options_.Faults.StallFor);
            session.HandleOut(packet);
            if (options_.Pace == Pacing::FullSpeed) std::this_thread::sleep_until(started + PacedTransferTime(length));
        } else if (head[0] == CableInTag) {
            if (silent) continue;
            std::vector<std::uint8_t> reply = session.HandleIn(length);
            const FaultAction action = CountTransfer(reply.size());
            if (action == FaultAction::Disconnect) break;
            if (action == FaultAction::Silence) {
                silent = true;
                continue;
            }
            if (action == FaultAction::Stall) std::this_thread::sleep_for(options_.Faults.StallFor);
            if (options_.Pace == Pacing::FullSpeed)
                std::this_thread::sleep_until(started + PacedTransferTime(reply.size()));
            std::vector<std::uint8_t> frame(4 + reply.size());
            PutUint32(frame.data(), static_cast<std::uint32_t>(reply.size()));
            std::copy(reply.begin(), reply.end(), frame.begin() + 4);
            if (CableWriteAll(socket, frame, Forever) != CableResult::Done) break;
        } else {
            break;
        }
    }
    std::lock_guard lock(connectionsMutex_);
    std::erase(connections_, socket);
    ::close(socket);
}

}  // namespace zemvalkorta::sim
