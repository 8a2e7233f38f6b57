#pragma once

// Project files this program closed cleanly, known by their identity on disk
// (device, inode, size, modification time). Every page of such a file was
// last written by our own engine in an orderly session, so the probe before
// the next open checks the rows only and leaves the measurement images
// unread, which for a project of months is most of the file. A file changed
// by anyone else since no longer matches and gets the whole check again.
//
// The record lives in $XDG_CACHE_HOME/zemvalkorta/checked-projects (else
// ~/.cache/...). Losing it costs one slower open per project, nothing more.

#include <filesystem>
#include <string>

namespace zemvalkorta {

std::filesystem::path CheckedProjectsFile();
bool IsCleanlyClosed(const std::string& path);
// Records the file as it is now; failures are ignored.
void RememberCleanlyClosed(const std::string& path);

}  // namespace zemvalkorta
