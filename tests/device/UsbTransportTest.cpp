#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

#include "DeviceTestSupport.h"
#include "device/DeviceScreenShotUnit.h"
#include "device/DownloadUnit.h"
#include "device/USB.h"

namespace zemvalkorta::test {
namespace {

TEST(CommandPacket, CodeLittleEndianAndParametersCutToSixty) {
    EXPECT_EQ(BuildCommandPacket(3, {}), (std::vector<std::uint8_t>{3, 0, 0, 0}));
    EXPECT_EQ(BuildCommandPacket(0x01020304, {}), (std::vector<std::uint8_t>{4, 3, 2, 1}));
    std::vector<std::uint8_t> parameters(70);
    for (std::size_t i = 0; i < parameters.size(); ++i) parameters[i] = static_cast<std::uint8_t>(i + 1);
    const auto packet = BuildCommandPacket(9, parameters);
    ASSERT_EQ(packet.size(), 64u);
    EXPECT_EQ(packet[4], 1);
    EXPECT_EQ(packet[63], 60);
}

TEST(UsbHub, WithoutInstrumentCommandsFailAndNothingIsConnected) {
    TemporaryDirectory directory;
    UsbHub hub(FastOptions(directory.Path()));
    ASSERT_EQ(hub.UsbInit(), 0u);
    ASSERT_TRUE(WaitForScans(hub));
    EXPECT_FALSE(hub.IsDeviceConnected());
    std::array<std::uint8_t, 20> reply{};
    EXPECT_EQ(hub.UsbCommand(1, {}, reply), UsbStatusNoDevice);
}

TEST(UsbHub, UnusableSocketDirectoryStillStartsWithoutInstrument) {
    UsbOptions options = FastOptions("/nonexistent/zemvalkorta");
    UsbHub hub(options);
    EXPECT_EQ(hub.UsbInit(), 0u);
    EXPECT_FALSE(hub.IsDeviceConnected());
    hub.UsbDone();
}

TEST_F(InstrumentTest, CommandWithoutReplyIsOneTransferAndNoRead) {
    auto& instrument = StartInstrument(SmallContent(1));
    UsbHub& hub = ConnectedHub();
    EXPECT_EQ(hub.UsbCommand(BeginReadingCommand, {}, {}), 0u);
    std::array<std::uint8_t, 20> information{};
    EXPECT_EQ(hub.UsbCommand(InformationCommand, {}, information), 0u);
    EXPECT_EQ(instrument.TransferCount(), 3);  // OUT, OUT, IN
    EXPECT_EQ(information[0], 16);
    EXPECT_EQ(information[12], 1);
}

TEST_F(InstrumentTest, ShortReplyLeavesTheRestOfTheBuffer) {
    StartInstrument(SmallContent(1));
    UsbHub& hub = ConnectedHub();
    std::vector<std::uint8_t> reply(40, 0xAB);  // the information block has 20 bytes
    EXPECT_EQ(hub.UsbCommand(InformationCommand, {}, reply), 0u);
    EXPECT_EQ(reply[0], 16);
    EXPECT_EQ(reply[20], 0xAB);
    EXPECT_EQ(reply[39], 0xAB);
}

TEST_F(InstrumentTest, UnplugAndPlugBackWithinASecond) {
    StartInstrument(SmallContent(1));
    UsbHub& hub = ConnectedHub();
    instruments_.back()->Stop();
    EXPECT_TRUE(WaitUntil([&hub] { return !hub.IsDeviceConnected(); }, std::chrono::seconds(1)));
    ASSERT_EQ(instruments_.back()->Start(), "");
    EXPECT_TRUE(WaitUntil([&hub] { return hub.IsDeviceConnected(); }, std::chrono::seconds(1)));
    std::array<std::uint8_t, 20> information{};
    EXPECT_EQ(hub.UsbCommand(InformationCommand, {}, information), 0u);
}

TEST_F(InstrumentTest, FirstAttachedInstrumentStaysInUse) {
    StartInstrument(SmallContent(1), {}, "a.sock");
    UsbHub& hub = ConnectedHub();
    auto& second = StartInstrument(SmallContent(2), {}, "b.sock");
    ASSERT_TRUE(WaitForScans(hub));
    std::array<std::uint8_t, 20> information{};
    ASSERT_EQ(hub.UsbCommand(InformationCommand, {}, information), 0u);
    EXPECT_EQ(information[12], 1);
    // Unplugging the instrument not in use leaves the connection alone.
    second.Stop();
    ASSERT_TRUE(WaitForScans(hub));
    EXPECT_TRUE(hub.IsDeviceConnected());
    // Unplugging the one in use moves to the other once it is back.
    ASSERT_EQ(second.Start(), "");
    instruments_.front()->Stop();
    EXPECT_TRUE(
        WaitUntil([&] { return hub.IsDeviceConnected() && hub.UsbCommand(InformationCommand, {}, information) == 0; },
                  std::chrono::seconds(1)));
    EXPECT_EQ(information[12], 2);
}

TEST_F(InstrumentTest, UnitDoneDropsTheInstrument) {
    StartInstrument(SmallContent(1));
    UsbHub& hub = ConnectedHub();
    hub.UsbDone();
    EXPECT_FALSE(hub.IsDeviceConnected());
    std::array<std::uint8_t, 20> information{};
    EXPECT_EQ(hub.UsbCommand(InformationCommand, {}, information), UsbStatusNoDevice);
}

TEST(ProgramUnit, FixedSocketInstrumentThroughTheFreeFunctions) {
    TemporaryDirectory directory;
    sim::InstrumentServerOptions serverOptions;
    serverOptions.SocketPath = directory.Path() / "direct.sock";
    sim::InstrumentServer instrument(SmallContent(2), serverOptions);
    ASSERT_EQ(instrument.Start(), "");
    UsbOptions options = FastOptions(directory.Path() / "elsewhere");
    options.InstrumentSocket = serverOptions.SocketPath;
    ASSERT_EQ(UsbInit(options), 0u);
    EXPECT_TRUE(WaitUntil([] { return IsDeviceConnected(); }, std::chrono::seconds(1)));
    std::array<std::uint8_t, 20> information{};
    EXPECT_EQ(UsbCommand(InformationCommand, {}, information), 0u);
    EXPECT_EQ(information[12], 2);
    UsbDone();
    EXPECT_FALSE(IsDeviceConnected());
}

// A link that answers the last command written, as the instrument does, and
// is slow to take the information command: a command sent meanwhile would
// take over its reply.
class LastCommandLink final : public UsbDeviceLink {
public:
    std::uint32_t BulkWrite(std::span<const std::uint8_t> data, std::chrono::milliseconds) override {
        const std::uint8_t code = data.empty() ? 0 : data[0];
        {
            std::lock_guard lock(mutex_);
            pending_.assign(code == InformationCommand ? InformationBlockSize : DisplayBytes,
                            code == InformationCommand ? 0x11 : 0x66);
        }
        if (code == InformationCommand) {
            ++slowWrites;
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
        }
        return UsbStatusSuccess;
    }
    std::uint32_t BulkRead(std::span<std::uint8_t> buffer, std::size_t& moved, std::chrono::milliseconds) override {
        std::lock_guard lock(mutex_);
        moved = std::min(buffer.size(), pending_.size());
        std::copy_n(pending_.begin(), moved, buffer.begin());
        return UsbStatusSuccess;
    }
    std::atomic<int> slowWrites{0};

private:
    std::mutex mutex_;
    std::vector<std::uint8_t> pending_;
};

class OneLinkBackend final : public UsbBackend {
public:
    explicit OneLinkBackend(std::shared_ptr<UsbDeviceLink> link) : link_(std::move(link)) {}
    std::uint32_t Start(UsbAttachSink& sink) override {
        sink_ = &sink;
        sink.Attach(link_);
        return UsbStatusSuccess;
    }
    void Stop() override {
        if (sink_ != nullptr) sink_->Detach(link_.get());
        sink_ = nullptr;
    }

private:
    std::shared_ptr<UsbDeviceLink> link_;
    UsbAttachSink* sink_ = nullptr;
};

TEST(UsbHub, CommandWaitsForTheOneInFlight) {
    auto link = std::make_shared<LastCommandLink>();
    UsbOptions options;
    options.UseLibusb = false;
    options.UseSockets = false;
    options.ExtraBackend = [link] { return std::make_unique<OneLinkBackend>(link); };
    UsbHub hub(options);
    ASSERT_EQ(hub.UsbInit(), 0u);
    ASSERT_TRUE(hub.IsDeviceConnected());
    std::array<std::uint8_t, InformationBlockSize> information{};
    std::uint32_t informationStatus = 1;
    std::thread download([&] { informationStatus = hub.UsbCommand(InformationCommand, {}, information); });
    ASSERT_TRUE(WaitUntil([&] { return link->slowWrites.load() == 1; }, std::chrono::seconds(5)));
    std::array<std::uint8_t, DisplayBytes> display{};
    EXPECT_EQ(hub.UsbCommand(ScreenCommand, {}, display), 0u);
    download.join();
    EXPECT_EQ(informationStatus, 0u);
    EXPECT_EQ(std::count(information.begin(), information.end(), 0x11), static_cast<long>(information.size()));
    EXPECT_EQ(std::count(display.begin(), display.end(), 0x66), static_cast<long>(display.size()));
}

}  // namespace
}  // namespace zemvalkorta::test
