// zemvalkorta-cli download against a virtual instrument, with a real project.

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>

#include "DeviceTestSupport.h"
#include "storage/MainDataModuleUnit.h"

namespace zemvalkorta::test {
namespace {

struct Outcome {
    int Status;
    std::string Output;
};

Outcome RunCli(const std::string& arguments) {
    const std::string command = std::string(CLI_PROGRAM) + " " + arguments + " 2>&1";
    FILE* pipe = ::popen(command.c_str(), "r");
    std::string output;
    std::array<char, 256> buffer{};
    while (pipe != nullptr && std::fgets(buffer.data(), buffer.size(), pipe) != nullptr) output += buffer.data();
    const int status = pipe != nullptr ? ::pclose(pipe) : -1;
    return {status, output};
}

int RowCount(const std::string& project) {
    TMainDataModule module;
    if (!module.OpenProject(project)) return -1;
    const int count = module.GetRecordCount();
    module.CloseProject();
    return count;
}

TEST_F(InstrumentTest, CliDownloadAddsNewMeasurementsOnlyAndStoresNothingOnFailure) {
    const std::string project = (directory_.Path() / "project.fdb").string();
    {
        TMainDataModule module;
        ASSERT_TRUE(module.CreateProject(project));
    }
    sim::GeneratorOptions options;
    options.Count = 4;
    auto& good = StartInstrument(sim::GenerateContent(options), {}, "good.sock");
    const std::string socket = " --instrument-socket " + good.SocketPath().string();

    Outcome outcome = RunCli("download " + project + socket);
    EXPECT_EQ(outcome.Status, 0);
    EXPECT_EQ(outcome.Output, "{\"InDevice\": 4, \"Added\": 4}\n");
    EXPECT_EQ(RowCount(project), 4);
    // The project was saved, closed and opened again in between.
    outcome = RunCli("download " + project + socket);
    EXPECT_EQ(outcome.Output, "{\"InDevice\": 4, \"Added\": 0}\n");
    EXPECT_EQ(RowCount(project), 4);

    options.Count = 6;
    options.Seed = 99;
    sim::InstrumentFaults faults;
    faults.DisconnectAt = 14;  // inside the second measurement
    auto& broken = StartInstrument(sim::GenerateContent(options), faults, "broken.sock");
    outcome = RunCli("download " + project + " --instrument-socket " + broken.SocketPath().string());
    EXPECT_NE(outcome.Status, 0);
    EXPECT_NE(outcome.Output.find("Ошибка связи 80000001"), std::string::npos) << outcome.Output;
    EXPECT_EQ(RowCount(project), 4);

    outcome = RunCli("download " + project + " --instrument-socket " + (directory_.Path() / "none.sock").string());
    EXPECT_NE(outcome.Status, 0);
    EXPECT_NE(outcome.Output.find("Прибор не подключен!"), std::string::npos) << outcome.Output;
}

}  // namespace
}  // namespace zemvalkorta::test
