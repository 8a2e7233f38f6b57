#include "storage/MeasureHistory.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>

#include "core/MeasureImage.h"
#include "core/StoredDateTime.h"
#include "core/TextCodec.h"
#include "core/UserAccount.h"
#include "storage/MainDataModuleUnit.h"

namespace zemvalkorta {

namespace {

struct SchemaObject {
    const char* Name;
    const char* Statement;
};

// In the order they depend on each other.
constexpr SchemaObject HistorySchema[] = {
    {"MEASURE_HISTORY_TABLE_GEN", "CREATE GENERATOR MEASURE_HISTORY_TABLE_GEN;"},
    {"MEASURE_HISTORY_TABLE",
     "CREATE TABLE MEASURE_HISTORY_TABLE(MEASURE_HISTORY_TABLE_PK INTEGER NOT NULL,MEASURE_RESULT_TABLE_PK "
     "INTEGER,CHANGE_TIME TIMESTAMP NOT NULL,LOGIN_NAME BLOB SUB_TYPE 0 SEGMENT SIZE 256,OPERATOR_NAME BLOB SUB_TYPE "
     "0 SEGMENT SIZE 256,ACTION_KIND VARCHAR(8) NOT NULL,CHANGES BLOB SUB_TYPE 0 SEGMENT SIZE 256,MEASURE_DATA BLOB "
     "SUB_TYPE 0 SEGMENT SIZE 256,PRIMARY KEY (MEASURE_HISTORY_TABLE_PK));"},
    {"MEASURE_HISTORY_MEASURE",
     "CREATE INDEX MEASURE_HISTORY_MEASURE ON MEASURE_HISTORY_TABLE (MEASURE_RESULT_TABLE_PK);"},
    {"MEASURE_ORIGINAL_TABLE",
     "CREATE TABLE MEASURE_ORIGINAL_TABLE(MEASURE_RESULT_TABLE_PK INTEGER NOT NULL,STORED_TIME TIMESTAMP NOT "
     "NULL,AS_INSERTED SMALLINT NOT NULL,MEASURE_DATA BLOB SUB_TYPE 0 SEGMENT SIZE 256,MEASURE_COMMENT BLOB SUB_TYPE 0 "
     "SEGMENT SIZE 256,PRIMARY KEY (MEASURE_RESULT_TABLE_PK));"},
    {"MEASURE_HISTORY_IS_KEPT",
     "CREATE EXCEPTION MEASURE_HISTORY_IS_KEPT 'Entries of the history of changes are never changed or removed';"},
    {"MEASURE_HISTORY_KEEP",
     "CREATE TRIGGER MEASURE_HISTORY_KEEP FOR MEASURE_HISTORY_TABLE ACTIVE BEFORE UPDATE OR DELETE POSITION 0 AS "
     "BEGIN EXCEPTION MEASURE_HISTORY_IS_KEPT; END;"},
    {"MEASURE_ORIGINAL_KEEP",
     "CREATE TRIGGER MEASURE_ORIGINAL_KEEP FOR MEASURE_ORIGINAL_TABLE ACTIVE BEFORE UPDATE OR DELETE POSITION 0 AS "
     "BEGIN EXCEPTION MEASURE_HISTORY_IS_KEPT; END;"},
};

const char* const SchemaObjectsQuery =
    "SELECT RDB$RELATION_NAME FROM RDB$RELATIONS WHERE RDB$RELATION_NAME STARTING WITH 'MEASURE_'\n"
    "UNION ALL SELECT RDB$GENERATOR_NAME FROM RDB$GENERATORS WHERE RDB$GENERATOR_NAME STARTING WITH 'MEASURE_'\n"
    "UNION ALL SELECT RDB$INDEX_NAME FROM RDB$INDICES WHERE RDB$INDEX_NAME STARTING WITH 'MEASURE_'\n"
    "UNION ALL SELECT RDB$EXCEPTION_NAME FROM RDB$EXCEPTIONS WHERE RDB$EXCEPTION_NAME STARTING WITH 'MEASURE_'\n"
    "UNION ALL SELECT RDB$TRIGGER_NAME FROM RDB$TRIGGERS WHERE RDB$TRIGGER_NAME STARTING WITH 'MEASURE_'";

const char* const InsertEntry =
    "INSERT INTO MEASURE_HISTORY_TABLE(MEASURE_HISTORY_TABLE_PK, MEASURE_RESULT_TABLE_PK, CHANGE_TIME, LOGIN_NAME,\n"
    "  OPERATOR_NAME, ACTION_KIND, CHANGES, MEASURE_DATA)\n"
    "VALUES(GEN_ID(MEASURE_HISTORY_TABLE_GEN, 1), ?, ?, ?, ?, ?, ?, ?)";

const char* const InsertOriginal =
    "INSERT INTO MEASURE_ORIGINAL_TABLE(MEASURE_RESULT_TABLE_PK, STORED_TIME, AS_INSERTED, MEASURE_DATA,\n"
    "  MEASURE_COMMENT)\n"
    "VALUES(?, ?, ?, ?, ?)";

const char* const SelectEntries =
    "SELECT MEASURE_RESULT_TABLE_PK, CHANGE_TIME, LOGIN_NAME, OPERATOR_NAME, ACTION_KIND, CHANGES\n"
    "FROM MEASURE_HISTORY_TABLE\n"
    "ORDER BY MEASURE_HISTORY_TABLE_PK";

const char* const SelectMeasureEntries =
    "SELECT MEASURE_RESULT_TABLE_PK, CHANGE_TIME, LOGIN_NAME, OPERATOR_NAME, ACTION_KIND, CHANGES\n"
    "FROM MEASURE_HISTORY_TABLE\n"
    "WHERE MEASURE_RESULT_TABLE_PK = ? OR MEASURE_RESULT_TABLE_PK IS NULL\n"
    "ORDER BY MEASURE_HISTORY_TABLE_PK";

const char* const SelectOriginal =
    "SELECT STORED_TIME, AS_INSERTED, MEASURE_DATA, MEASURE_COMMENT FROM MEASURE_ORIGINAL_TABLE\n"
    "WHERE MEASURE_RESULT_TABLE_PK = ?";

std::string TrimRight(std::string text) {
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

// Whole seconds: the history shows no finer time.
TimeStamp NowUtc() {
    const auto now = std::chrono::floor<std::chrono::seconds>(std::chrono::system_clock::now());
    return TimeStamp{SecondsSinceOrigin(now).count() * (TicksPerDay / 86400)};
}

// Assigned blobs are shared, so the same bytes are the same value; stored
// blobs are the same when their ids are.
bool SameBlob(const FieldValue& left, const FieldValue& right) {
    const auto* a = std::get_if<BlobField>(&left);
    const auto* b = std::get_if<BlobField>(&right);
    if (a == nullptr || b == nullptr) return IsNull(left) && IsNull(right);
    if (a->IsNull() || b->IsNull()) return a->IsNull() && b->IsNull();
    if (a->Data || b->Data) return a->Data == b->Data;
    return a->Stored == b->Stored;
}

FieldValue NullIfEmpty(std::string text) {
    if (text.empty()) return std::monostate{};
    return text;
}

}  // namespace

std::string CurrentLoginName() {
    if (auto account = FindUserAccount(geteuid()); account && !account->Name.empty()) return account->Name;
    if (const char* user = std::getenv("USER"); user != nullptr && *user != '\0') return user;
    return "uid " + std::to_string(geteuid());
}

MeasureHistory::MeasureHistory(FirebirdSession& session) : session_(session), operator_{CurrentLoginName(), {}} {}

std::vector<std::string> MeasureHistory::MissingObjects() {
    QueryResult found = session_.Select(SchemaObjectsQuery);
    std::vector<std::string> names;
    for (const auto& row : found.Rows) names.push_back(TrimRight(AsText(row.at(0))));
    std::vector<std::string> missing;
    for (const SchemaObject& object : HistorySchema)
        if (std::find(names.begin(), names.end(), object.Name) == names.end()) missing.emplace_back(object.Name);
    return missing;
}

void MeasureHistory::CreateMissing(const std::vector<std::string>& missing) {
    session_.StartTransaction();
    for (const SchemaObject& object : HistorySchema) {
        if (std::find(missing.begin(), missing.end(), object.Name) == missing.end()) continue;
        session_.Execute(object.Statement);
        session_.CommitRetaining();
    }
}

void MeasureHistory::CreateTables() {
    kept_ = false;
    inserted_.clear();
    if (!enabled_) return;
    CreateMissing(MissingObjects());
}

void MeasureHistory::Prepare() {
    Forget();
    if (!enabled_) return;
    const std::vector<std::string> missing = MissingObjects();
    if (!missing.empty()) {
        const bool startsNow = std::find(missing.begin(), missing.end(), "MEASURE_HISTORY_TABLE") != missing.end();
        CreateMissing(missing);
        if (startsNow) {
            WriteEntry(std::nullopt, AmendmentAction::Begin, {}, std::monostate{}, NowUtc());
            session_.CommitRetaining();
        }
    }
    kept_ = true;
}

void MeasureHistory::Forget() {
    kept_ = false;
    inserted_.clear();
    collected_.clear();
}

void MeasureHistory::RememberInserted(std::int64_t pk, const FieldValue& image) {
    if (kept_) inserted_[pk] = image;
}

std::optional<std::string> MeasureHistory::CommentOf(const FieldValue& value) {
    ByteArray bytes;
    if (const auto* blob = std::get_if<BlobField>(&value)) {
        if (blob->Data)
            bytes = *blob->Data;
        else if (blob->Stored)
            bytes = session_.ReadBlob(*blob->Stored);
    } else if (const auto* text = std::get_if<std::string>(&value)) {
        bytes.assign(text->begin(), text->end());
    }
    // An emptied comment reads as no comment, as the window shows both alike.
    if (bytes.empty()) return std::nullopt;
    return Cp1251ToUtf8(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

FieldValue MeasureHistory::ImageOf(const FieldValue& value, std::optional<TMeasureResult>& measure) {
    measure.reset();
    std::shared_ptr<const ByteArray> bytes;
    if (const auto* blob = std::get_if<BlobField>(&value)) {
        if (blob->Data)
            bytes = blob->Data;
        else if (blob->Stored)
            bytes = std::make_shared<const ByteArray>(session_.ReadBlob(*blob->Stored));
    }
    if (!bytes || bytes->empty()) return std::monostate{};
    try {
        measure = DecodeMeasure(*bytes);
    } catch (const ImageError&) {
        // A damaged image is kept as it is but has no fields to compare.
    }
    return BlobField{std::nullopt, bytes};
}

bool MeasureHistory::HasOriginal(std::int64_t pk) {
    return !session_.Select("SELECT 1 FROM MEASURE_ORIGINAL_TABLE WHERE MEASURE_RESULT_TABLE_PK = ?", {pk})
                .Rows.empty();
}

void MeasureHistory::Collect(CachedDataSet& results) {
    collected_.clear();
    std::vector<PendingAmendment> pending;
    if (!kept_ || !results.IsActive() || !results.HasCachedChanges()) return;
    // The save posts an edit in progress before it sends the rows; so does this.
    if (results.IsEditing()) results.Post();
    const int key = results.FieldIndex(MeasureResultTablePk);
    const int data = results.FieldIndex(MeasureDataField);
    const int comment = results.FieldIndex(MeasureCommentField);
    if (key < 0 || data < 0 || comment < 0) throw DatabaseError("The measurement rows lack a column of the history");
    std::map<std::int64_t, FieldValue> stillInserted;
    for (const CachedDataSet::CachedChange& change : results.CachedChanges()) {
        const CachedDataSet::Values& original = *change.Original;
        const CachedDataSet::Values& current = *change.Current;
        PendingAmendment entry;
        if (change.State == RowState::Inserted) {
            entry.MeasurePk = AsInteger(current[key]);
            entry.Action = AmendmentAction::Insert;
            const auto captured = inserted_.find(entry.MeasurePk);
            const FieldValue& first = captured != inserted_.end() ? captured->second : current[data];
            if (captured != inserted_.end()) stillInserted.insert(*captured);
            std::optional<TMeasureResult> firstRecord;
            entry.OriginalImage = ImageOf(first, firstRecord);
            entry.Changes = DiffMeasures(std::nullopt, firstRecord);
            if (auto note = DiffComment(std::nullopt, CommentOf(current[comment]))) entry.Changes.push_back(*note);
            entry.StoresOriginal = true;
            entry.OriginalComment = current[comment];
            pending.push_back(std::move(entry));
            // Edits made before the first save follow the insert as an edit of their own.
            if (!SameBlob(first, current[data])) {
                std::optional<TMeasureResult> now;
                ImageOf(current[data], now);
                FieldChanges edits = DiffMeasures(firstRecord, now);
                if (!edits.empty()) {
                    PendingAmendment edit;
                    edit.MeasurePk = pending.back().MeasurePk;
                    edit.Changes = std::move(edits);
                    pending.push_back(std::move(edit));
                }
            }
        } else if (change.State == RowState::Modified) {
            entry.MeasurePk = AsInteger(original[key]);
            const bool sameImage = SameBlob(original[data], current[data]);
            std::optional<TMeasureResult> before, after;
            FieldValue beforeImage;
            if (!sameImage) {
                beforeImage = ImageOf(original[data], before);
                ImageOf(current[data], after);
                entry.Changes = DiffMeasures(before, after);
            }
            if (!SameBlob(original[comment], current[comment]))
                if (auto note = DiffComment(CommentOf(original[comment]), CommentOf(current[comment])))
                    entry.Changes.push_back(*note);
            if (entry.Changes.empty()) continue;
            if (!HasOriginal(entry.MeasurePk)) {
                // A measurement older than the history: what it was before this first amendment.
                if (sameImage) beforeImage = ImageOf(original[data], before);
                entry.StoresOriginal = true;
                entry.OriginalAsInserted = false;
                entry.OriginalImage = beforeImage;
                entry.OriginalComment = original[comment];
            }
            pending.push_back(std::move(entry));
        } else if (change.State == RowState::Deleted) {
            entry.MeasurePk = AsInteger(original[key]);
            entry.Action = AmendmentAction::Delete;
            std::optional<TMeasureResult> before;
            entry.DeletedImage = ImageOf(original[data], before);
            if (!HasOriginal(entry.MeasurePk)) {
                entry.StoresOriginal = true;
                entry.OriginalAsInserted = false;
                entry.OriginalImage = entry.DeletedImage;
                entry.OriginalComment = original[comment];
            }
            entry.Changes = DiffMeasures(before, std::nullopt);
            if (auto note = DiffComment(CommentOf(original[comment]), std::nullopt)) entry.Changes.push_back(*note);
            pending.push_back(std::move(entry));
        }
    }
    inserted_ = std::move(stillInserted);
    // Stored blobs travel as their bytes: the rows they belong to may be gone
    // by the time the entries are written.
    for (PendingAmendment& entry : pending) {
        if (const auto* blob = std::get_if<BlobField>(&entry.OriginalComment); blob != nullptr && blob->Stored) {
            ByteArray bytes = session_.ReadBlob(*blob->Stored);
            entry.OriginalComment = BlobField::FromBytes(std::move(bytes));
        }
    }
    collected_ = std::move(pending);
}

void MeasureHistory::WriteEntry(std::optional<std::int64_t> pk, AmendmentAction action, const FieldChanges& changes,
                                const FieldValue& image, TimeStamp time) {
    const FieldValue key = pk ? FieldValue{*pk} : FieldValue{std::monostate{}};
    session_.Execute(InsertEntry, {key, time, NullIfEmpty(operator_.Login), NullIfEmpty(operator_.Name),
                                   std::string(ActionName(action)), NullIfEmpty(EncodeChanges(changes)), image});
}

void MeasureHistory::WriteCollected() {
    // Taken out first: a save that fails from here on collects afresh.
    const std::vector<PendingAmendment> amendments = std::move(collected_);
    collected_.clear();
    if (!kept_ || amendments.empty()) return;
    const TimeStamp now = NowUtc();
    for (const PendingAmendment& entry : amendments) {
        if (entry.StoresOriginal)
            session_.Execute(InsertOriginal, {entry.MeasurePk, now, std::int64_t{entry.OriginalAsInserted ? 1 : 0},
                                              entry.OriginalImage, entry.OriginalComment});
        WriteEntry(entry.MeasurePk, entry.Action, entry.Changes, entry.DeletedImage, now);
    }
}

std::vector<MeasureAmendment> MeasureHistory::Entries(std::optional<std::int64_t> pk) {
    std::vector<MeasureAmendment> entries;
    if (!kept_) return entries;
    const QueryResult found = pk ? session_.Select(SelectMeasureEntries, {*pk}) : session_.Select(SelectEntries);
    auto text = [&](const FieldValue& value) {
        const auto* blob = std::get_if<BlobField>(&value);
        if (blob == nullptr || blob->Stored == std::nullopt) return std::string();
        const ByteArray bytes = session_.ReadBlob(*blob->Stored);
        return std::string(bytes.begin(), bytes.end());
    };
    bool inserted = false;
    for (const auto& row : found.Rows) {
        MeasureAmendment entry;
        if (!IsNull(row.at(0))) entry.MeasurePk = AsInteger(row[0]);
        entry.TimeUtc = DateTimeFromTimeStamp(AsTimeStamp(row.at(1)));
        entry.Login = text(row.at(2));
        entry.OperatorName = text(row.at(3));
        const std::string action = TrimRight(AsText(row.at(4)));
        const auto kind = ActionFromName(action);
        if (!kind) throw DatabaseError("Unknown action \"" + action + "\" in the history of changes");
        entry.Action = *kind;
        try {
            entry.Changes = DecodeChanges(text(row.at(5)));
        } catch (const ChangesError& error) {
            throw DatabaseError(std::string("Damaged entry in the history of changes: ") + error.what());
        }
        inserted = inserted || entry.Action == AmendmentAction::Insert;
        entries.push_back(std::move(entry));
    }
    // A measurement inserted under the history has no use for the start of
    // the history of its project.
    if (pk && inserted)
        std::erase_if(entries, [](const MeasureAmendment& entry) { return !entry.MeasurePk.has_value(); });
    return entries;
}

std::optional<OriginalMeasure> MeasureHistory::Original(std::int64_t pk) {
    if (!kept_) return std::nullopt;
    const QueryResult found = session_.Select(SelectOriginal, {pk});
    if (found.Rows.empty()) return std::nullopt;
    const auto& row = found.Rows.front();
    OriginalMeasure original;
    original.StoredUtc = DateTimeFromTimeStamp(AsTimeStamp(row.at(0)));
    original.AsInserted = AsInteger(row.at(1)) != 0;
    if (const auto* blob = std::get_if<BlobField>(&row.at(2)); blob != nullptr && blob->Stored)
        original.Image = session_.ReadBlob(*blob->Stored);
    original.Comment = CommentOf(row.at(3));
    return original;
}

}  // namespace zemvalkorta
