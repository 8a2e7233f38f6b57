#pragma once

// The transport seam under the USB unit. Every way of reaching an instrument
// (libusb, the virtual instrument's cable) is a backend reporting attached
// devices to one sink; the unit above never knows which backend a device
// came from.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

namespace zemvalkorta {

// Statuses of the device link: 0 is success. Transfer failures use libusb's
// error vocabulary, 0x80000000 | -libusb_error, for every backend, so the
// operator sees the same code for the same failure whatever the cable.
inline constexpr std::uint32_t UsbStatusSuccess = 0;
inline constexpr std::uint32_t UsbStatusUnavailable = 0x20000000;  // a backend could not start
inline constexpr std::uint32_t UsbStatusIo = 0x80000001;           // LIBUSB_ERROR_IO: broken stream
inline constexpr std::uint32_t UsbStatusInvalid = 0x80000002;      // LIBUSB_ERROR_INVALID_PARAM
inline constexpr std::uint32_t UsbStatusAccess = 0x80000003;       // LIBUSB_ERROR_ACCESS: see device/README.md
inline constexpr std::uint32_t UsbStatusNoDevice = 0x80000004;     // LIBUSB_ERROR_NO_DEVICE: nothing attached
inline constexpr std::uint32_t UsbStatusTimeout = 0x80000007;      // LIBUSB_ERROR_TIMEOUT
inline constexpr std::uint32_t UsbStatusOverflow = 0x80000008;     // LIBUSB_ERROR_OVERFLOW: reply longer than asked

constexpr std::uint32_t StatusOfLibusbError(int error) {
    return 0x80000000u | static_cast<std::uint32_t>(-static_cast<std::int64_t>(error));
}

inline constexpr std::chrono::milliseconds UsbTransferTimeout{2000};
inline constexpr std::uint8_t UsbOutEndpoint = 0x02;
inline constexpr std::uint8_t UsbInEndpoint = 0x81;
inline constexpr std::size_t UsbMaxPacket = 64;

// One attached instrument. Transfers on one device are serialised by the
// device itself; a failed transfer may leave the device dead, after which
// every transfer fails with UsbStatusNoDevice.
class UsbDeviceLink {
public:
    virtual ~UsbDeviceLink() = default;
    virtual std::uint32_t BulkWrite(std::span<const std::uint8_t> data, std::chrono::milliseconds timeout) = 0;
    virtual std::uint32_t BulkRead(std::span<std::uint8_t> buffer, std::size_t& moved,
                                   std::chrono::milliseconds timeout) = 0;
};

// Receives attach and detach reports; backends call it from their own threads.
class UsbAttachSink {
public:
    virtual ~UsbAttachSink() = default;
    // Returns false when another instrument is already in use: the backend
    // then lets go of the new one.
    virtual bool Attach(std::shared_ptr<UsbDeviceLink> device) = 0;
    virtual void Detach(const UsbDeviceLink* device) = 0;
    virtual bool HoldsDevice() const = 0;
};

class UsbBackend {
public:
    virtual ~UsbBackend() = default;
    // Returns 0, or a status when the backend cannot run (the others still do).
    // The sink must outlive Stop().
    virtual std::uint32_t Start(UsbAttachSink& sink) = 0;
    // Ends the backend's threads; no report reaches the sink afterwards.
    virtual void Stop() = 0;
    // How many times a polling backend has looked for instruments since it
    // started; a backend told of attaches by the system says 0.
    virtual std::uint64_t CompletedScans() const { return 0; }
};

}  // namespace zemvalkorta
