// A download that breaks at any transfer, or reads garbage at any transfer,
// changes nothing already in the project, and the next download goes through.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "DeviceTestSupport.h"
#include "core/Processing.h"
#include "device/DownloadUnit.h"
#include "storage/MainDataModuleUnit.h"

namespace zemvalkorta::test {
namespace {

constexpr int Stored = 3;
// Information, identity, begin reading, then header and samples of each.
constexpr int Transfers = 3 + 2 * Stored;

class DownloadStoreFault : public InstrumentTest {
protected:
    void SetUp() override {
        project_ = (directory_.Path() / "project.fdb").string();
        ASSERT_TRUE(module_.CreateProject(project_)) << module_.LastError();
        ASSERT_TRUE(module_.OpenProject(project_)) << module_.LastError();
        sim::GeneratorOptions options;
        options.Count = 2;
        options.Seed = 7;
        sim::InstrumentServer first(sim::GenerateContent(options), {directory_.Path() / "first.sock", {}});
        ASSERT_EQ(first.Start(), "");
        TArrayOfMeasureResult records;
        ASSERT_EQ(DownloadMeasurements(ConnectedHub(), records), 0u);
        ASSERT_EQ(StoreDownloadedMeasures(module_, records), 2);
        module_.SaveChanges();
        first.Stop();
        ASSERT_TRUE(WaitUntil([this] { return !hub_->IsDeviceConnected(); }, std::chrono::seconds(2)));
    }

    // Whatever happened, the saved rows are all there and nothing waits to be saved.
    void ExpectProjectAsSaved() {
        EXPECT_EQ(module_.GetRecordCount(), 2);
        EXPECT_FALSE(module_.IsModified());
        module_.CloseProject();
        ASSERT_TRUE(module_.OpenProject(project_)) << module_.LastError();
        EXPECT_EQ(module_.GetRecordCount(), 2);
    }

    std::string project_;
    TMainDataModule module_;
};

TEST_F(DownloadStoreFault, EndOrStallAtEveryTransferKeepsTheProject) {
    for (const char* kind : {"disconnect-at=", "timeout-at="}) {
        for (int transfer = 1; transfer <= Transfers; ++transfer) {
            SCOPED_TRACE(kind + std::to_string(transfer));
            sim::InstrumentFaults faults;
            ASSERT_TRUE(sim::ParseFault(kind + std::to_string(transfer), faults));
            sim::GeneratorOptions options;
            options.Count = Stored;
            const std::string name = "k" + std::to_string(transfer) + kind[0] + ".sock";
            auto& instrument = StartInstrument(sim::GenerateContent(options), faults, name);
            TArrayOfMeasureResult records;
            const std::uint32_t status = DownloadMeasurements(ConnectedHub(), records);
            EXPECT_NE(status, 0u);
            EXPECT_TRUE(records.empty());
            EXPECT_EQ(StoreDownloadedMeasures(module_, records), 0);
            ExpectProjectAsSaved();
            instrument.Stop();
            ASSERT_TRUE(WaitUntil([this] { return !hub_->IsDeviceConnected(); }, std::chrono::seconds(2)));
        }
    }
}

// Replies spoiled at one transfer: the download refuses them or returns
// records the store takes whole or not at all. A header may keep its point
// count, so that spoiled channel masks and reference codes reach the store.
class GarblingPort final : public CommandPort {
public:
    GarblingPort(CommandPort& inner, int spoiled, bool keepPointCount)
        : inner_(inner), spoiled_(spoiled), keepPointCount_(keepPointCount) {}
    std::uint32_t UsbCommand(std::uint32_t code, std::span<const std::uint8_t> parameters,
                             std::span<std::uint8_t> reply) override {
        const std::uint32_t status = inner_.UsbCommand(code, parameters, reply);
        if (++count_ == spoiled_)
            for (std::size_t index = 0; index < reply.size(); ++index)
                if (!keepPointCount_ || reply.size() != HeaderBlockSize || index < 28 || index >= 32)
                    reply[index] = static_cast<std::uint8_t>(0xA5 ^ (index * 31));
        return status;
    }

private:
    CommandPort& inner_;
    int spoiled_;
    bool keepPointCount_;
    int count_ = 0;
};

// Any other exception than the processing's refusal fails the test.
TEST_F(DownloadStoreFault, GarbageAtEveryTransferStoresAllOrNothing) {
    sim::GeneratorOptions options;
    options.Count = Stored;
    StartInstrument(sim::GenerateContent(options), {}, "garbage.sock");
    int refusedByStore = 0;
    for (int attempt = 0; attempt < 2 * Transfers; ++attempt) {
        const int transfer = attempt % Transfers + 1;
        const bool keepPointCount = attempt >= Transfers;
        SCOPED_TRACE("garbage at " + std::to_string(transfer) + (keepPointCount ? " keeping the point count" : ""));
        GarblingPort port(ConnectedHub(), transfer, keepPointCount);
        TArrayOfMeasureResult records;
        const std::uint32_t status = DownloadMeasurements(port, records);
        if (status != 0) {
            EXPECT_TRUE(records.empty());
            ExpectProjectAsSaved();
            continue;
        }
        try {
            const int added = StoreDownloadedMeasures(module_, records);
            EXPECT_EQ(module_.GetRecordCount(), 2 + added);
            module_.CancelChanges();
        } catch (const ProcessingError&) {
            // Refused whole: nothing of this download stays in the cache.
            ++refusedByStore;
        }
        ExpectProjectAsSaved();
    }
    // Spoiled headers that pass the download's checks did reach the store.
    EXPECT_GT(refusedByStore, 0);
}

}  // namespace
}  // namespace zemvalkorta::test
