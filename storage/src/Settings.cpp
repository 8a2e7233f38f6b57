#include "storage/Settings.h"

#include <unistd.h>

#include <cstdlib>
#include <string>

namespace zemvalkorta {

namespace {

const char* const Graphics = "Graphics";
const char* const DeviceScreenShot = "DeviceScreenShot";
const char* const DataProcessing = "DataProcessing";

std::string SeriesColorKey(int channel) { return "SeriesColor" + std::to_string(channel); }

std::filesystem::path UserConfigurationFolder() {
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config != nullptr && *config == '/') return config;
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0')
        return std::filesystem::path(home) / ".config";
    return std::filesystem::temp_directory_path();
}

}  // namespace

TSettings LoadSettings(const std::filesystem::path& file) {
    IniFile ini(file);
    TSettings defaults;
    TSettings settings;
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

void SaveSettings(const std::filesystem::path& file, const TSettings& settings) {
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

std::filesystem::path ProgramFilePath() {
    std::error_code error;
    auto path = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path("zemvalkorta") : path;
}

std::filesystem::path ProgramDataFolder(const std::filesystem::path& programFile) {
    std::filesystem::path folder = programFile.parent_path();
    if (!folder.empty() && access(folder.c_str(), W_OK) == 0) return folder;
    return UserConfigurationFolder() / programFile.stem();
}

std::filesystem::path SettingsFilePath(const std::filesystem::path& programFile) {
    std::filesystem::path folder = ProgramDataFolder(programFile);
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    return folder / programFile.filename().replace_extension(".ini");
}

std::filesystem::path CreateProjectsDirectory(const std::filesystem::path& programFile) {
    std::filesystem::path folder = ProgramDataFolder(programFile);
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    std::filesystem::path projects = folder / "projects";
    std::filesystem::create_directory(projects, error);
    if (!std::filesystem::is_directory(projects)) return {};
    return projects;
}

}  // namespace zemvalkorta
