#pragma once

// Where the main window was and how its parts were divided, kept in a section
// of its own in the settings file so that the program's other keys stay as
// they are.

#include <cstdint>
#include <filesystem>
#include <optional>

namespace zemvalkorta {

struct WindowPlacement {
    std::int32_t Left = 0;
    std::int32_t Top = 0;
    std::int32_t Width = 0;
    std::int32_t Height = 0;
    bool Maximized = false;
    std::int32_t RightPartWidth = 0;      // the chart side of the data page
    std::int32_t CommentPanelHeight = 0;  // the comment panel under the charts
};

inline constexpr const char* WindowPlacementSection = "MainWindow";

// Nothing when the section is missing or incomplete, or a size is not positive.
std::optional<WindowPlacement> LoadWindowPlacement(const std::filesystem::path& file);

// Throws SettingsError naming the file when it cannot be written.
void SaveWindowPlacement(const std::filesystem::path& file, const WindowPlacement& placement);

}  // namespace zemvalkorta
