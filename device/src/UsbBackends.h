#pragma once

// The two backends behind the USB unit; private to the device library.

#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>

#include "device/UsbTransport.h"

namespace zemvalkorta {

struct SocketBackendOptions {
    std::filesystem::path Directory;                   // empty: InstrumentSocketDirectory()
    std::optional<std::filesystem::path> FixedSocket;  // only this instrument
    std::chrono::milliseconds ScanInterval{250};
};

std::unique_ptr<UsbBackend> MakeLibusbBackend();
std::unique_ptr<UsbBackend> MakeSocketBackend(const SocketBackendOptions& options);

}  // namespace zemvalkorta
