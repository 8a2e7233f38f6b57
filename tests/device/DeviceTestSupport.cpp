#include "DeviceTestSupport.h"

#include <QGuiApplication>
#include <cstdlib>

namespace zemvalkorta::test {

TemporaryDirectory::TemporaryDirectory() {
    std::string pattern = (std::filesystem::temp_directory_path() / "zemvalkorta-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TemporaryDirectory::~TemporaryDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

bool WaitForScans(const UsbHub& hub, int scans) {
    const std::uint64_t target = hub.CompletedScans() + static_cast<std::uint64_t>(scans);
    return WaitUntil([&] { return hub.CompletedScans() >= target; }, std::chrono::seconds(5));
}

UsbOptions FastOptions(const std::filesystem::path& directory) {
    UsbOptions options;
    options.UseLibusb = false;
    options.SocketDirectory = directory;
    options.TransferTimeout = std::chrono::milliseconds(400);
    options.ScanInterval = std::chrono::milliseconds(40);
    return options;
}

sim::InstrumentServer& InstrumentTest::StartInstrument(sim::InstrumentContent content, sim::InstrumentFaults faults,
                                                       const std::string& name) {
    sim::InstrumentServerOptions options;
    options.SocketPath = directory_.Path() / name;
    options.Faults = faults;
    instruments_.push_back(std::make_unique<sim::InstrumentServer>(std::move(content), options));
    const std::string failure = instruments_.back()->Start();
    EXPECT_EQ(failure, "");
    return *instruments_.back();
}

UsbHub& InstrumentTest::ConnectedHub() {
    if (!hub_) {
        hub_ = std::make_shared<UsbHub>(FastOptions(directory_.Path()));
        EXPECT_EQ(hub_->UsbInit(), 0u);
    }
    EXPECT_TRUE(WaitUntil([this] { return hub_->IsDeviceConnected(); }, std::chrono::seconds(2)));
    return *hub_;
}

sim::InstrumentContent SmallContent(int count) {
    sim::InstrumentContent content;
    content.Identity = sim::IdentityBlock("ZEMVALKORTA-1.0");
    for (int i = 0; i < count; ++i) {
        sim::SimulatedMeasurement measurement;
        measurement.Header.MeasureNumber = i + 1;
        measurement.Header.Day = static_cast<std::uint8_t>(1 + i % 28);
        measurement.Header.PointCount = 10;
        for (std::size_t w = 0; w < sim::SampleWords; ++w) measurement.Words[w] = static_cast<std::uint16_t>(i + w);
        content.Measurements.push_back(measurement);
    }
    return content;
}

void EnsureApplication() {
    if (QCoreApplication::instance() != nullptr) return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "device_tests";
    static char* argv[] = {name, nullptr};
    static QGuiApplication application(argc, argv);
}

}  // namespace zemvalkorta::test
