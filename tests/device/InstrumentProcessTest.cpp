// The zemvalkorta-instrument program as a separate process.

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <bit>
#include <cstdlib>

#include "DeviceTestSupport.h"
#include "device/DownloadUnit.h"

extern char** environ;

namespace zemvalkorta::test {
namespace {

class InstrumentProcess : public ::testing::Test {
protected:
    void Launch(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), INSTRUMENT_PROGRAM);
        arguments.push_back("--socket");
        arguments.push_back(SocketPath().string());
        std::vector<char*> argv;
        for (auto& argument : arguments) argv.push_back(argument.data());
        argv.push_back(nullptr);
        ASSERT_EQ(posix_spawn(&pid_, INSTRUMENT_PROGRAM, nullptr, nullptr, argv.data(), environ), 0);
        ASSERT_TRUE(WaitUntil([this] { return std::filesystem::exists(SocketPath()); }, std::chrono::seconds(5)));
    }
    // Ends the instrument as the operator would; returns its exit status.
    int End() {
        int status = -1;
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, &status, 0);
            pid_ = -1;
        }
        return status;
    }
    void TearDown() override {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    std::filesystem::path SocketPath() const { return directory_.Path() / "process.sock"; }

    TemporaryDirectory directory_;
    pid_t pid_ = -1;
};

TEST_F(InstrumentProcess, DownloadMatchesTheGeneratorAndEndingIsAnUnplug) {
    Launch({"--seed", "7", "--measurements", "5"});
    UsbHub hub(FastOptions(directory_.Path()));
    ASSERT_EQ(hub.UsbInit(), 0u);
    ASSERT_TRUE(WaitUntil([&hub] { return hub.IsDeviceConnected(); }, std::chrono::seconds(2)));
    TArrayOfMeasureResult records;
    ASSERT_EQ(DownloadMeasurements(hub, records), 0u);
    ASSERT_EQ(records.size(), 5u);

    const auto expected = sim::GenerateContent({.Seed = 7, .Count = 5, .FullSize = false});
    for (std::size_t i = 0; i < records.size(); ++i) {
        const auto& header = expected.Measurements[i].Header;
        EXPECT_EQ(records[i].MeasureNumber, header.MeasureNumber);
        EXPECT_EQ(records[i].PointCount, header.PointCount);
        EXPECT_EQ(records[i].ActiveChannels, header.ActiveChannels);
        const std::uint16_t firstWord =
            expected.Measurements[i].Words[12960u + 4320u * static_cast<unsigned>(std::countr_zero(
                                                                static_cast<unsigned>(header.ActiveChannels)))];
        EXPECT_EQ(records[i].Curves[1][0], static_cast<std::int16_t>(firstWord) * 0.0625f);
    }

    EXPECT_EQ(End(), 0);
    EXPECT_TRUE(WaitUntil([&hub] { return !hub.IsDeviceConnected(); }, std::chrono::seconds(1)));
    EXPECT_FALSE(std::filesystem::exists(SocketPath()));
    EXPECT_NE(DownloadMeasurements(hub, records), 0u);
}

TEST_F(InstrumentProcess, KilledInstrumentLeavesAStaleSocketThatIsIgnoredAndReplaced) {
    Launch({"--measurements", "1"});
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
    pid_ = -1;
    ASSERT_TRUE(std::filesystem::exists(SocketPath()));
    UsbHub hub(FastOptions(directory_.Path()));
    ASSERT_EQ(hub.UsbInit(), 0u);
    ASSERT_TRUE(WaitForScans(hub));
    EXPECT_FALSE(hub.IsDeviceConnected());
    Launch({"--measurements", "2"});
    EXPECT_TRUE(WaitUntil([&hub] { return hub.IsDeviceConnected(); }, std::chrono::seconds(1)));
    TArrayOfMeasureResult records;
    EXPECT_EQ(DownloadMeasurements(hub, records), 0u);
    EXPECT_EQ(records.size(), 2u);
}

TEST_F(InstrumentProcess, RefusesBadOptions) {
    const std::string program = INSTRUMENT_PROGRAM;
    EXPECT_NE(std::system((program + " --fault melt >/dev/null 2>&1").c_str()), 0);
    EXPECT_NE(std::system((program + " --measurements -3 >/dev/null 2>&1").c_str()), 0);
}

}  // namespace
}  // namespace zemvalkorta::test
