#pragma once

// The user's choices kept between runs, and where the settings file and the
// projects folder live: beside the program when its folder is writable,
// otherwise in the user's configuration folder (an installed program).

#include <array>
#include <cstdint>
#include <filesystem>

#include "storage/IniFile.h"

namespace zemvalkorta {

// Colours are 0x00BBGGRR.
struct TSettings {
    std::uint8_t FrostGraphicType = 0;  // 0 V(t) .. 5 dV(t); other values are kept as read
    bool ShowStandartPattern = true;
    std::int32_t StandartSeriesColor = 0;
    std::array<std::int32_t, 3> SeriesColor{16711680, 255, 16711935};
    std::int32_t PenColor = 0;
    std::int32_t BackgroundColor = 16777215;
    bool NewProcessing = true;
};

// Missing file, section or key and malformed values give the defaults.
TSettings LoadSettings(const std::filesystem::path& file);
// Writes the nine keys in their order; throws SettingsError naming the file.
void SaveSettings(const std::filesystem::path& file, const TSettings& settings);

std::filesystem::path ProgramFilePath();
// The folder for the settings file and the projects folder.
std::filesystem::path ProgramDataFolder(const std::filesystem::path& programFile);
std::filesystem::path SettingsFilePath(const std::filesystem::path& programFile = ProgramFilePath());
// Makes the "projects" folder when missing; returns it, or an empty path when it cannot be made.
std::filesystem::path CreateProjectsDirectory(const std::filesystem::path& programFile = ProgramFilePath());

}  // namespace zemvalkorta
