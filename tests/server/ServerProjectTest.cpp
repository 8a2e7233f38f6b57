#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "device/DownloadUnit.h"
#include "device/USB.h"
#include "device/sim/InstrumentServer.h"
#include "storage/FirebirdSession.h"
#include "storage/MainDataModuleUnit.h"

namespace zemvalkorta::test {
namespace {

// One private server for the whole test program: own configuration, security
// database and lock folder in a temporary folder, loopback only.
class FirebirdServer : public ::testing::Environment {
public:
    static inline std::filesystem::path Root;
    static inline int Port = 0;
    static inline pid_t Pid = 0;

    // A failed set-up is kept and reported by every test: GoogleTest would
    // skip the tests after a fatal failure here, and a skip reads as a pass.
    static inline std::string Failure;

    void SetUp() override { Failure = Start(); }

    static std::string Start() {
        char pattern[] = "/tmp/zemvalkorta-server-XXXXXX";
        if (mkdtemp(pattern) == nullptr) return "no temporary folder for the server";
        Root = pattern;
        Port = 20000 + static_cast<int>(getpid() % 20000);
        const std::string command = std::string(SERVER_SCRIPT) + " " + Root.string() + " " + std::to_string(Port) +
                                    " " + ProjectPassword + " 2>&1";
        std::FILE* pipe = popen(command.c_str(), "r");
        if (pipe == nullptr) return "could not run " + command;
        std::string output;
        char line[256] = {};
        while (std::fgets(line, sizeof line, pipe) != nullptr) output += line;
        if (pclose(pipe) != 0) return "the server could not be set up: " + output;
        // The process id is the script's last line.
        const auto lastLine = output.find_last_of('\n', output.size() >= 2 ? output.size() - 2 : 0);
        Pid = static_cast<pid_t>(std::atoi(output.c_str() + (lastLine == std::string::npos ? 0 : lastLine + 1)));
        if (Pid <= 0) return "the server script printed no process id: " + output;
        // Ready when a database can be created through it.
        std::string lastError;
        for (int attempt = 0; attempt < 100; ++attempt) {
            FirebirdSession probe;
            try {
                probe.CreateDatabase(
                    "CREATE DATABASE '" + Path("probe.fdb") + "' USER 'SYSDBA' PASSWORD '" + ProjectPassword + "'", 3);
                probe.Detach();
                return {};
            } catch (const DatabaseError& error) {
                lastError = error.what();
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
            }
        }
        return "the server did not answer on port " + std::to_string(Port) + ": " + lastError;
    }

    void TearDown() override {
        // The server is not our child (the start script is), so it is
        // polled until it has gone, and killed if it will not stop.
        if (Pid > 0) {
            kill(Pid, SIGTERM);
            for (int wait = 0; wait < 100 && kill(Pid, 0) == 0; ++wait)
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            if (kill(Pid, 0) == 0) kill(Pid, SIGKILL);
        }
        std::error_code ignored;
        std::filesystem::remove_all(Root, ignored);
    }

    // "host/port:/path" as a user types it in the program.
    static std::string Path(const std::string& name) {
        return "localhost/" + std::to_string(Port) + ":" + (Root / name).string();
    }
};

[[maybe_unused]] const auto* const server = ::testing::AddGlobalTestEnvironment(new FirebirdServer);

class SharedProject : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(FirebirdServer::Failure.empty()) << FirebirdServer::Failure; }
};

TArrayOfMeasureResult Download(int count) {
    sim::GeneratorOptions options;
    options.Count = count;
    const auto folder = FirebirdServer::Root / ("instrument-" + std::to_string(count));
    std::filesystem::create_directories(folder);
    sim::InstrumentServerOptions cable;
    cable.SocketPath = folder / "a.sock";
    sim::TInstrumentServer instrument(sim::GenerateContent(options), cable);
    EXPECT_EQ(instrument.Start(), "");
    UsbOptions usb;
    usb.UseLibusb = false;
    usb.SocketDirectory = folder;
    usb.ScanInterval = std::chrono::milliseconds(40);
    TUsbHub hub(usb);
    EXPECT_EQ(hub.UsbInit(), 0u);
    for (int wait = 0; wait < 100 && !hub.IsDeviceConnected(); ++wait)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    TArrayOfMeasureResult records;
    EXPECT_EQ(DownloadMeasurements(hub, records), 0u);
    hub.UsbDone();
    return records;
}

TEST_F(SharedProject, CreateDownloadAndReopenThroughTheServer) {
    const std::string path = FirebirdServer::Path("frost.fdb");
    {
        TMainDataModule module;
        ASSERT_TRUE(module.CreateProject(path)) << module.LastError();
        ASSERT_TRUE(module.OpenProject(path)) << module.LastError();
        EXPECT_EQ(StoreDownloadedMeasures(module, Download(4)), 4);
        module.SaveChanges();
    }
    TMainDataModule again;
    ASSERT_TRUE(again.OpenProject(path)) << again.LastError();
    EXPECT_EQ(again.GetRecordCount(), 4);
    TMeasureResult measure;
    EXPECT_EQ(again.ReadMeasure(measure), 0);
    EXPECT_GT(measure.PointCount, 0);
}

// A second workstation saving a row that another one is writing at that
// moment is told so at once (the transaction does not wait), keeps its
// changes for a later save and spoils nothing of the first one's.
TEST_F(SharedProject, SecondInstanceGetsALockConflictAndLosesNothing) {
    const std::string path = FirebirdServer::Path("shared.fdb");
    {
        TMainDataModule module;
        ASSERT_TRUE(module.CreateProject(path)) << module.LastError();
        ASSERT_TRUE(module.OpenProject(path));
        ASSERT_EQ(StoreDownloadedMeasures(module, Download(3)), 3);
        module.SaveChanges();
    }
    TMainDataModule first;
    ASSERT_TRUE(first.OpenProject(path)) << first.LastError();
    // The first instance in the middle of its save: its update of every row is
    // sent but not yet committed.
    FirebirdSession holder;
    holder.Attach(ConnectionParameters{path, "SYSDBA", ProjectPassword});
    holder.StartTransaction();
    holder.Execute("UPDATE MEASURE_RESULT_TABLE SET MEASURE_COMMENT = ?", {std::string("first")});

    TMainDataModule second;
    ASSERT_TRUE(second.OpenProject(path)) << second.LastError();
    second.ResultDataSet().First();
    second.SetMeasureComment("second");
    second.PostChanges();
    const auto started = std::chrono::steady_clock::now();
    try {
        second.SaveChanges();
        FAIL() << "the save went through a row another workstation holds";
    } catch (const DatabaseError& error) {
        EXPECT_NE(std::string(error.what()).find("conflict"), std::string::npos) << error.what();
    }
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(3));
    EXPECT_TRUE(second.IsModified());

    holder.Commit();
    holder.Detach();
    // The kept change saves once the row is free again.
    second.SaveChanges();
    second.CloseProject();
    first.CloseProject();
    TMainDataModule reader;
    ASSERT_TRUE(reader.OpenProject(path));
    EXPECT_EQ(reader.GetRecordCount(), 3);
    reader.ResultDataSet().First();
    EXPECT_EQ(reader.MeasureComment(), "second");
    reader.ResultDataSet().Next();
    EXPECT_EQ(reader.MeasureComment(), "first");
}

}  // namespace
}  // namespace zemvalkorta::test
