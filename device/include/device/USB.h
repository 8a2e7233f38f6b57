#pragma once

// The USB unit: one module state for the whole program holding the first
// attached instrument, fed by every backend at once (libusb and the virtual
// instrument's sockets).

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <vector>

#include "device/UsbTransport.h"

namespace zemvalkorta {

// What the download and the screen capture speak through.
class CommandPort {
public:
    virtual ~CommandPort() = default;
    // Sends the command packet (code, at most 60 parameter bytes) and, when
    // reply is not empty, reads reply.size() bytes into it. A short reply
    // counts as success and leaves the rest of the buffer as it was. Callers
    // on several threads are served one whole command at a time.
    virtual std::uint32_t UsbCommand(std::uint32_t code, std::span<const std::uint8_t> parameters,
                                     std::span<std::uint8_t> reply) = 0;
};

struct UsbOptions {
    bool UseLibusb = true;
    bool UseSockets = true;
    // Talk to this virtual instrument only instead of scanning the directory.
    std::optional<std::filesystem::path> InstrumentSocket;
    // Empty: InstrumentSocketDirectory().
    std::filesystem::path SocketDirectory;
    std::chrono::milliseconds TransferTimeout = UsbTransferTimeout;
    std::chrono::milliseconds ScanInterval{250};
    // One more way of reaching an instrument, started after the others.
    std::function<std::unique_ptr<UsbBackend>()> ExtraBackend;
};

class UsbHub final : public CommandPort, private UsbAttachSink {
public:
    explicit UsbHub(UsbOptions options = {});
    ~UsbHub() override;
    UsbHub(const UsbHub&) = delete;
    UsbHub& operator=(const UsbHub&) = delete;

    // 0 when at least one backend runs; otherwise the first backend's status
    // (0x20000000 when libusb cannot start), after undoing everything.
    std::uint32_t UsbInit();
    void UsbDone();
    bool IsDeviceConnected() const;
    std::uint32_t UsbCommand(std::uint32_t code, std::span<const std::uint8_t> parameters,
                             std::span<std::uint8_t> reply) override;

    // Scans the polling backends have finished; not while UsbInit or UsbDone runs.
    std::uint64_t CompletedScans() const;

    // Statuses of the backends' starts, in the order libusb, sockets.
    const std::vector<std::uint32_t>& BackendStatuses() const { return backendStatuses_; }

private:
    bool Attach(std::shared_ptr<UsbDeviceLink> device) override;
    void Detach(const UsbDeviceLink* device) override;
    bool HoldsDevice() const override;

    std::shared_ptr<UsbDeviceLink> HeldDevice() const;

    UsbOptions options_;
    std::vector<std::unique_ptr<UsbBackend>> backends_;
    std::vector<std::uint32_t> backendStatuses_;
    mutable std::mutex heldMutex_;
    std::shared_ptr<UsbDeviceLink> held_;
    // A command is its write and its read: the next command waits for the one
    // in flight, so no caller ever reads another one's reply.
    std::mutex commandMutex_;
};

// The packet that goes out on the OUT endpoint: code little-endian, then the
// parameters cut to 60 bytes.
std::vector<std::uint8_t> BuildCommandPacket(std::uint32_t code, std::span<const std::uint8_t> parameters);

// Program-wide unit, as the windows use it. UsbInit replaces the unit by a
// new one started with the options (the default: libusb and the sockets);
// before the first UsbInit the unit has no backend and nothing attaches.
std::shared_ptr<UsbHub> UsbUnit();
std::uint32_t UsbInit();
std::uint32_t UsbInit(const UsbOptions& options);
void UsbDone();
bool IsDeviceConnected();
std::uint32_t UsbCommand(std::uint32_t code, std::span<const std::uint8_t> parameters, std::span<std::uint8_t> reply);

}  // namespace zemvalkorta
