#include "storage/WindowPlacement.h"

#include <array>
#include <limits>
#include <string>

#include "storage/IniFile.h"

namespace zemvalkorta {
namespace {

constexpr std::int32_t Missing = std::numeric_limits<std::int32_t>::min();

}  // namespace

std::optional<WindowPlacement> LoadWindowPlacement(const std::filesystem::path& file) {
    const IniFile ini(file);
    auto read = [&ini](const char* key) { return ini.ReadInteger(WindowPlacementSection, key, Missing); };
    WindowPlacement placement;
    const std::array<std::pair<const char*, std::int32_t*>, 6> keys{
        {{"Left", &placement.Left},
         {"Top", &placement.Top},
         {"Width", &placement.Width},
         {"Height", &placement.Height},
         {"RightPartWidth", &placement.RightPartWidth},
         {"CommentPanelHeight", &placement.CommentPanelHeight}}};
    for (const auto& [key, value] : keys) {
        *value = read(key);
        if (*value == Missing) return std::nullopt;
    }
    if (placement.Width <= 0 || placement.Height <= 0) return std::nullopt;
    placement.Maximized = ini.ReadBool(WindowPlacementSection, "Maximized", false);
    return placement;
}

void SaveWindowPlacement(const std::filesystem::path& file, const WindowPlacement& placement) {
    IniFile ini(file);
    ini.WriteInteger(WindowPlacementSection, "Left", placement.Left);
    ini.WriteInteger(WindowPlacementSection, "Top", placement.Top);
    ini.WriteInteger(WindowPlacementSection, "Width", placement.Width);
    ini.WriteInteger(WindowPlacementSection, "Height", placement.Height);
    ini.WriteBool(WindowPlacementSection, "Maximized", placement.Maximized);
    ini.WriteInteger(WindowPlacementSection, "RightPartWidth", placement.RightPartWidth);
    ini.WriteInteger(WindowPlacementSection, "CommentPanelHeight", placement.CommentPanelHeight);
}

}  // namespace zemvalkorta
