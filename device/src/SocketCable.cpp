#include "device/SocketCable.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

namespace zemvalkorta {

namespace {

int RemainingMilliseconds(CableClock::time_point deadline) {
    if (deadline == CableClock::time_point::max()) return -1;
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - CableClock::now()).count();
    return left <= 0 ? 0 : static_cast<int>(std::min<long long>(left, 1 << 30));
}

// Waits until the socket is ready for the given event; false on time-out.
CableResult WaitReady(int socket, short events, CableClock::time_point deadline) {
    for (;;) {
        pollfd entry{socket, events, 0};
        const int timeout = RemainingMilliseconds(deadline);
        const int ready = ::poll(&entry, 1, timeout);
        if (ready > 0) return CableResult::Done;
        if (ready == 0) return CableResult::TimedOut;
        if (errno != EINTR) return CableResult::Broken;
    }
}

bool IsPrivateDirectory(const std::filesystem::path& directory) {
    struct stat info {};
    if (::lstat(directory.c_str(), &info) != 0) return false;
    return S_ISDIR(info.st_mode) && info.st_uid == ::getuid() && (info.st_mode & 077) == 0;
}

}  // namespace

CableResult CableWriteAll(int socket, std::span<const std::uint8_t> data, CableClock::time_point deadline) {
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t sent = ::send(socket, data.data() + done, data.size() - done, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (sent > 0) {
            done += static_cast<std::size_t>(sent);
            continue;
        }
        if (sent < 0 && errno == EINTR) continue;
        if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            const CableResult waited = WaitReady(socket, POLLOUT, deadline);
            if (waited != CableResult::Done) return waited;
            continue;
        }
        return CableResult::Broken;
    }
    return CableResult::Done;
}

CableResult CableReadAll(int socket, std::span<std::uint8_t> data, CableClock::time_point deadline) {
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t received = ::recv(socket, data.data() + done, data.size() - done, MSG_DONTWAIT);
        if (received > 0) {
            done += static_cast<std::size_t>(received);
            continue;
        }
        if (received == 0) return CableResult::Broken;  // the other end closed
        if (errno == EINTR) continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK) {
            const CableResult waited = WaitReady(socket, POLLIN, deadline);
            if (waited != CableResult::Done) return waited;
            continue;
        }
        return CableResult::Broken;
    }
    return CableResult::Done;
}

void PutUint32(std::uint8_t* target, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) target[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint32_t GetUint32(const std::uint8_t* source) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = (value << 8) | source[i];
    return value;
}

std::filesystem::path InstrumentSocketDirectory() {
    std::filesystem::path directory;
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && runtime[0] == '/' && IsPrivateDirectory(runtime)) {
        directory = std::filesystem::path(runtime) / "zemvalkorta";
    } else {
        directory = std::filesystem::path("/tmp") / ("zemvalkorta-" + std::to_string(::getuid()));
    }
    if (::mkdir(directory.c_str(), 0700) != 0 && errno != EEXIST) return {};
    // Another user could have planted the directory under /tmp to catch the
    // program's commands; only a private one of our own is used.
    if (!IsPrivateDirectory(directory)) return {};
    return directory;
}

bool FitsSocketPath(const std::filesystem::path& path) { return path.native().size() < sizeof(sockaddr_un::sun_path); }

int ConnectCable(const std::filesystem::path& path) {
    if (!FitsSocketPath(path)) return -1;
    const int socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (socket < 0) return -1;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.c_str(), path.native().size());
    if (::connect(socket, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0) {
        ::close(socket);
        return -1;
    }
    return socket;
}

}  // namespace zemvalkorta
