#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "../storage/ProjectContent.h"
#include "device/DownloadUnit.h"
#include "device/USB.h"
#include "device/sim/InstrumentServer.h"
#include "storage/FirebirdSession.h"
#include "storage/MainDataModuleUnit.h"

namespace zemvalkorta::test {
namespace {

// A private Firebird server: own configuration, security database and lock
// folder in a folder of its own, loopback only.
class PrivateServer {
public:
    PrivateServer() = default;
    PrivateServer(const PrivateServer&) = delete;
    PrivateServer& operator=(const PrivateServer&) = delete;
    ~PrivateServer() { Stop(); }

    // Starts (or starts again, on the same folder and port) and waits until
    // a database can be created through it. Returns why it could not, or "".
    std::string Start(const std::filesystem::path& root, int port) {
        root_ = root;
        port_ = port;
        const std::string command = std::string(SERVER_SCRIPT) + " " + root.string() + " " + std::to_string(port) +
                                    " " + ProjectPassword + " 2>&1";
        std::FILE* pipe = popen(command.c_str(), "r");
        if (pipe == nullptr) return "could not run " + command;
        std::string output;
        char line[256] = {};
        while (std::fgets(line, sizeof line, pipe) != nullptr) output += line;
        if (pclose(pipe) != 0) return "the server could not be set up: " + output;
        // The process id is the script's last line.
        const auto lastLine = output.find_last_of('\n', output.size() >= 2 ? output.size() - 2 : 0);
        pid_ = static_cast<pid_t>(std::atoi(output.c_str() + (lastLine == std::string::npos ? 0 : lastLine + 1)));
        if (pid_ <= 0) return "the server script printed no process id: " + output;
        const std::string probe = Path("probe-" + std::to_string(++starts_) + ".fdb");
        std::string lastError;
        for (int attempt = 0; attempt < 100; ++attempt) {
            FirebirdSession session;
            try {
                session.CreateDatabase(
                    "CREATE DATABASE '" + probe + "' USER 'SYSDBA' PASSWORD '" + ProjectPassword + "'", 3);
                session.Detach();
                return {};
            } catch (const DatabaseError& error) {
                lastError = error.what();
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
            }
        }
        return "the server did not answer on port " + std::to_string(port) + ": " + lastError;
    }

    // The server is not our child (the start script is), so it is polled
    // until it has gone; a zombie waiting for its reaper counts as gone.
    void Kill(int signal) {
        if (pid_ <= 0) return;
        kill(pid_, signal);
        for (int wait = 0; wait < 200 && Alive(); ++wait) std::this_thread::sleep_for(std::chrono::milliseconds(25));
        if (Alive()) kill(pid_, SIGKILL);
        for (int wait = 0; wait < 200 && Alive(); ++wait) std::this_thread::sleep_for(std::chrono::milliseconds(25));
        pid_ = 0;
    }

    void Stop() { Kill(SIGTERM); }

    // "host/port:/path" as a user types it in the program.
    std::string Path(const std::string& name) const {
        return "localhost/" + std::to_string(port_) + ":" + (root_ / name).string();
    }

private:
    bool Alive() const {
        std::ifstream stat("/proc/" + std::to_string(pid_) + "/stat");
        std::string pid, name, state;
        return stat >> pid >> name >> state && state != "Z";
    }

    std::filesystem::path root_;
    int port_ = 0;
    pid_t pid_ = 0;
    int starts_ = 0;
};

std::filesystem::path MakeFolder() {
    char pattern[] = "/tmp/zemvalkorta-server-XXXXXX";
    if (mkdtemp(pattern) == nullptr) throw std::runtime_error("mkdtemp failed");
    return pattern;
}

// One server for the whole test program.
class FirebirdServer : public ::testing::Environment {
public:
    static inline std::filesystem::path Root;
    static inline int Port = 0;

    // A failed set-up is kept and reported by every test: GoogleTest would
    // skip the tests after a fatal failure here, and a skip reads as a pass.
    static inline std::string Failure;

    void SetUp() override {
        Root = MakeFolder();
        Port = 20000 + static_cast<int>(getpid() % 20000);
        Failure = server_.Start(Root, Port);
    }

    void TearDown() override {
        server_.Stop();
        std::error_code ignored;
        std::filesystem::remove_all(Root, ignored);
    }

