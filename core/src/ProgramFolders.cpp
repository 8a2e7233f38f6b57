#include "core/ProgramFolders.h"

#include "core/UserAccount.h"

#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#ifndef ZEMVALKORTA_INSTALL_BINDIR
#error "ZEMVALKORTA_INSTALL_BINDIR names the folder the programs are installed to"
#endif

namespace zemvalkorta {

namespace {

constexpr char FolderName[] = "zemvalkorta";

std::filesystem::path HomeFolder() {
    if (const char* home = std::getenv("HOME"); home != nullptr && *home == '/') return home;
    // A session without HOME (a service, su without -l) still has an entry in the user database.
    if (auto account = FindUserAccount(getuid()); account && account->Home.starts_with('/')) return account->Home;
    return std::filesystem::temp_directory_path();
}

std::filesystem::path XdgFolder(const char* variable, const std::filesystem::path& fallbackBelowHome) {
    if (const char* value = std::getenv(variable); value != nullptr && *value == '/') return value;
    return HomeFolder() / fallbackBelowHome;
}

bool SameFolder(const std::filesystem::path& a, const std::filesystem::path& b) {
    std::error_code error;
    const auto left = std::filesystem::weakly_canonical(a, error);
    if (error) return false;
    const auto right = std::filesystem::weakly_canonical(b, error);
    return !error && left == right;
}

}  // namespace

std::filesystem::path ProgramFilePath() {
    std::error_code error;
    auto path = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path("zemvalkorta") : path;
}

std::filesystem::path InstalledProgramsFolder() { return ZEMVALKORTA_INSTALL_BINDIR; }

bool IsInstalledProgram(const std::filesystem::path& programFile, const std::filesystem::path& installedFolder) {
    const std::filesystem::path folder = programFile.parent_path();
    if (folder.empty()) return true;  // no folder to write beside
    if (!installedFolder.empty() && SameFolder(folder, installedFolder)) return true;
    return access(folder.c_str(), W_OK) != 0;
}

ProgramFolders FoldersOf(const std::filesystem::path& programFile, const std::filesystem::path& installedFolder) {
    if (!IsInstalledProgram(programFile, installedFolder))
        return {programFile.parent_path(), programFile.parent_path()};
    return {UserConfigurationHome() / FolderName, UserDataHome() / FolderName};
}

std::filesystem::path UserConfigurationHome() { return XdgFolder("XDG_CONFIG_HOME", ".config"); }

std::filesystem::path UserDataHome() { return XdgFolder("XDG_DATA_HOME", std::filesystem::path(".local") / "share"); }

}  // namespace zemvalkorta
