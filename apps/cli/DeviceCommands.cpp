// download, screenshot: the instrument through the same USB unit as the
// window, without the window.

#include <atomic>
#include <iostream>
#include <string>
#include <thread>

#include "Commands.h"
#include "OperatorOption.h"
#include "TerminationSignals.h"
#include "core/JsonText.h"
#include "device/DeviceScreenShotUnit.h"
#include "device/DownloadUnit.h"
#include "device/USB.h"
#include "storage/MainDataModuleUnit.h"

namespace zemvalkorta::cli {

namespace {

// Backends report an instrument some time after they start (sockets are
// scanned four times a second, the USB device list once a second).
constexpr std::chrono::milliseconds AttachWait{1500};

std::shared_ptr<UsbHub> ConnectInstrument(const Arguments& arguments) {
    UsbOptions options;
    if (const auto socket = arguments.Value("--instrument-socket")) {
        options.UseLibusb = false;
        options.UseSockets = false;
        options.InstrumentSocket = *socket;
    }
    auto hub = std::make_shared<UsbHub>(options);
    hub->UsbInit();
    const auto deadline = std::chrono::steady_clock::now() + AttachWait;
    while (!hub->IsDeviceConnected() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    return hub;
}

int RunDownload(const Arguments& arguments) {
    const std::string& project = arguments.At(0);
    TMainDataModule module;
    if (!module.OpenProject(project)) throw std::runtime_error(project + ": " + module.LastError());
    const auto hub = ConnectInstrument(arguments);
    if (!hub->IsDeviceConnected()) {
        module.CloseProject();
        throw std::runtime_error(DeviceNotConnectedText);
    }
    TArrayOfMeasureResult records;
    // The download stops between transfers once a termination request came.
    std::atomic<bool> stop{false};
    int stopSignal = 0;
    const std::uint32_t status = DownloadMeasurements(
        *hub, records,
        [&](int) {
            if (stopSignal == 0) stopSignal = TakeTerminationSignal();
            if (stopSignal != 0) stop.store(true, std::memory_order_release);
        },
        &stop);
    hub->UsbDone();
    if (stopSignal != 0) throw StopRequest(stopSignal);
    if (status != 0) {
        module.CloseProject();
        throw std::runtime_error(CommunicationErrorText(status));
    }
    ApplyOperatorOption(arguments, module);
    const int added = StoreDownloadedMeasures(module, records);
    StopPoint();
    module.SaveChanges();
    module.CloseProject();
    std::cout << JsonText({{"InDevice", records.size()}, {"Added", added}}) << "\n";
    return ExitSuccess;
}

int RunScreenshot(const Arguments& arguments) {
    const std::filesystem::path output = arguments.At(0);
    const auto hub = ConnectInstrument(arguments);
    std::array<std::uint8_t, DisplayBytes> display{};
    const std::uint32_t status = FetchDisplay(*hub, display);
    hub->UsbDone();
    ScreenPicture picture;
    if (status == 0) picture.SetDisplay(display);
    // As in the window: a failed fetch still replaces the file with the empty framed picture.
    SavePictureBitmap(PaintPicture(picture, 0x000000, 0xFFFFFF), output);
    if (status != 0) throw std::runtime_error(ScreenCommunicationErrorText);
    std::cout << output.string() << "\n";
    return ExitSuccess;
}

}  // namespace

void RegisterDeviceCommands(CommandTable& table) {
    table.Add("download", "PROJECT [--instrument-socket PATH] [--operator NAME]",
              "reads every measurement of the instrument, adds the new ones to the project and saves it", RunDownload);
    table.Add("screenshot", "OUT.bmp [--instrument-socket PATH]", "writes the instrument's display as a 24-bit bitmap",
              RunScreenshot);
}

}  // namespace zemvalkorta::cli
