#include <gtest/gtest.h>

#include "DeviceTestSupport.h"
#include "device/DownloadUnit.h"

namespace zemvalkorta::test {
namespace {

struct FaultCase {
    const char* Fault;
    std::uint32_t Status;
};

class DownloadFault : public InstrumentTest, public ::testing::WithParamInterface<FaultCase> {};

// Each fault ends the download with its status and no records; the unit
// stays usable and, the fault being a one-off, the next download succeeds.
TEST_P(DownloadFault, FailsWithoutRecordsAndTheLinkRecovers) {
    sim::InstrumentFaults faults;
    ASSERT_TRUE(sim::ParseFault(GetParam().Fault, faults));
    sim::GeneratorOptions options;
    options.Count = 3;
    auto& instrument = StartInstrument(sim::GenerateContent(options), faults);
    UsbHub& hub = ConnectedHub();
    TArrayOfMeasureResult records;
    EXPECT_EQ(DownloadMeasurements(hub, records), GetParam().Status);
    EXPECT_TRUE(records.empty());

    const bool persistent = faults.WrongIdentity || faults.BadVersion || faults.BadHeader;
    ASSERT_TRUE(WaitUntil([&hub] { return hub.IsDeviceConnected(); }, std::chrono::seconds(1)));
    EXPECT_EQ(DownloadMeasurements(hub, records), persistent ? GetParam().Status : 0u);
    EXPECT_EQ(records.size(), persistent ? 0u : 3u);
    EXPECT_GT(instrument.TransferCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, DownloadFault,
    ::testing::Values(FaultCase{"wrong-identity", WrongInstrumentStatus},
                      FaultCase{"bad-version", WrongInstrumentStatus}, FaultCase{"bad-header", ImplausibleHeader},
                      FaultCase{"timeout-at=2", UsbStatusTimeout}, FaultCase{"timeout-at=9", UsbStatusTimeout},
                      FaultCase{"disconnect-at=12", UsbStatusIo}, FaultCase{"disconnect-at=1", UsbStatusIo}),
    [](const auto& info) {
        std::string name = info.param.Fault;
        for (char& character : name)
            if (!std::isalnum(static_cast<unsigned char>(character))) character = '_';
        return name;
    });

TEST(FaultOption, ParsesWhatTheProgramOffers) {
    sim::InstrumentFaults faults;
    EXPECT_TRUE(sim::ParseFault("timeout-at=7", faults));
    EXPECT_EQ(faults.TimeoutAt, 7);
    EXPECT_TRUE(sim::ParseFault("disconnect-at=3", faults));
    EXPECT_EQ(faults.DisconnectAt, 3);
    EXPECT_FALSE(sim::ParseFault("timeout-at=0", faults));
    EXPECT_FALSE(sim::ParseFault("timeout-at=3x", faults));
    EXPECT_FALSE(sim::ParseFault("explode", faults));
}

TEST(CommunicationError, EightUpperCaseHexadecimalDigits) {
    EXPECT_EQ(CommunicationErrorText(0x70000001), "Ошибка связи 70000001");
    EXPECT_EQ(CommunicationErrorText(0xFFFFFFFF), "Ошибка связи FFFFFFFF");
    EXPECT_EQ(CommunicationErrorText(0x80000007), "Ошибка связи 80000007");
    EXPECT_EQ(CommunicationErrorText(0xab), "Ошибка связи 000000AB");
}

}  // namespace
}  // namespace zemvalkorta::test