    static std::string Path(const std::string& name) { return server_.Path(name); }

private:
    static inline PrivateServer server_;
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
    sim::InstrumentServer instrument(sim::GenerateContent(options), cable);
    EXPECT_EQ(instrument.Start(), "");
    UsbOptions usb;
    usb.UseLibusb = false;
    usb.SocketDirectory = folder;
    usb.ScanInterval = std::chrono::milliseconds(40);
    UsbHub hub(usb);
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
    // The save is refused while the row is still held: it did not wait for
    // the holder, who has not committed yet.
    try {
        second.SaveChanges();
        FAIL() << "the save went through a row another workstation holds";
    } catch (const DatabaseError& error) {
        EXPECT_NE(std::string(error.what()).find("conflict"), std::string::npos) << error.what();
    }
    EXPECT_TRUE(holder.InTransaction());
    EXPECT_TRUE(second.IsModified());
    EXPECT_EQ(second.MeasureComment(), "second");

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

// The server dies between the rows sent and the commit: the file keeps its
// last save, the changes stay cached, and once the server is back the next
// save connects again and saves them.
TEST_F(SharedProject, ServerGoingAwayDuringTheSaveLeavesTheFileAsSaved) {
    const std::filesystem::path root = MakeFolder();
    PrivateServer own;
    ASSERT_EQ(own.Start(root, 20000 + static_cast<int>((getpid() + 7919) % 20000)), "");
    const std::string path = own.Path("gone.fdb");
    TMainDataModule module;
    ASSERT_TRUE(module.CreateProject(path)) << module.LastError();
    ASSERT_TRUE(module.OpenProject(path)) << module.LastError();
    ASSERT_EQ(StoreDownloadedMeasures(module, Download(3)), 3);
    module.SaveChanges();
    const std::string saved = testing::CommittedContent(path);

    CachedDataSet& rows = module.ResultDataSet();
    rows.First();
    module.SetMeasureComment("первая");
    rows.Next();
    module.SetMeasureComment("вторая");
    module.PostChanges();
    bool killed = false;
    const int step = module.AddSaveStep([&](FirebirdSession&) {
        own.Kill(SIGKILL);
        killed = true;
    });
    EXPECT_THROW(module.SaveChanges(), DatabaseError);
    ASSERT_TRUE(killed);
    module.RemoveSaveStep(step);
    EXPECT_TRUE(module.IsModified());
    rows.First();
    EXPECT_EQ(rows.CurrentRowState(), RowState::Modified);
    EXPECT_EQ(module.MeasureComment(), "первая");

    ASSERT_EQ(own.Start(root, 20000 + static_cast<int>((getpid() + 7919) % 20000)), "");
    EXPECT_EQ(testing::CommittedContent(path), saved);
    module.SaveChanges();
    EXPECT_FALSE(module.IsModified());
    module.CloseProject();
    TMainDataModule reader;
    ASSERT_TRUE(reader.OpenProject(path)) << reader.LastError();
    std::vector<std::string> comments;
    for (reader.ResultDataSet().First(); !reader.ResultDataSet().Eof(); reader.ResultDataSet().Next())
        comments.push_back(reader.MeasureComment());
    std::sort(comments.begin(), comments.end());
    EXPECT_EQ(comments, (std::vector<std::string>{"", "вторая", "первая"}));
    reader.CloseProject();
    own.Stop();
    std::error_code ignored;
    std::filesystem::remove_all(root, ignored);
}

// Two workstations on one shared project: each records its own operator,
// and either sees the whole history.
TEST_F(SharedProject, EachWorkstationRecordsItsOwnOperatorInTheSharedHistory) {
    const std::string path = FirebirdServer::Path("history.fdb");
    TMainDataModule first;
    first.History().SetOperator({"lab1", "Иванова"});
    ASSERT_TRUE(first.CreateProject(path)) << first.LastError();
    ASSERT_TRUE(first.OpenProject(path)) << first.LastError();
    ASSERT_EQ(StoreDownloadedMeasures(first, Download(2)), 2);
    first.SaveChanges();

    TMainDataModule second;
    second.History().SetOperator({"lab2", "Петров"});
    ASSERT_TRUE(second.OpenProject(path)) << second.LastError();
    second.ResultDataSet().First();
    const std::int64_t edited = AsInteger(second.ResultDataSet().Value(MeasureResultTablePk));
    second.SetMeasureComment("проверено");
    second.PostChanges();
    second.SaveChanges();

    first.ResultDataSet().Last();
    first.ResultDataSet().Delete();
    first.SaveChanges();

    for (TMainDataModule* workstation : {&first, &second}) {
        const std::vector<MeasureAmendment> entries = workstation->History().Entries();
        ASSERT_EQ(entries.size(), 4u);
        EXPECT_EQ(entries[0].Action, AmendmentAction::Insert);
        EXPECT_EQ(entries[0].Login, "lab1");
        EXPECT_EQ(entries[2].Action, AmendmentAction::Edit);
        EXPECT_EQ(entries[2].MeasurePk, edited);
        EXPECT_EQ(OperatorText(entries[2].Login, entries[2].OperatorName), "Петров (lab2)");
        EXPECT_EQ(entries[3].Action, AmendmentAction::Delete);
        EXPECT_EQ(entries[3].OperatorName, "Иванова");
    }
    first.CloseProject();
    second.CloseProject();
}

}  // namespace
}  // namespace zemvalkorta::test
