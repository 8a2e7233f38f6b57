#include <algorithm>
#include <mutex>

#include "UsbBackends.h"
#include "device/USB.h"

namespace zemvalkorta {

std::vector<std::uint8_t> BuildCommandPacket(std::uint32_t code, std::span<const std::uint8_t> parameters) {
    const std::size_t parameterCount = std::min<std::size_t>(parameters.size(), UsbMaxPacket - 4);
    std::vector<std::uint8_t> packet(4 + parameterCount);
    for (int i = 0; i < 4; ++i) packet[i] = static_cast<std::uint8_t>(code >> (8 * i));
    std::copy_n(parameters.begin(), parameterCount, packet.begin() + 4);
    return packet;
}

UsbHub::UsbHub(UsbOptions options) : options_(std::move(options)) {}

UsbHub::~UsbHub() { UsbDone(); }

std::uint32_t UsbHub::UsbInit() {
    UsbDone();
    if (options_.UseLibusb) backends_.push_back(MakeLibusbBackend());
    if (options_.UseSockets || options_.InstrumentSocket) {
        SocketBackendOptions socketOptions;
        socketOptions.Directory = options_.SocketDirectory;
        socketOptions.FixedSocket = options_.InstrumentSocket;
        socketOptions.ScanInterval = options_.ScanInterval;
        backends_.push_back(MakeSocketBackend(socketOptions));
    }
    if (options_.ExtraBackend) backends_.push_back(options_.ExtraBackend());
    backendStatuses_.clear();
    std::uint32_t firstFailure = UsbStatusSuccess;
    bool anyRunning = false;
    for (auto& backend : backends_) {
        const std::uint32_t status = backend->Start(*this);
        backendStatuses_.push_back(status);
        if (status == UsbStatusSuccess)
            anyRunning = true;
        else if (firstFailure == UsbStatusSuccess)
            firstFailure = status;
    }
    if (anyRunning || backends_.empty()) return UsbStatusSuccess;
    UsbDone();
    return firstFailure;
}

void UsbHub::UsbDone() {
    // Backends stop before the held device is dropped: a backend thread could
    // otherwise attach a new device after the reset.
    for (auto& backend : backends_) backend->Stop();
    backends_.clear();
    std::lock_guard lock(heldMutex_);
    held_.reset();
}

bool UsbHub::IsDeviceConnected() const { return HoldsDevice(); }

std::uint64_t UsbHub::CompletedScans() const {
    std::uint64_t scans = 0;
    for (const auto& backend : backends_) scans += backend->CompletedScans();
    return scans;
}

std::shared_ptr<UsbDeviceLink> UsbHub::HeldDevice() const {
    std::lock_guard lock(heldMutex_);
    return held_;
}

std::uint32_t UsbHub::UsbCommand(std::uint32_t code, std::span<const std::uint8_t> parameters,
                                 std::span<std::uint8_t> reply) {
    // The copy keeps the device alive through the transfer even when it is
    // detached meanwhile; the transfer then fails on its own.
    std::lock_guard command(commandMutex_);
    const std::shared_ptr<UsbDeviceLink> device = HeldDevice();
    if (!device) return UsbStatusNoDevice;
    const std::vector<std::uint8_t> packet = BuildCommandPacket(code, parameters);
    const std::uint32_t written = device->BulkWrite(packet, options_.TransferTimeout);
    if (written != UsbStatusSuccess) return written;
    if (reply.empty()) return UsbStatusSuccess;
    std::size_t moved = 0;
    return device->BulkRead(reply, moved, options_.TransferTimeout);
}

bool UsbHub::Attach(std::shared_ptr<UsbDeviceLink> device) {
    std::lock_guard lock(heldMutex_);
    if (held_ || !device) return false;
    held_ = std::move(device);
    return true;
}

void UsbHub::Detach(const UsbDeviceLink* device) {
    std::lock_guard lock(heldMutex_);
    if (held_.get() == device) held_.reset();
}

bool UsbHub::HoldsDevice() const {
    std::lock_guard lock(heldMutex_);
    return held_ != nullptr;
}

namespace {

std::mutex unitMutex;
std::shared_ptr<UsbHub> unit;

}  // namespace

std::shared_ptr<UsbHub> UsbUnit() {
    std::lock_guard lock(unitMutex);
    if (!unit) {
        // Until UsbInit: a unit without backends, where nothing is ever attached.
        UsbOptions idle;
        idle.UseLibusb = false;
        idle.UseSockets = false;
        unit = std::make_shared<UsbHub>(idle);
    }
    return unit;
}

std::uint32_t UsbInit() { return UsbInit(UsbOptions{}); }

std::uint32_t UsbInit(const UsbOptions& options) {
    std::shared_ptr<UsbHub> previous;
    std::shared_ptr<UsbHub> started;
    {
        std::lock_guard lock(unitMutex);
        previous = std::move(unit);
        unit = std::make_shared<UsbHub>(options);
        started = unit;
    }
    if (previous) previous->UsbDone();
    return started->UsbInit();
}

void UsbDone() {
    std::shared_ptr<UsbHub> current;
    {
        std::lock_guard lock(unitMutex);
        current = unit;
    }
    if (current) current->UsbDone();
}

bool IsDeviceConnected() { return UsbUnit()->IsDeviceConnected(); }

std::uint32_t UsbCommand(std::uint32_t code, std::span<const std::uint8_t> parameters, std::span<std::uint8_t> reply) {
    return UsbUnit()->UsbCommand(code, parameters, reply);
}

}  // namespace zemvalkorta
