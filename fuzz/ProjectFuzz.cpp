// Opening a project file that is not what it claims. The first input byte
// chooses how the file is spoiled:
//   even: byte patches (four-byte offset, one byte value) applied to a fresh,
//         valid project file;
//   odd:  a valid file whose identity row and measurement rows come from the
//         input (name, data version, then MEASURE_DATA images of any length).
// A refused file must be left byte for byte as it was and LastError() must
// say why; an accepted one must read, process and save without failing
// other than with the errors each step documents.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/MeasureImage.h"
#include "core/Processing.h"
#include "storage/FirebirdSession.h"
#include "storage/MainDataModuleUnit.h"

using namespace zemvalkorta;

namespace {

struct Input {
    const std::uint8_t* Data;
    std::size_t Size;
    std::size_t Offset = 0;

    bool Empty() const { return Offset >= Size; }
    std::uint8_t Byte() { return Empty() ? 0 : Data[Offset++]; }
    std::uint32_t Word() {
        std::uint32_t value = 0;
        for (int index = 0; index < 4; ++index) value |= static_cast<std::uint32_t>(Byte()) << (8 * index);
        return value;
    }
    std::vector<std::uint8_t> Bytes(std::size_t count) {
        count = std::min(count, Size - std::min(Offset, Size));
        std::vector<std::uint8_t> bytes(Data + Offset, Data + Offset + count);
        Offset += count;
        return bytes;
    }
};

std::filesystem::path Folder() {
    static const std::filesystem::path folder = [] {
        auto path = std::filesystem::temp_directory_path() / ("zemvalkorta-fuzz-project-" + std::to_string(getpid()));
        std::filesystem::create_directories(path);
        return path;
    }();
    return folder;
}

std::vector<char> ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), {});
}

void WriteAll(const std::filesystem::path& path, const std::vector<char>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// One valid, empty project, made once per process.
const std::vector<char>& Template() {
    static const std::vector<char> bytes = [] {
        const auto path = Folder() / "template.fdb";
        std::filesystem::remove(path);
        TMainDataModule module;
        if (!module.CreateProject(path.string())) std::abort();
        return ReadAll(path);
    }();
    return bytes;
}

void PatchBytes(const std::filesystem::path& path, Input& input) {
    std::vector<char> bytes = Template();
    while (!input.Empty()) {
        const std::uint32_t offset = input.Word() % static_cast<std::uint32_t>(bytes.size());
        bytes[offset] = static_cast<char>(input.Byte());
    }
    WriteAll(path, bytes);
}

void WriteRows(const std::filesystem::path& path, Input& input) {
    WriteAll(path, Template());
    FirebirdSession session;
    session.Attach(ConnectionParameters{path.string(), "SYSDBA", ProjectPassword});
    session.StartTransaction();
    const std::uint8_t nameLength = input.Byte() % 33;
    std::vector<std::uint8_t> name = input.Bytes(nameLength);
    for (auto& character : name) character &= 0x7F;  // the column is ASCII
    const std::int64_t version = static_cast<std::int32_t>(input.Word());
    session.Execute("UPDATE SYSTEM_TABLE SET DEVICE_NAME = ?, DEVICE_DATA_VERSION = ?",
                    {std::string(name.begin(), name.end()), version});
    if (input.Byte() & 1) session.Execute("INSERT INTO SYSTEM_TABLE (DEVICE_NAME) VALUES ('second row')");
    while (!input.Empty()) {
        const std::size_t length = input.Word() % 4096;
        const std::vector<std::uint8_t> image = input.Bytes(length);
        FieldValue data;
        if (!image.empty()) data = BlobField::FromBytes(ByteArray(image.begin(), image.end()));
        session.Execute(
            "INSERT INTO MEASURE_RESULT_TABLE (MEASURE_DATE, MEASURE_TIME, MEASURE_NUMBER, MEASURE_DATA) "
            "VALUES (CURRENT_TIMESTAMP, CURRENT_TIMESTAMP, ?, ?)",
            {static_cast<std::int64_t>(input.Byte()), data});
    }
    session.Commit();
    session.Detach();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    Input input{data, size};
    const auto path = Folder() / "project.fdb";
    std::filesystem::remove(path);
    try {
        if (input.Byte() % 2 == 0)
            PatchBytes(path, input);
        else
            WriteRows(path, input);
    } catch (const DatabaseError&) {
        return 0;  // the engine itself refused to build this file
    }

    const std::vector<char> before = ReadAll(path);
    TMainDataModule module;
    if (!module.OpenProject(path.string())) {
        if (module.LastError().empty()) __builtin_trap();
        if (const std::vector<char> after = ReadAll(path); after != before) {
            std::size_t at = 0;
            while (at < std::min(after.size(), before.size()) && after[at] == before[at]) ++at;
            std::fprintf(stderr, "refused file changed at byte %zu (sizes %zu, %zu): %s\n", at, before.size(),
                         after.size(), module.LastError().c_str());
            __builtin_trap();
        }
        return 0;
    }
    try {
        for (bool more = !module.IsResultEmpty(); more;) {
            // A damaged image is refused with ImageError, an unprocessable
            // record with ProcessingError; the row stays as it was.
            try {
                TMeasureResult measure;
                if (module.ReadMeasure(measure) == 0) module.ProcessMeasure();
            } catch (const ProcessingError&) {
            } catch (const ImageError&) {
            }
            CachedDataSet& rows = module.ResultDataSet();
            rows.Next();
            more = !rows.Eof();
        }
        module.SaveChanges();
    } catch (const DatabaseError&) {
        // A damaged page found while reading is refused with the engine's message.
    }
    module.CloseProject();
    return 0;
}

extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfbclient.so\nleak:libEngine12.so\nleak:libicuuc.so\nleak:libicui18n.so\n";
}
