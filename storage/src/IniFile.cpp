#include "storage/IniFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <limits>

namespace zemvalkorta {

namespace {

std::string Trim(const std::string& text) {
    auto begin = text.find_first_not_of(" \t\r");
    if (begin == std::string::npos) return {};
    auto end = text.find_last_not_of(" \t\r");
    return text.substr(begin, end - begin + 1);
}

bool SameName(const std::string& left, const std::string& right) {
    return left.size() == right.size() && std::equal(left.begin(), left.end(), right.begin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
           });
}

// The name of the section that the line opens, if it opens one.
std::optional<std::string> SectionName(const std::string& line) {
    std::string trimmed = Trim(line);
    if (trimmed.size() < 2 || trimmed.front() != '[') return std::nullopt;
    auto close = trimmed.find(']');
    if (close == std::string::npos) return std::nullopt;
    return Trim(trimmed.substr(1, close - 1));
}

bool IsSectionLine(const std::string& line) { return SectionName(line).has_value(); }

}  // namespace

std::optional<std::int32_t> ParseIniInteger(const std::string& raw) {
    std::string text = Trim(raw);
    bool negative = false;
    std::size_t position = 0;
    if (position < text.size() && (text[position] == '-' || text[position] == '+')) {
        negative = text[position] == '-';
        ++position;
    }
    int base = 10;
    if (text.compare(position, 1, "$") == 0) {
        base = 16;
        position += 1;
    } else if (text.size() > position + 2 && text[position] == '0' &&
               (text[position + 1] == 'x' || text[position + 1] == 'X')) {
        base = 16;
        position += 2;
    }
    if (position >= text.size()) return std::nullopt;
    std::int64_t result = 0;
    for (; position < text.size(); ++position) {
        int digit;
        char c = static_cast<char>(std::tolower(static_cast<unsigned char>(text[position])));
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else
            return std::nullopt;
        result = result * base + digit;
        // Hexadecimal spells the 32 bits, so FFFFFFFF is -1 as a colour key would store it.
        if (result >
            (base == 16 ? std::int64_t{0xFFFFFFFF} : std::int64_t{std::numeric_limits<std::int32_t>::max()} + negative))
            return std::nullopt;
    }
    if (base == 16) result = static_cast<std::int32_t>(static_cast<std::uint32_t>(result));
    return static_cast<std::int32_t>(negative ? -result : result);
}

IniFile::IniFile(std::filesystem::path path) : path_(std::move(path)) {
    std::ifstream file(path_, std::ios::binary);
    std::string line;
    while (std::getline(file, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines_.push_back(line);
    }
}

std::optional<std::size_t> IniFile::FindSection(const std::string& section) const {
    for (std::size_t i = 0; i < lines_.size(); ++i)
        if (const auto name = SectionName(lines_[i]); name && SameName(*name, section)) return i;
    return std::nullopt;
}

std::optional<std::size_t> IniFile::FindKey(std::size_t sectionLine, const std::string& key) const {
    for (std::size_t i = sectionLine + 1; i < lines_.size(); ++i) {
        if (IsSectionLine(lines_[i])) break;
        auto equals = lines_[i].find('=');
        if (equals == std::string::npos) continue;
        std::string name = Trim(lines_[i].substr(0, equals));
        if (!name.empty() && name.front() != ';' && SameName(name, key)) return i;
    }
    return std::nullopt;
}

std::string IniFile::ReadString(const std::string& section, const std::string& key, const std::string& fallback) const {
    const auto sectionLine = FindSection(section);
    if (!sectionLine) return fallback;
    const auto keyLine = FindKey(*sectionLine, key);
    if (!keyLine) return fallback;
    const std::string& line = lines_[*keyLine];
    std::string value = Trim(line.substr(line.find('=') + 1));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return value;
}

std::int32_t IniFile::ReadInteger(const std::string& section, const std::string& key, std::int32_t fallback) const {
    return ParseIniInteger(ReadString(section, key, "")).value_or(fallback);
}

bool IniFile::ReadBool(const std::string& section, const std::string& key, bool fallback) const {
    return ReadInteger(section, key, fallback ? 1 : 0) != 0;
}

void IniFile::WriteString(const std::string& section, const std::string& key, const std::string& value) {
    std::string line = key + "=" + value;
    const auto sectionLine = FindSection(section);
    if (!sectionLine) {
        if (!lines_.empty() && !Trim(lines_.back()).empty()) lines_.emplace_back();
        lines_.push_back("[" + section + "]");
        lines_.push_back(line);
    } else if (const auto keyLine = FindKey(*sectionLine, key)) {
        lines_[*keyLine] = line;
    } else {
        // After the section's last non-blank line, so that a blank separator stays before the next section.
        std::size_t insertAt = *sectionLine + 1;
        for (std::size_t i = insertAt; i < lines_.size() && !IsSectionLine(lines_[i]); ++i)
            if (!Trim(lines_[i]).empty()) insertAt = i + 1;
        lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt), line);
    }
    changed_ = true;
    if (!deferred_) Flush();
}

void IniFile::Flush() {
    if (!changed_) return;
    Save();
    changed_ = false;
}

void IniFile::WriteInteger(const std::string& section, const std::string& key, std::int32_t value) {
    WriteString(section, key, std::to_string(value));
}

void IniFile::WriteBool(const std::string& section, const std::string& key, bool value) {
    WriteString(section, key, value ? "1" : "0");
}

void IniFile::Save() const {
    const auto fail = [this] { return SettingsError("Не удалось записать файл настроек " + path_.string()); };
    std::string text;
    for (const auto& line : lines_) text += line + "\r\n";
    std::string temporary = path_.string() + ".XXXXXX";
    const int descriptor = ::mkstemp(temporary.data());
    if (descriptor < 0) throw fail();
    // The new file gets the old one's permissions, or the usual ones of a new file.
    struct stat old {};
    mode_t mode = 0;
    if (::stat(path_.c_str(), &old) == 0) {
        mode = old.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    bool written = ::fchmod(descriptor, mode) == 0;
    for (std::size_t done = 0; written && done < text.size();) {
        const ssize_t count = ::write(descriptor, text.data() + done, text.size() - done);
        if (count < 0 && errno == EINTR) continue;
        written = count > 0;
        if (written) done += static_cast<std::size_t>(count);
    }
    written = written && ::fsync(descriptor) == 0;
    written = ::close(descriptor) == 0 && written;
    if (!written || ::rename(temporary.c_str(), path_.c_str()) != 0) {
        ::unlink(temporary.c_str());
        throw fail();
    }
}

}  // namespace zemvalkorta
