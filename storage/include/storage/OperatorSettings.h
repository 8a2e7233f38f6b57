#pragma once

// The operator's name that the history of amendments records beside the
// login, kept in a section of its own of the settings file (Windows-1251 in
// the file, UTF-8 here).

#include <filesystem>
#include <string>

namespace zemvalkorta {

inline constexpr const char* OperatorSection = "Operator";
inline constexpr const char* OperatorNameKey = "Name";

// Empty when the file, the section or the key is missing.
std::string LoadOperatorName(const std::filesystem::path& file);
// Throws SettingsError naming the file when it cannot be written.
void SaveOperatorName(const std::filesystem::path& file, const std::string& utf8);

}  // namespace zemvalkorta
