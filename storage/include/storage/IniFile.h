#pragma once

// A settings file in the sectioned key=value format, read and written one
// key at a time: a write keeps every other line where it was and appends a
// new key at the end of its section. Section and key names compare without
// regard to case. The file is replaced whole: written under a temporary name
// beside it and renamed over it, so that a crash or a full disk leaves the
// old file or the new one, never a truncated one.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace zemvalkorta {

class SettingsError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class IniFile {
public:
    // A missing or unreadable file reads as empty.
    explicit IniFile(std::filesystem::path path);

    const std::filesystem::path& Path() const { return path_; }

    std::string ReadString(const std::string& section, const std::string& key, const std::string& fallback) const;
    // Decimal, or hexadecimal after "0x"/"0X" (with digits following) or "$";
    // missing, empty, malformed or out-of-range values give the fallback.
    std::int32_t ReadInteger(const std::string& section, const std::string& key, std::int32_t fallback) const;
    bool ReadBool(const std::string& section, const std::string& key, bool fallback) const;

    // Each write reaches the file at once, unless DeferWrites was called:
    // then the writes stay here until Flush, which writes them all in one go.
    // Throws SettingsError naming the file when it cannot be written.
    void DeferWrites() { deferred_ = true; }
    void Flush();
    void WriteString(const std::string& section, const std::string& key, const std::string& value);
    void WriteInteger(const std::string& section, const std::string& key, std::int32_t value);
    void WriteBool(const std::string& section, const std::string& key, bool value);

private:
    // Line numbers in lines_.
    std::optional<std::size_t> FindSection(const std::string& section) const;
    std::optional<std::size_t> FindKey(std::size_t sectionLine, const std::string& key) const;
    void Save() const;

    std::filesystem::path path_;
    std::vector<std::string> lines_;
    bool deferred_ = false;
    bool changed_ = false;
};

// A whole number as settings files write it: decimal, or hexadecimal after "$" or "0x" (32 bits);
// nothing for any other text.
std::optional<std::int32_t> ParseIniInteger(const std::string& text);

}  // namespace zemvalkorta
