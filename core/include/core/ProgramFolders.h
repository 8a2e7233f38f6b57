#pragma once

// Where the programs keep what they write: the settings file, the projects
// folder and the instrument's display picture.
//
// A program run from its build tree, or from any folder it may write, keeps
// them beside itself. An installed program never writes beside itself: its
// settings go to $XDG_CONFIG_HOME/zemvalkorta (~/.config/zemvalkorta), its
// projects folder and picture to $XDG_DATA_HOME/zemvalkorta
// (~/.local/share/zemvalkorta). A program counts as installed when it lies in
// the folder the build installs programs to (so that even root running
// /usr/bin/zemvalkorta writes into its own home) or when it cannot write its
// own folder.

#include <filesystem>

namespace zemvalkorta {

// The running program's own file.
std::filesystem::path ProgramFilePath();

// The folder this build installs its programs to (<prefix>/bin).
std::filesystem::path InstalledProgramsFolder();

bool IsInstalledProgram(const std::filesystem::path& programFile,
                        const std::filesystem::path& installedFolder = InstalledProgramsFolder());

struct ProgramFolders {
    std::filesystem::path Settings;  // the settings file's folder
    std::filesystem::path Data;      // holds "projects" and the display picture
};

// Only computes the paths; nothing is created.
ProgramFolders FoldersOf(const std::filesystem::path& programFile,
                         const std::filesystem::path& installedFolder = InstalledProgramsFolder());

// The user's base folders: $XDG_CONFIG_HOME and $XDG_DATA_HOME when they hold
// an absolute path (relative ones are ignored, as the XDG rules ask), else
// ~/.config and ~/.local/share.
std::filesystem::path UserConfigurationHome();
std::filesystem::path UserDataHome();

}  // namespace zemvalkorta
