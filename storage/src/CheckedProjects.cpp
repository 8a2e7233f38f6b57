#include "storage/CheckedProjects.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>
#include <vector>

namespace zemvalkorta {
namespace {

constexpr std::size_t RememberedFiles = 100;

std::optional<std::string> Fingerprint(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) return std::nullopt;
    std::ostringstream text;
    text << status.st_dev << ' ' << status.st_ino << ' ' << status.st_size << ' ' << status.st_mtim.tv_sec << '.'
         << status.st_mtim.tv_nsec;
    return text.str();
}

std::string CanonicalPath(const std::string& path) {
    std::error_code error;
    auto canonical = std::filesystem::weakly_canonical(path, error);
    return error ? path : canonical.string();
}

// "fingerprint<TAB>path" lines, oldest first.
std::vector<std::string> ReadLines(const std::filesystem::path& file) {
    std::vector<std::string> lines;
    std::ifstream in(file);
    for (std::string line; std::getline(in, line);)
        if (line.find('\t') != std::string::npos) lines.push_back(line);
    return lines;
}

}  // namespace

std::filesystem::path CheckedProjectsFile() {
    std::filesystem::path base;
    if (const char* cache = std::getenv("XDG_CACHE_HOME"); cache != nullptr && cache[0] == '/')
        base = cache;
    else if (const char* home = std::getenv("HOME"); home != nullptr && home[0] == '/')
        base = std::filesystem::path(home) / ".cache";
    else
        return {};
    return base / "zemvalkorta" / "checked-projects";
}

bool IsCleanlyClosed(const std::string& path) {
    const auto file = CheckedProjectsFile();
    const auto fingerprint = Fingerprint(path);
    if (file.empty() || !fingerprint) return false;
    const std::string wanted = *fingerprint + '\t' + CanonicalPath(path);
    for (const std::string& line : ReadLines(file))
        if (line == wanted) return true;
    return false;
}

void RememberCleanlyClosed(const std::string& path) {
    const auto file = CheckedProjectsFile();
    const auto fingerprint = Fingerprint(path);
    const std::string canonical = CanonicalPath(path);
    if (file.empty() || !fingerprint || canonical.find_first_of("\t\n") != std::string::npos) return;
    std::vector<std::string> kept;
    for (std::string& line : ReadLines(file))
        if (line.substr(line.find('\t') + 1) != canonical) kept.push_back(std::move(line));
    if (kept.size() >= RememberedFiles) kept.erase(kept.begin(), kept.end() - (RememberedFiles - 1));
    kept.push_back(*fingerprint + '\t' + canonical);

    std::error_code error;
    std::filesystem::create_directories(file.parent_path(), error);
    // Written aside and renamed over, so that a reader never sees half a file.
    const auto temporary = file.string() + "." + std::to_string(::getpid());
    {
        std::ofstream out(temporary, std::ios::trunc);
        for (const std::string& line : kept) out << line << '\n';
        if (!out.flush()) {
            std::filesystem::remove(temporary, error);
            return;
        }
    }
    std::filesystem::rename(temporary, file, error);
    if (error) std::filesystem::remove(temporary, error);
}

}  // namespace zemvalkorta
