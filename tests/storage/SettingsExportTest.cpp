#include <gmock/gmock.h>

#include <sys/inotify.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

#include "ProjectFixture.h"
#include "storage/IniFile.h"
#include "storage/Settings.h"
#include "storage/TextExport.h"

namespace zemvalkorta::testing {
namespace {

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = MakeTemporaryFolder();
        file_ = folder_ / "zemvalkorta.ini";
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }
    void Write(const std::string& text) { std::ofstream(file_, std::ios::binary) << text; }

    std::filesystem::path folder_;
    std::filesystem::path file_;
};

TEST_F(SettingsTest, MissingFileGivesDefaultsAndSaveWritesCompleteFileInOrder) {
    MainSettings settings = LoadSettings(file_);
    EXPECT_EQ(settings.FrostGraphicType, 0);
    EXPECT_TRUE(settings.ShowStandartPattern);
    EXPECT_EQ(settings.StandartSeriesColor, 0);
    EXPECT_THAT(settings.SeriesColor, ::testing::ElementsAre(0xFF0000, 0x0000FF, 0xFF00FF));
    EXPECT_EQ(settings.PenColor, 0);
    EXPECT_EQ(settings.BackgroundColor, 0xFFFFFF);
    SaveSettings(file_, settings);
    EXPECT_EQ(ReadFileBytes(file_),
              "[Graphics]\r\nFrostGraphicType=0\r\nShowStandartPattern=1\r\nStandartSeriesColor=0\r\n"
              "SeriesColor0=16711680\r\nSeriesColor1=255\r\nSeriesColor2=16711935\r\n\r\n"
              "[DeviceScreenShot]\r\nPenColor=0\r\nBackgroundColor=16777215\r\n\r\n"
              "[DataProcessing]\r\nNewProcessing=1\r\n");
}

// One save replaces the file once, by a rename: it is never written in place,
// so a reader of the old file never sees it half rewritten.
TEST_F(SettingsTest, SaveReplacesTheFileOnceByARename) {
    MainSettings settings;
    SaveSettings(file_, settings);
    const std::string before = ReadFileBytes(file_);
    std::ifstream oldReader(file_, std::ios::binary);
    const int watch = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(watch, 0);
    ASSERT_GE(inotify_add_watch(watch, folder_.c_str(), IN_CLOSE_WRITE | IN_MOVED_TO | IN_MODIFY), 0);
    settings.PenColor = 0x123456;
    settings.SeriesColor[2] = 7;
    SaveSettings(file_, settings);
    int modified = 0, renamedOnto = 0, otherFilesClosed = 0;
    alignas(inotify_event) char buffer[16384];
    for (ssize_t length; (length = read(watch, buffer, sizeof buffer)) > 0;) {
        for (char* at = buffer; at < buffer + length;) {
            const auto* event = reinterpret_cast<const inotify_event*>(at);
            const std::string name = event->len > 0 ? event->name : "";
            if (name == file_.filename().string()) {
                if (event->mask & (IN_MODIFY | IN_CLOSE_WRITE)) ++modified;
                if (event->mask & IN_MOVED_TO) ++renamedOnto;
            } else if (event->mask & IN_CLOSE_WRITE) {
                ++otherFilesClosed;
            }
            at += sizeof(inotify_event) + event->len;
        }
    }
    close(watch);
    EXPECT_EQ(modified, 0);
    EXPECT_EQ(renamedOnto, 1);
    EXPECT_EQ(otherFilesClosed, 1);  // the one temporary file
    std::ostringstream old;
    old << oldReader.rdbuf();
    EXPECT_EQ(old.str(), before);
    EXPECT_EQ(LoadSettings(file_).PenColor, 0x123456);
    EXPECT_EQ(LoadSettings(file_).SeriesColor[2], 7);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_), std::filesystem::directory_iterator()), 1);
}

// A single key written outside a save reaches the file at once, as before.
TEST_F(SettingsTest, SingleKeyWriteReachesTheFileAtOnce) {
    Write("[Window]\r\nLeft=3\r\n");
    IniFile ini(file_);
    ini.WriteInteger("Window", "Top", 9);
    EXPECT_EQ(ReadFileBytes(file_), "[Window]\r\nLeft=3\r\nTop=9\r\n");
    ini.DeferWrites();
    ini.WriteInteger("Window", "Width", 640);
    EXPECT_EQ(IniFile(file_).ReadInteger("Window", "Width", -1), -1);
    ini.Flush();
    EXPECT_EQ(IniFile(file_).ReadInteger("Window", "Width", -1), 640);
}

