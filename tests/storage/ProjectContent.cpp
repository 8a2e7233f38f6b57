#include "ProjectContent.h"

#include <sstream>

#include "storage/FirebirdSession.h"
#include "storage/MainDataModuleUnit.h"

namespace zemvalkorta::testing {

namespace {

void Describe(std::ostringstream& out, FirebirdSession& session, const FieldValue& value) {
    out << value.index() << ':';
    if (const auto* integer = std::get_if<std::int64_t>(&value)) out << *integer;
    if (const auto* real = std::get_if<double>(&value)) out << *real;
    if (const auto* stamp = std::get_if<TimeStamp>(&value)) out << stamp->Ticks;
    if (const auto* text = std::get_if<std::string>(&value)) out << text->size() << '=' << *text;
    if (const auto* blob = std::get_if<BlobField>(&value); blob != nullptr && blob->Stored) {
        const ByteArray bytes = session.ReadBlob(*blob->Stored);
        out << bytes.size() << '=' << std::string(bytes.begin(), bytes.end());
    }
    out << ';';
}

}  // namespace

std::string CommittedContent(const std::string& path) {
    FirebirdSession session;
    session.Attach(ConnectionParameters{path, "SYSDBA", ProjectPassword});
    session.StartTransaction(true);
    std::ostringstream out;
    for (const char* table : {"SYSTEM_TABLE", "MEASURE_RESULT_TABLE"}) {
        QueryResult result = session.Select(std::string("SELECT * FROM ") + table + " ORDER BY 1");
        out << table << ' ' << result.Rows.size() << '\n';
        for (const auto& row : result.Rows) {
            for (const auto& value : row) Describe(out, session, value);
            out << '\n';
        }
    }
    session.Abandon();
    return out.str();
}

}  // namespace zemvalkorta::testing
