#include "storage/OperatorSettings.h"

#include "core/TextCodec.h"
#include "storage/IniFile.h"

namespace zemvalkorta {

std::string LoadOperatorName(const std::filesystem::path& file) {
    return Cp1251ToUtf8(IniFile(file).ReadString(OperatorSection, OperatorNameKey, ""));
}

void SaveOperatorName(const std::filesystem::path& file, const std::string& utf8) {
    // A line break would end the key's line and start a line of its own.
    std::string name = Utf8ToCp1251(utf8);
    for (char& c : name)
        if (c == '\r' || c == '\n') c = ' ';
    IniFile settings(file);
    settings.WriteString(OperatorSection, OperatorNameKey, name);
}

}  // namespace zemvalkorta