TEST_F(SettingsTest, HexadecimalBooleansAndByteReduction) {
    Write(
        "[graphics]\nSeriesColor1=0xFF00\nSeriesColor0=$FF00\nSeriesColor2=green\nShowStandartPattern=2\n"
        "FrostGraphicType=259\nStandartSeriesColor=0x\n[DeviceScreenShot]\nPenColor=\nBackgroundColor= 12 \n"
        "[DataProcessing]\nNewProcessing=0\n");
    MainSettings settings = LoadSettings(file_);
    EXPECT_EQ(settings.SeriesColor[1], 65280);
    EXPECT_EQ(settings.SeriesColor[0], 65280);
    EXPECT_EQ(settings.SeriesColor[2], 16711935);
    EXPECT_TRUE(settings.ShowStandartPattern);
    EXPECT_EQ(settings.FrostGraphicType, 3);
    EXPECT_EQ(settings.StandartSeriesColor, 0);
    EXPECT_EQ(settings.PenColor, 0);
    EXPECT_EQ(settings.BackgroundColor, 12);
    EXPECT_TRUE(settings.NewProcessing);

    Write("[Graphics]\nShowStandartPattern=0\nFrostGraphicType=99999999999\n");
    settings = LoadSettings(file_);
    EXPECT_FALSE(settings.ShowStandartPattern);
    EXPECT_EQ(settings.FrostGraphicType, 0);
}

TEST_F(SettingsTest, SavingKeepsForeignKeysSectionsAndPlaces) {
    Write("; comment\n[Other]\nA=1\n\n[Graphics]\nSeriesColor2=5\nUnknown=x\n\n[DataProcessing]\nNewProcessing=0\n");
    MainSettings settings;
    settings.FrostGraphicType = 4;
    SaveSettings(file_, settings);
    EXPECT_EQ(ReadFileBytes(file_),
              "; comment\r\n[Other]\r\nA=1\r\n\r\n[Graphics]\r\nSeriesColor2=16711935\r\nUnknown=x\r\n"
              "FrostGraphicType=4\r\nShowStandartPattern=1\r\nStandartSeriesColor=0\r\nSeriesColor0=16711680\r\n"
              "SeriesColor1=255\r\n\r\n[DataProcessing]\r\nNewProcessing=1\r\n\r\n[DeviceScreenShot]\r\n"
              "PenColor=0\r\nBackgroundColor=16777215\r\n");
}

TEST_F(SettingsTest, UnwritableFileIsReportedWithItsName) {
    std::filesystem::path blocked = folder_ / "missing" / "x.ini";
    try {
        SaveSettings(blocked, MainSettings{});
        FAIL();
    } catch (const SettingsError& error) {
        EXPECT_THAT(error.what(), ::testing::HasSubstr(blocked.string()));
    }
}

TEST_F(SettingsTest, FilesLiveBesideProgramOrInUserFolder) {
    std::filesystem::path program = folder_ / "zemvalkorta";
    EXPECT_EQ(SettingsFilePath(program), folder_ / "zemvalkorta.ini");
    EXPECT_EQ(CreateProjectsDirectory(program), folder_ / "projects");
    EXPECT_TRUE(std::filesystem::is_directory(folder_ / "projects"));
}

