#pragma once

// The user's choices kept between runs, the settings file's name and the
// projects folder (their folders: core/ProgramFolders.h).

#include <array>
#include <cstdint>
#include <filesystem>

#include "core/ProgramFolders.h"
#include "storage/IniFile.h"

namespace zemvalkorta {

// Colours are 0x00BBGGRR.
struct MainSettings {
    std::uint8_t FrostGraphicType = 0;  // 0 V(t) .. 5 dV(t); other values are kept as read
    bool ShowStandartPattern = true;
    std::int32_t StandartSeriesColor = 0;
    std::array<std::int32_t, 3> SeriesColor{16711680, 255, 16711935};
    std::int32_t PenColor = 0;
    std::int32_t BackgroundColor = 16777215;
    bool NewProcessing = true;
};

// Missing file, section or key and malformed values give the defaults.
MainSettings LoadSettings(const std::filesystem::path& file);
// Writes the nine keys in their order; throws SettingsError naming the file.
void SaveSettings(const std::filesystem::path& file, const MainSettings& settings);

// The program file's name with ".ini", in the settings folder (made when missing).
std::filesystem::path SettingsFilePath(const std::filesystem::path& programFile = ProgramFilePath());
// The "projects" folder in the data folder.
std::filesystem::path ProjectsFolderPath(const std::filesystem::path& programFile = ProgramFilePath());
// Makes the "projects" folder (and the data folder) when missing; returns it, or an empty path when it cannot be made.
std::filesystem::path CreateProjectsDirectory(const std::filesystem::path& programFile = ProgramFilePath());

}  // namespace zemvalkorta
