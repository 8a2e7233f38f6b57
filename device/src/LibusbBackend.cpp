// Backend for a real instrument through libusb-1.0. Hotplug callbacks are
// used where libusb offers them; a device-list poll once a second runs as
// well, because libusb accepts a hotplug callback even on systems where it
// can never fire (no udev, containers).

#include <libusb-1.0/libusb.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "UsbBackends.h"

namespace zemvalkorta {

namespace {

constexpr std::uint16_t InstrumentVendor = 0x03EB;
constexpr std::uint16_t InstrumentProduct = 0x0001;
constexpr std::uint8_t InstrumentDeviceClass = 0xFF;
constexpr std::uint8_t InstrumentDeviceSubclass = 0xFF;
constexpr std::uint8_t InstrumentInterfaceClass = 0xFF;
constexpr std::uint8_t InstrumentInterfaceSubclass = 0xFF;
constexpr std::uint8_t InstrumentInterfaceProtocol = 0x00;
constexpr int InstrumentInterface = 0;
constexpr std::chrono::seconds PollInterval{1};

bool ClassFieldsMatch(libusb_device* device, const libusb_device_descriptor& descriptor) {
    // Composite devices put 0 in the device class; the interface decides then.
    if (descriptor.bDeviceClass != InstrumentDeviceClass && descriptor.bDeviceClass != 0) return false;
    if (descriptor.bDeviceClass == InstrumentDeviceClass && descriptor.bDeviceSubClass != InstrumentDeviceSubclass)
        return false;
    libusb_config_descriptor* config = nullptr;
    if (libusb_get_active_config_descriptor(device, &config) != LIBUSB_SUCCESS) return false;
    bool matches = false;
    if (config->bNumInterfaces > InstrumentInterface && config->interface[InstrumentInterface].num_altsetting > 0) {
        const libusb_interface_descriptor& interface = config->interface[InstrumentInterface].altsetting[0];
        matches = interface.bInterfaceClass == InstrumentInterfaceClass &&
                  interface.bInterfaceSubClass == InstrumentInterfaceSubclass &&
                  interface.bInterfaceProtocol == InstrumentInterfaceProtocol;
    }
    libusb_free_config_descriptor(config);
    return matches;
}

class LibusbDeviceLink final : public UsbDeviceLink {
public:
    LibusbDeviceLink(std::shared_ptr<libusb_context> context, libusb_device* device, libusb_device_handle* handle)
        : context_(std::move(context)), device_(device), handle_(handle) {
        libusb_ref_device(device_);
    }
    // libusb_close() must come before libusb_exit(): the link shares the
    // context, so a worker still holding the link after the backend stopped
    // keeps the context alive until the handle is closed.
    ~LibusbDeviceLink() override {
        libusb_release_interface(handle_, InstrumentInterface);
        libusb_close(handle_);
        libusb_unref_device(device_);
    }

    std::uint32_t BulkWrite(std::span<const std::uint8_t> data, std::chrono::milliseconds timeout) override {
        std::lock_guard lock(transferMutex_);
        int moved = 0;
        const int result =
            libusb_bulk_transfer(handle_, UsbOutEndpoint, const_cast<std::uint8_t*>(data.data()),
                                 static_cast<int>(data.size()), &moved, static_cast<unsigned>(timeout.count()));
        return result == LIBUSB_SUCCESS ? UsbStatusSuccess : StatusOfLibusbError(result);
    }

    std::uint32_t BulkRead(std::span<std::uint8_t> buffer, std::size_t& moved,
                           std::chrono::milliseconds timeout) override {
        std::lock_guard lock(transferMutex_);
        int count = 0;
        const int result = libusb_bulk_transfer(handle_, UsbInEndpoint, buffer.data(), static_cast<int>(buffer.size()),
                                                &count, static_cast<unsigned>(timeout.count()));
        moved = static_cast<std::size_t>(count);
        return result == LIBUSB_SUCCESS ? UsbStatusSuccess : StatusOfLibusbError(result);
    }

    libusb_device* Device() const { return device_; }

private:
    std::mutex transferMutex_;
    std::shared_ptr<libusb_context> context_;
    libusb_device* device_;
    libusb_device_handle* handle_;
};

class LibusbBackend final : public UsbBackend {
public:
    ~LibusbBackend() override { Stop(); }