TEST_F(SettingsTest, InstalledProgramUsesUserConfigurationFolder) {
    // Root writes anywhere, so only a non-root run can see the fallback.
    if (geteuid() == 0) GTEST_SKIP() << "read-only folder not enforceable as root";
    std::filesystem::path installed = folder_ / "bin";
    std::filesystem::create_directory(installed);
    std::filesystem::permissions(installed, std::filesystem::perms::owner_write, std::filesystem::perm_options::remove);
    setenv("XDG_CONFIG_HOME", (folder_ / "config").c_str(), 1);
    setenv("XDG_DATA_HOME", (folder_ / "data").c_str(), 1);
    EXPECT_EQ(SettingsFilePath(installed / "zemvalkorta"), folder_ / "config" / "zemvalkorta" / "zemvalkorta.ini");
    EXPECT_EQ(CreateProjectsDirectory(installed / "zemvalkorta"), folder_ / "data" / "zemvalkorta" / "projects");
    std::filesystem::permissions(installed, std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
}

TEST_F(SettingsTest, InstalledProgramMakesItsSettingsAndProjectsFoldersInTheUsersHome) {
    // A program whose folder cannot be written (it is not there at all, so
    // this holds for root too) writes nothing beside itself.
    const std::filesystem::path program = folder_ / "absent" / "zemvalkorta";
    setenv("XDG_CONFIG_HOME", (folder_ / "home" / "config").c_str(), 1);
    setenv("XDG_DATA_HOME", (folder_ / "home" / "data").c_str(), 1);
    const auto settings = SettingsFilePath(program);
    EXPECT_EQ(settings, folder_ / "home" / "config" / "zemvalkorta" / "zemvalkorta.ini");
    EXPECT_TRUE(std::filesystem::is_directory(settings.parent_path()));
    SaveSettings(settings, MainSettings{});
    EXPECT_TRUE(std::filesystem::is_regular_file(settings));
    EXPECT_EQ(ProjectsFolderPath(program), folder_ / "home" / "data" / "zemvalkorta" / "projects");
    EXPECT_EQ(CreateProjectsDirectory(program), folder_ / "home" / "data" / "zemvalkorta" / "projects");
    EXPECT_TRUE(std::filesystem::is_directory(folder_ / "home" / "data" / "zemvalkorta" / "projects"));
    EXPECT_FALSE(std::filesystem::exists(folder_ / "absent"));
    unsetenv("XDG_CONFIG_HOME");
    unsetenv("XDG_DATA_HOME");
}

class TextExportTest : public SettingsTest {};

TEST_F(TextExportTest, WritesUsedChannelsWithLocaleSeparatorAndCrLf) {
    TMeasureResult measure = SampleMeasure(1, SampleDate(0), 3, 5, 1);  // channels 1 (standard) and 3
    measure.Curves[0] = {1.0f, 2.0006f, -0.25f};
    measure.Curves[1] = {-5.25f, 0.0f, 12.345f};
    measure.Curves[2] = {3.0f, 4.0f, 5.0f};
    measure.Curves[3] = {-1.0f, -2.0f, -3.0f};
    FormatSettings comma;
    comma.DecimalSeparator = ",";
    ExportMeasureText(measure, file_, comma);
    EXPECT_EQ(ReadFileBytes(file_),
              "0\t1,000\t-5,25\t3,000\t-1,00\r\n1\t2,001\t0,00\t4,000\t-2,00\r\n"
              "2\t-0,250\t12,35\t5,000\t-3,00\r\n");
}

TEST_F(TextExportTest, OnlyChannelTwoAndZeroPoints) {
    TMeasureResult measure = SampleMeasure(1, SampleDate(0), 2, 2, 32);
    FormatSettings point;
    ExportMeasureText(measure, file_, point);
    std::string text = ReadFileBytes(file_);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\t'), 4);
    EXPECT_TRUE(text.starts_with("0\t0.200\t19.00\r\n")) << text;
    measure.PointCount = 0;
    ExportMeasureText(measure, file_, point);
    EXPECT_EQ(ReadFileBytes(file_), "");
}

TEST_F(TextExportTest, ShortCurvesAreRefusedAndLeaveEarlierFile) {
    Write("earlier");
    TMeasureResult measure = SampleMeasure(1, SampleDate(0), 10);
    measure.Curves[4].resize(9);  // channel 2's volume
    try {
        ExportMeasureText(measure, file_);
        FAIL();
    } catch (const ExportError& error) {
        EXPECT_THAT(error.what(), ::testing::HasSubstr("2"));
    }
    EXPECT_EQ(ReadFileBytes(file_), "earlier");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_), {}), 1);
    EXPECT_THROW(ExportMeasureText(measure, folder_ / "missing" / "x.txt"), ExportError);
}

}  // namespace
}  // namespace zemvalkorta::testing
