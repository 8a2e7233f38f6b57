// Runs the built zemvalkorta-cli as a user would and checks exit status,
// stdout and stderr.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/DSPUnit.h"
#include "core/MeasureImage.h"
#include "core/MeasureJson.h"
#include "core/Processing.h"

namespace {

namespace fs = std::filesystem;
using namespace zemvalkorta;

const fs::path DemoImage = fs::path(ZEMVALKORTA_TEST_DATA) / "demo-measure.bin";

struct Outcome {
    int Status = -1;
    std::string Out;
    std::string Err;
};

std::string ReadText(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

void WriteBytes(const fs::path& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

std::string Quote(const std::string& word) {
    std::string quoted = "'";
    for (const char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

class CliTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        directory_ =
            fs::temp_directory_path() / ("zemvalkorta-cli-test-" + std::to_string(::getpid()) + "-" + info->name());
        fs::remove_all(directory_);
        fs::create_directories(directory_);
    }
    void TearDown() override { fs::remove_all(directory_); }

    fs::path Path(const std::string& name) const { return directory_ / name; }

    Outcome Run(const std::string& program, const std::vector<std::string>& arguments) const {
        std::string command = Quote(program);
        for (const std::string& argument : arguments) command += " " + Quote(argument);
        command += " >" + Quote(Path("stdout").string()) + " 2>" + Quote(Path("stderr").string());
        const int raw = std::system(command.c_str());
        Outcome outcome;
        outcome.Status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        outcome.Out = ReadText(Path("stdout"));
        outcome.Err = ReadText(Path("stderr"));
        return outcome;
    }

    Outcome Cli(const std::vector<std::string>& arguments) const { return Run(ZEMVALKORTA_CLI, arguments); }

    // A failure: the given status, nothing on stdout, one line on stderr
    // naming the program and containing `mention`.
    void ExpectFailure(const Outcome& outcome, int status, const std::string& mention) const {
        EXPECT_EQ(outcome.Status, status) << outcome.Err;
        EXPECT_EQ(outcome.Out, "");
        EXPECT_EQ(outcome.Err.rfind("zemvalkorta-cli: ", 0), 0u) << outcome.Err;
        EXPECT_EQ(std::count(outcome.Err.begin(), outcome.Err.end(), '\n'), 1) << outcome.Err;
        EXPECT_EQ(outcome.Err.back(), '\n');
        EXPECT_NE(outcome.Err.find(mention), std::string::npos) << outcome.Err;
    }

private:
    fs::path directory_;
};

bool HasKey(const std::string& json, const std::string& key) {
    return json.find("\"" + key + "\": ") != std::string::npos;
}

std::string LineOfKey(const std::string& json, const std::string& key) {
    const auto start = json.find("\"" + key + "\": ");
    if (start == std::string::npos) return {};
    return json.substr(start, json.find('\n', start) - start);
}

TEST_F(CliTest, ProcessDemoPrintsTheProcessedRecord) {
    const Outcome outcome = Cli({"process", DemoImage.string(), "--json"});
    ASSERT_EQ(outcome.Status, 0) << outcome.Err;
    EXPECT_EQ(outcome.Err, "");
    EXPECT_EQ(outcome.Out.rfind("{\n", 0), 0u);
    EXPECT_EQ(outcome.Out.substr(outcome.Out.size() - 2), "}\n");
    // The record as the core writes it, after the processing pass with the
    // program's filter window of 3 (the keys themselves are core's tests).
    const std::string image = ReadText(DemoImage);
    TMeasureResult expected;
    DecodeMeasure(std::span(reinterpret_cast<const std::uint8_t*>(image.data()), image.size()), expected);
    TMAFilter filter(3);
    ProcessMeasureRecord(expected, filter);
    EXPECT_EQ(outcome.Out, MeasureToJson(expected) + "\n");
    EXPECT_FALSE(HasKey(outcome.Out, "Curves"));
    EXPECT_EQ(LineOfKey(outcome.Out, "MeasureDate"), "\"MeasureDate\": \"2024-02-12T09:30:00\",");
    EXPECT_EQ(LineOfKey(outcome.Out, "PatternAge"), "\"PatternAge\": [\"28 сут\", \"эталон\", \"28 сут\"],");
    // The standard specimen in channel 2 is not graded; both concrete
    // specimens are, and the one that bulges more gets the lower grade.
    EXPECT_EQ(LineOfKey(outcome.Out, "FrostResistance"), "\"FrostResistance\": [300, -1, 150],");
    EXPECT_EQ(LineOfKey(outcome.Out, "AverageFrostResistance"), "\"AverageFrostResistance\": 200,");
    EXPECT_EQ(LineOfKey(outcome.Out, "FrostCycles").substr(0, 16), "\"FrostCycles\": [");
    EXPECT_NE(LineOfKey(outcome.Out, "FrostCycles").find(", -1, "), std::string::npos);
}

TEST_F(CliTest, ProcessedImageReadsBackToTheSameRecord) {
    const std::string processed = Path("processed.bin").string();
    const Outcome first = Cli({"process", DemoImage.string(), "-o", processed, "--json", "--curves"});
    ASSERT_EQ(first.Status, 0) << first.Err;
    const std::string input = ReadText(DemoImage);
    const std::string output = ReadText(processed);
    ASSERT_EQ(output.size(), input.size());
    EXPECT_NE(output, input);  // reference and difference curves and the results were filled in
    EXPECT_FALSE(fs::exists(processed + ".part"));

    const Outcome second = Cli({"process", processed, "--json", "--curves"});
    ASSERT_EQ(second.Status, 0) << second.Err;
    EXPECT_EQ(second.Out, first.Out);

    const std::string again = Path("again.bin").string();
    ASSERT_EQ(Cli({"process", processed, "-o", again}).Status, 0);
    EXPECT_EQ(ReadText(again), output);
}

TEST_F(CliTest, CurvesAreTenFullArraysInChannelOrder) {
    const Outcome outcome = Cli({"process", DemoImage.string(), "--json", "--curves"});
    ASSERT_EQ(outcome.Status, 0) << outcome.Err;
    const auto curvesAt = outcome.Out.find("\"Curves\": [\n");
    ASSERT_NE(curvesAt, std::string::npos);
    std::vector<std::string> curves;
    std::size_t position = outcome.Out.find('\n', curvesAt) + 1;
    while (outcome.Out.compare(position, 5, "    [") == 0) {
        const auto end = outcome.Out.find('\n', position);
        std::string curve = outcome.Out.substr(position, end - position);
        if (curve.back() == ',') curve.pop_back();
        curves.push_back(curve);
        position = end + 1;
    }
    ASSERT_EQ(curves.size(), 10u);
    for (const std::string& curve : curves) {
        EXPECT_EQ(std::count(curve.begin(), curve.end(), ','), 4319) << curve.substr(0, 40);
        EXPECT_EQ(curve.back(), ']');
    }
    // Channel 2's temperature curve (index 5) starts at room temperature.
    const double firstTemperature = std::stod(curves[5].substr(5));
    EXPECT_NEAR(firstTemperature, 20.0, 0.1) << curves[5].substr(0, 40);
}

TEST_F(CliTest, ProcessWithoutJsonPrintsASummary) {
    const Outcome outcome = Cli({"process", DemoImage.string()});
    ASSERT_EQ(outcome.Status, 0) << outcome.Err;
    EXPECT_NE(outcome.Out.find("Channels: все"), std::string::npos) << outcome.Out;
    EXPECT_NE(outcome.Out.find("Channel 2: standard specimen"), std::string::npos);
    EXPECT_NE(outcome.Out.find("F300"), std::string::npos);
    EXPECT_NE(outcome.Out.find("duration 23:59"), std::string::npos);
}

TEST_F(CliTest, BadImagesFailWithOneLine) {
    ExpectFailure(Cli({"process", Path("missing.bin").string()}), 1, "missing.bin");

    WriteBytes(Path("empty.bin"), "");
    ExpectFailure(Cli({"process", Path("empty.bin").string()}), 1, "empty.bin");

    const std::string demo = ReadText(DemoImage);
    WriteBytes(Path("short.bin"), demo.substr(0, 300));
    ExpectFailure(Cli({"process", Path("short.bin").string()}), 1, "short.bin");

    // A whole record whose curves were cut off: too few curves for its channels.
    WriteBytes(Path("cut.bin"), demo.substr(0, 560 + 4320 * 4 * 3));
    ExpectFailure(Cli({"process", Path("cut.bin").string(), "--json"}), 1, "cut.bin");

    std::string zeroPoints = demo;
    std::fill_n(zeroPoints.begin() + 32, 4, '\0');
    WriteBytes(Path("zero.bin"), zeroPoints);
    ExpectFailure(Cli({"process", Path("zero.bin").string()}), 1, "zero.bin");

    // A concrete specimen with no volume cannot give a theta.
    std::string noVolume = demo;
    std::fill_n(noVolume.begin() + 44, 8, '\0');
    WriteBytes(Path("novolume.bin"), noVolume);
    const std::string output = Path("never.bin").string();
    ExpectFailure(Cli({"process", Path("novolume.bin").string(), "-o", output}), 1, "novolume.bin");
    EXPECT_FALSE(fs::exists(output));
}

TEST_F(CliTest, UnwritableOutputFailsWithoutLeavingAFile) {
    const fs::path output = Path("no-such-folder") / "out.bin";
    ExpectFailure(Cli({"process", DemoImage.string(), "-o", output.string()}), 1, "out.bin");
    EXPECT_FALSE(fs::exists(output));
}

TEST_F(CliTest, UsageErrorsExitWithTwo) {
    const Outcome none = Cli({});
    EXPECT_EQ(none.Status, 2);
    EXPECT_NE(none.Err.find("process"), std::string::npos);

    ExpectFailure(Cli({"frobnicate"}), 2, "frobnicate");
    ExpectFailure(Cli({"process"}), 2, "process IMAGE");
    ExpectFailure(Cli({"process", DemoImage.string(), "--jsn"}), 2, "--jsn");
    ExpectFailure(Cli({"process", DemoImage.string(), "--curves"}), 2, "--curves");
    ExpectFailure(Cli({"process", DemoImage.string(), "-o"}), 2, "-o");
    ExpectFailure(Cli({"process", DemoImage.string(), "extra"}), 2, "process IMAGE");
    ExpectFailure(Cli({"grade", "cube", "0", "0.001"}), 2, "GEOMETRY");
    ExpectFailure(Cli({"grade", "0", "0", "0.001x"}), 2, "THETA");
    ExpectFailure(Cli({"grade", "0", "0"}), 2, "grade GEOMETRY KIND THETA");

    const Outcome help = Cli({"help"});
    EXPECT_EQ(help.Status, 0);
    EXPECT_NE(help.Out.find("grade GEOMETRY KIND THETA"), std::string::npos);
}

TEST_F(CliTest, GradeOfATheta) {
    const Outcome json = Cli({"grade", "0", "0", "0.0037", "--json"});
    ASSERT_EQ(json.Status, 0) << json.Err;
    EXPECT_EQ(json.Out, "{\"FrostGrade\": 35, \"FrostCycles\": 43}\n");

    EXPECT_EQ(Cli({"grade", "0", "0", "0,00007", "--json"}).Out, "{\"FrostGrade\": 800, \"FrostCycles\": 867}\n");
    EXPECT_EQ(Cli({"grade", "0", "2", "0.0006", "--json"}).Out, "{\"FrostGrade\": -1, \"FrostCycles\": -1}\n");
    EXPECT_EQ(Cli({"grade", "0", "0", "-0.001", "--json"}).Out, "{\"FrostGrade\": -1, \"FrostCycles\": -1}\n");

    const Outcome text = Cli({"grade", "0", "0", "0.0037"});
    ASSERT_EQ(text.Status, 0);
    EXPECT_NE(text.Out.find("FrostGrade: F35"), std::string::npos) << text.Out;
    EXPECT_NE(text.Out.find("FrostCycles: 43"), std::string::npos);
    EXPECT_NE(Cli({"grade", "1", "2", "0.001"}).Out.find("FrostGrade: ?"), std::string::npos);
}

TEST_F(CliTest, DemoGeneratorReproducesTheCommittedImage) {
    const std::string generated = Path("demo.bin").string();
    const Outcome outcome = Run(ZEMVALKORTA_MAKE_DEMO, {generated});
    ASSERT_EQ(outcome.Status, 0) << outcome.Err;
    EXPECT_EQ(ReadText(generated), ReadText(DemoImage));
}

}  // namespace
