#include "storage/Settings.h"

#include <string>

namespace zemvalkorta {

namespace {

const char* const Graphics = "Graphics";
const char* const DeviceScreenShot = "DeviceScreenShot";
const char* const DataProcessing = "DataProcessing";

std::string SeriesColorKey(int channel) { return "SeriesColor" + std::to_string(channel); }

}  // namespace

MainSettings LoadSettings(const std::filesystem::path& file) {
    IniFile ini(file);
    MainSettings defaults;
    MainSettings settings;
    settings.FrostGraphicType =
        static_cast<std::uint8_t>(ini.ReadInteger(Graphics, "FrostGraphicType", defaults.FrostGraphicType) & 0xFF);
    settings.ShowStandartPattern = ini.ReadBool(Graphics, "ShowStandartPattern", defaults.ShowStandartPattern);
    settings.StandartSeriesColor = ini.ReadInteger(Graphics, "StandartSeriesColor", defaults.StandartSeriesColor);
    for (int channel = 0; channel < 3; ++channel)
        settings.SeriesColor[channel] =
            ini.ReadInteger(Graphics, SeriesColorKey(channel), defaults.SeriesColor[channel]);
    settings.PenColor = ini.ReadInteger(DeviceScreenShot, "PenColor", defaults.PenColor);
    settings.BackgroundColor = ini.ReadInteger(DeviceScreenShot, "BackgroundColor", defaults.BackgroundColor);
    // Read for completeness only: there is one processing method.
    (void)ini.ReadBool(DataProcessing, "NewProcessing", true);
    settings.NewProcessing = true;
    return settings;
}

void SaveSettings(const std::filesystem::path& file, const MainSettings& settings) {
    IniFile ini(file);
    ini.DeferWrites();
    ini.WriteInteger(Graphics, "FrostGraphicType", settings.FrostGraphicType);
    ini.WriteBool(Graphics, "ShowStandartPattern", settings.ShowStandartPattern);
    ini.WriteInteger(Graphics, "StandartSeriesColor", settings.StandartSeriesColor);
    for (int channel = 0; channel < 3; ++channel)
        ini.WriteInteger(Graphics, SeriesColorKey(channel), settings.SeriesColor[channel]);
    ini.WriteInteger(DeviceScreenShot, "PenColor", settings.PenColor);
    ini.WriteInteger(DeviceScreenShot, "BackgroundColor", settings.BackgroundColor);
    ini.WriteBool(DataProcessing, "NewProcessing", true);
    ini.Flush();
}

std::filesystem::path SettingsFilePath(const std::filesystem::path& programFile) {
    const std::filesystem::path folder = FoldersOf(programFile).Settings;
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    return folder / programFile.filename().replace_extension(".ini");
}

std::filesystem::path ProjectsFolderPath(const std::filesystem::path& programFile) {
    return FoldersOf(programFile).Data / "projects";
}

std::filesystem::path CreateProjectsDirectory(const std::filesystem::path& programFile) {
    const std::filesystem::path projects = ProjectsFolderPath(programFile);
    std::error_code error;
    std::filesystem::create_directories(projects.parent_path(), error);
    std::filesystem::create_directory(projects, error);
    if (!std::filesystem::is_directory(projects)) return {};
    return projects;
}

}  // namespace zemvalkorta
