// Any settings file: reading keys and the settings must not fail, and a key
// written into it reads back as written while the file's other keys keep
// their values.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "storage/IniFile.h"
#include "storage/Settings.h"

using namespace zemvalkorta;

namespace {

std::filesystem::path ScratchFile() {
    static const std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("zemvalkorta-fuzz-settings-" + std::to_string(getpid()) + ".ini");
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    static_cast<void>(ParseIniInteger(text));

    const std::filesystem::path file = ScratchFile();
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
    }
    const MainSettings settings = LoadSettings(file);
    (void)settings;

    IniFile ini(file);
    const std::string before = ini.ReadString("DeviceScreenShot", "PenColor", "<none>");
    ini.WriteString("Fuzz", "Written", "value 1");
    IniFile reread(file);
    if (reread.ReadString("Fuzz", "Written", "") != "value 1") __builtin_trap();
    if (reread.ReadString("DeviceScreenShot", "PenColor", "<none>") != before) __builtin_trap();
    return 0;
}