    std::uint32_t Start(UsbAttachSink& sink) override {
        Stop();
        libusb_context* context = nullptr;
        if (libusb_init(&context) != LIBUSB_SUCCESS) return UsbStatusUnavailable;
        context_ = std::shared_ptr<libusb_context>(context, libusb_exit);
        sink_ = &sink;
        stopping_ = false;
        if (libusb_has_capability(LIBUSB_CAP_HAS_HOTPLUG)) {
            const int registered =
                libusb_hotplug_register_callback(context_.get(),
                                                 static_cast<libusb_hotplug_event>(LIBUSB_HOTPLUG_EVENT_DEVICE_ARRIVED |
                                                                                   LIBUSB_HOTPLUG_EVENT_DEVICE_LEFT),
                                                 LIBUSB_HOTPLUG_NO_FLAGS, InstrumentVendor, InstrumentProduct,
                                                 LIBUSB_HOTPLUG_MATCH_ANY, &HotplugEvent, this, &hotplugHandle_);
            hasHotplug_ = registered == LIBUSB_SUCCESS;
        }
        worker_ = std::thread([this] { Run(); });
        return UsbStatusSuccess;
    }

    // Order matters: the worker stops handling events, the held link is
    // dropped, and the context goes with the last link (libusb_exit last).
    void Stop() override {
        if (worker_.joinable()) {
            {
                std::lock_guard lock(wakeMutex_);
                stopping_ = true;
            }
            wake_.notify_all();
            if (hasHotplug_)
                libusb_hotplug_deregister_callback(context_.get(), hotplugHandle_);  // wakes the event loop
            worker_.join();
            hasHotplug_ = false;
        }
        if (current_) sink_->Detach(current_.get());
        current_.reset();
        context_.reset();
    }

private:
    static int LIBUSB_CALL HotplugEvent(libusb_context*, libusb_device*, libusb_hotplug_event, void* self) {
        // Runs inside libusb_handle_events on the worker thread; opening a
        // device is not allowed here, so the poll does the work.
        auto* backend = static_cast<LibusbBackend*>(self);
        backend->pollSoon_ = true;
        return 0;
    }

    void Run() {
        auto nextPoll = std::chrono::steady_clock::now();
        for (;;) {
            {
                std::unique_lock lock(wakeMutex_);
                if (stopping_) return;
            }
            if (pollSoon_.exchange(false) || std::chrono::steady_clock::now() >= nextPoll) {
                Poll();
                nextPoll = std::chrono::steady_clock::now() + PollInterval;
            }
            if (hasHotplug_) {
                timeval wait{0, 200000};
                libusb_handle_events_timeout_completed(context_.get(), &wait, nullptr);
            } else {
                std::unique_lock lock(wakeMutex_);
                wake_.wait_until(lock, nextPoll, [this] { return stopping_; });
            }
        }
    }

    void Poll() {
        libusb_device** list = nullptr;
        const ssize_t count = libusb_get_device_list(context_.get(), &list);
        if (count < 0) return;
        bool currentPresent = false;
        libusb_device* candidate = nullptr;
        for (ssize_t i = 0; i < count; ++i) {
            libusb_device* device = list[i];
            if (current_ && device == current_->Device()) currentPresent = true;
            libusb_device_descriptor descriptor{};
            if (libusb_get_device_descriptor(device, &descriptor) != LIBUSB_SUCCESS) continue;
            if (descriptor.idVendor != InstrumentVendor || descriptor.idProduct != InstrumentProduct) continue;
            if (!ClassFieldsMatch(device, descriptor)) continue;
            if (candidate == nullptr) candidate = device;
        }
        if (current_ && !currentPresent) {
            sink_->Detach(current_.get());
            current_.reset();
        }
        if (!current_ && candidate != nullptr && !sink_->HoldsDevice()) Open(candidate);
        libusb_free_device_list(list, 1);
    }

    void Open(libusb_device* device) {
        libusb_device_handle* handle = nullptr;
        if (libusb_open(device, &handle) != LIBUSB_SUCCESS) return;  // typically no udev rule: see README
        libusb_set_auto_detach_kernel_driver(handle, 1);
        if (libusb_claim_interface(handle, InstrumentInterface) != LIBUSB_SUCCESS) {
            libusb_close(handle);
            return;
        }
        auto link = std::make_shared<LibusbDeviceLink>(context_, device, handle);
        if (sink_->Attach(link)) current_ = std::move(link);
    }

    std::shared_ptr<libusb_context> context_;
    UsbAttachSink* sink_ = nullptr;
    libusb_hotplug_callback_handle hotplugHandle_{};
    bool hasHotplug_ = false;
    std::atomic<bool> pollSoon_{false};
    std::shared_ptr<LibusbDeviceLink> current_;  // the worker's while it runs
    std::mutex wakeMutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
    std::thread worker_;
};

}  // namespace

std::unique_ptr<UsbBackend> MakeLibusbBackend() { return std::make_unique<LibusbBackend>(); }

}  // namespace zemvalkorta
