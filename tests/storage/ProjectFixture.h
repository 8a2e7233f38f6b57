#pragma once

// Real project files in a private temporary folder, and generated
// measurements that the processing accepts.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "core/MeasureResult.h"
#include "storage/MainDataModuleUnit.h"

namespace zemvalkorta::testing {

std::filesystem::path MakeTemporaryFolder();

// Three channels (or the given ones), a model reference unless a standard
// channel bit is given, curves of pointCount samples that freeze and thaw.
TMeasureResult SampleMeasure(std::int32_t number, double measureDate, std::int32_t pointCount = 240,
                             std::int32_t activeChannels = 7, std::int32_t standardPattern = 32);

// Whole-second date-time: 2024-03-05 plus the given seconds.
double SampleDate(int seconds);

std::string ReadFileBytes(const std::filesystem::path& path);

// Runs isql-fb on the file with the given script; returns its output.
std::string RunIsql(const std::filesystem::path& database, const std::string& script);

class ProjectTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Creates and opens a fresh project; fails the test otherwise.
    void CreateAndOpen(const std::string& name = "test.fdb");
    void Reopen();

    std::filesystem::path folder_;
    std::filesystem::path project_;
    TMainDataModule module_;
};

}  // namespace zemvalkorta::testing
