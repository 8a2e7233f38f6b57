#pragma once

// The history of amendments of a project's measurements, kept in tables of
// its own in the project file beside the two of the project itself (which
// stay as they are, so that a program without the history still opens the
// file and simply ignores them):
//
// - MEASURE_ORIGINAL_TABLE: the first stored record of every measurement
//   (image and comment as they first reached the file), never changed;
// - MEASURE_HISTORY_TABLE: one entry per insert, edit or delete with the UTC
//   time, the operator, and every changed field with its old and new value
//   (MeasureChanges.h); a delete keeps the deleted image. An entry without a
//   measurement key ("begin") marks where the history of a project made
//   before it starts.
//
// Triggers refuse any update or delete of both tables. The save collects the
// entries from the cache before it sends the rows and writes them after,
// inside the same savepoint of the same transaction, so rows and history
// commit together or are rolled back together.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "core/MeasureHistoryText.h"
#include "storage/CachedDataSet.h"
#include "storage/FirebirdSession.h"

namespace zemvalkorta {

struct OperatorIdentity {
    std::string Login;  // the account the program runs under
    std::string Name;   // the operator's name as set in the program; may be empty
};

// The login name of the account running this process.
std::string CurrentLoginName();

struct OriginalMeasure {
    ByteArray Image;
    std::optional<std::string> Comment;  // UTF-8
    // False for a measurement of a project made before the history: its
    // record as it was when its first amendment here was saved.
    bool AsInserted = true;
    double StoredUtc = 0.0;
};

// One entry a save is about to write, with the first stored record it brings.
struct PendingAmendment {
    std::int64_t MeasurePk = 0;
    AmendmentAction Action = AmendmentAction::Edit;
    FieldChanges Changes;
    FieldValue DeletedImage;  // the image a delete keeps
    bool StoresOriginal = false;
    bool OriginalAsInserted = true;
    FieldValue OriginalImage;
    FieldValue OriginalComment;
};

class MeasureHistory {
public:
    explicit MeasureHistory(FirebirdSession& session);

    // Off, the program behaves as one without the history: it neither makes
    // the tables nor writes or reads them. The probe and older-program tests use it.
    void SetEnabled(bool enabled) { enabled_ = enabled; }
    bool IsEnabled() const { return enabled_; }
    void SetOperator(OperatorIdentity identity) { operator_ = std::move(identity); }
    const OperatorIdentity& Operator() const { return operator_; }

    // The tables of a new project; its history starts with it.
    void CreateTables();
    // On open: makes the tables a project lacks, and for a project that had
    // none writes the begin entry. Commits what it wrote.
    void Prepare();
    // Whether the open project keeps a history.
    bool IsKept() const { return kept_; }
    void Forget();

    // The record of a new row as the download inserted and processed it,
    // before any edit: what the history keeps as its original.
    void RememberInserted(std::int64_t pk, const FieldValue& image);

    // Reads what the cached changes of the measurement rows amend; the save
    // calls it before it sends the rows. Rows whose save would change nothing
    // give no entry.
    void Collect(CachedDataSet& results);
    // Writes what Collect read, in the open transaction: the save's step
    // after the rows were sent and before the commit.
    void WriteCollected();

    // Oldest first. With a key: that measurement's entries, preceded by the
    // begin entry when the measurement is older than the history.
    std::vector<MeasureAmendment> Entries(std::optional<std::int64_t> pk = std::nullopt);
    std::optional<OriginalMeasure> Original(std::int64_t pk);

private:
    std::optional<std::string> CommentOf(const FieldValue& value);
    FieldValue ImageOf(const FieldValue& value, std::optional<TMeasureResult>& measure);
    bool HasOriginal(std::int64_t pk);
    std::vector<std::string> MissingObjects();
    void CreateMissing(const std::vector<std::string>& missing);
    void WriteEntry(std::optional<std::int64_t> pk, AmendmentAction action, const FieldChanges& changes,
                    const FieldValue& image, TimeStamp time);

    FirebirdSession& session_;
    bool enabled_ = true;
    bool kept_ = false;
    OperatorIdentity operator_;
    std::map<std::int64_t, FieldValue> inserted_;
    std::vector<PendingAmendment> collected_;
};

}  // namespace zemvalkorta
