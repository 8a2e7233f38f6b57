// Download figures against the in-process virtual instrument.
//   1. 100 measurements (3 channels, 4320 samples) paced like a USB
//      full-speed endpoint: download time over the instrument's own paced
//      transfer time (target: at most 1.10).
//   2. 500 measurements unpaced: download, conversion, insertion and
//      processing into a new project, before saving (target: >= 300 per s).

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "device/DownloadUnit.h"
#include "device/USB.h"
#include "device/sim/InstrumentServer.h"
#ifdef WITH_STORAGE
#include "storage/MainDataModuleUnit.h"
#endif

namespace {

using namespace zemvalkorta;
using Clock = std::chrono::steady_clock;

std::filesystem::path MakeDirectory() {
    std::string pattern = (std::filesystem::temp_directory_path() / "zemvalkorta-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp");
    return pattern;
}

std::shared_ptr<UsbHub> Connect(const std::filesystem::path& socket) {
    UsbOptions options;
    options.UseLibusb = false;
    options.UseSockets = false;
    options.InstrumentSocket = socket;
    options.ScanInterval = std::chrono::milliseconds(20);
    auto hub = std::make_shared<UsbHub>(options);
    hub->UsbInit();
    const auto deadline = Clock::now() + std::chrono::seconds(2);
    while (!hub->IsDeviceConnected() && Clock::now() < deadline) usleep(5000);
    if (!hub->IsDeviceConnected()) throw std::runtime_error("instrument not attached");
    return hub;
}

int PacedDownload(const std::filesystem::path& directory) {
    sim::InstrumentServerOptions options;
    options.SocketPath = directory / "paced.sock";
    options.Pace = sim::Pacing::FullSpeed;
    sim::InstrumentServer instrument(sim::GenerateContent({.Seed = 5, .Count = 100, .FullSize = true}), options);
    if (!instrument.Start().empty()) return 1;
    auto hub = Connect(options.SocketPath);
    const auto pacedBefore = instrument.PacedTime();
    TArrayOfMeasureResult records;
    const auto started = Clock::now();
    const std::uint32_t status = DownloadMeasurements(*hub, records);
    const double seconds = std::chrono::duration<double>(Clock::now() - started).count();
    const double paced = std::chrono::duration<double>(instrument.PacedTime() - pacedBefore).count();
    std::printf(
        "paced download: %zu measurements, status %08X, %.3f s; instrument's paced transfer time %.3f s; "
        "ratio %.3f (target <= 1.10)\n",
        records.size(), status, seconds, paced, seconds / paced);
    return status == 0 && seconds / paced <= 1.10 ? 0 : 1;
}

#ifdef WITH_STORAGE
int DownloadAndStore(const std::filesystem::path& directory) {
    sim::InstrumentServerOptions options;
    options.SocketPath = directory / "unpaced.sock";
    sim::InstrumentServer instrument(sim::GenerateContent({.Seed = 9, .Count = 500, .FullSize = false}), options);
    if (!instrument.Start().empty()) return 1;
    auto hub = Connect(options.SocketPath);
    TMainDataModule module;
    const std::string project = (directory / "bench.fdb").string();
    if (!module.CreateProject(project) || !module.OpenProject(project)) {
        std::printf("cannot create the project: %s\n", module.LastError().c_str());
        return 1;
    }
    TArrayOfMeasureResult records;
    const auto started = Clock::now();
    const std::uint32_t status = DownloadMeasurements(*hub, records);
    const auto downloaded = Clock::now();
    const int added = status == 0 ? StoreDownloadedMeasures(module, records) : 0;
    const auto stored = Clock::now();
    const double total = std::chrono::duration<double>(stored - started).count();
    std::printf(
        "unpaced download+store: %d of %zu added, download %.3f s, store %.3f s, %.0f measurements/s "
        "(target >= 300)\n",
        added, records.size(), std::chrono::duration<double>(downloaded - started).count(),
        std::chrono::duration<double>(stored - downloaded).count(), added / total);
    module.CancelChanges();
    module.CloseProject();
    return added == 500 && added / total >= 300 ? 0 : 1;
}
#endif

}  // namespace

int main() {
    const auto directory = MakeDirectory();
    int failures = 0;
    try {
        failures += PacedDownload(directory);
#ifdef WITH_STORAGE
        failures += DownloadAndStore(directory);
#endif
    } catch (const std::exception& error) {
        std::printf("failed: %s\n", error.what());
        failures = 1;
    }
    std::error_code ignored;
    std::filesystem::remove_all(directory, ignored);
    return failures == 0 ? 0 : 1;
}
