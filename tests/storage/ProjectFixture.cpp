#include "ProjectFixture.h"

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "core/Catalogue.h"

namespace zemvalkorta::testing {

std::filesystem::path MakeTemporaryFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "zemvalkorta-storage-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    return pattern;
}

double SampleDate(int seconds) { return 45356.0 + seconds / 86400.0; }

TMeasureResult SampleMeasure(std::int32_t number, double measureDate, std::int32_t pointCount,
                             std::int32_t activeChannels, std::int32_t standardPattern) {
    TMeasureResult measure;
    measure.MeasureDate = measureDate;
    measure.MeasureNumber = number;
    measure.ActiveChannels = activeChannels;
    measure.StandardPattern = standardPattern;
    measure.Period = 60;
    measure.PointCount = pointCount;
    measure.Duration = static_cast<std::uint32_t>(pointCount) * 60;
    measure.ConcreteKind = 1;
    measure.GeometryKind = Cube100;
    measure.ModelCoefficients = {0.05, 2.0e-5, 1.0e-10, 0.0, 0.0, 0.0};
    for (int channel = 0; channel < ChannelCount; ++channel) {
        measure.PatternDimensions[channel] = DefaultDimensions(Cube100);
        measure.PatternVolume[channel] = SpecimenVolume(Cube100, measure.PatternDimensions[channel]);
        ChannelRole role = RoleOfChannel(measure, channel);
        for (int curve = 0; curve < CurvesOfRole(role); ++curve) {
            Curve values(static_cast<std::size_t>(pointCount));
            for (int i = 0; i < pointCount; ++i) {
                double t = static_cast<double>(i) / pointCount;
                if (curve == VolumeCurve)
                    values[i] = static_cast<float>(0.2 + 1.5 * t + 0.3 * std::sin(6.0 * t) * (channel + 1) / 3.0);
                else if (curve == TemperatureCurve)
                    values[i] = static_cast<float>(18.0 - 40.0 * t + channel);
            }
            measure.Curves.push_back(std::move(values));
        }
    }
    return measure;
}

std::string ReadFileBytes(const std::filesystem::path& path) {
    std::ifstream stream(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << stream.rdbuf();
    return bytes.str();
}

std::string RunIsql(const std::filesystem::path& database, const std::string& script) {
    auto scriptPath = database.parent_path() / "script.sql";
    std::ofstream(scriptPath) << script;
    std::string command = "isql-fb -q -user SYSDBA -i '" + scriptPath.string() + "' '" + database.string() + "' 2>&1";
    std::string output;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        while (std::size_t got = fread(buffer, 1, sizeof buffer, pipe)) output.append(buffer, got);
        pclose(pipe);
    }
    return output;
}

void ProjectTest::SetUp() {
    folder_ = MakeTemporaryFolder();
    project_ = folder_ / "test.fdb";
}

void ProjectTest::TearDown() {
    module_.CloseProject();
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

void ProjectTest::CreateAndOpen(const std::string& name) {
    project_ = folder_ / name;
    ASSERT_TRUE(module_.CreateProject(project_.string())) << module_.LastError();
    ASSERT_TRUE(module_.OpenProject(project_.string())) << module_.LastError();
}

void ProjectTest::Reopen() {
    module_.CloseProject();
    ASSERT_TRUE(module_.OpenProject(project_.string())) << module_.LastError();
}

}  // namespace zemvalkorta::testing

// The Firebird client and its embedded engine keep one-time allocations
// (character set converters, ICU, the authentication's big numbers) until the
// process ends; they are not ours to free.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfbclient.so\nleak:libEngine12.so\nleak:libicuuc.so\nleak:libicui18n.so\n";
}
