#pragma once

// A data set in cached-update mode over one table: every row is fetched when
// the set opens, edits, inserts and deletes are kept in memory with the row's
// state, and ApplyUpdates sends them in the order they were made, each with
// the set's insert, update or delete statement.

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "storage/FieldValue.h"
#include "storage/FirebirdSession.h"

namespace zemvalkorta {

enum class DataSetState { Inactive, Browse, Edit, Insert };
enum class RowState { Unchanged, Inserted, Modified, Deleted };

enum class DataSetEvent {
    DataChanged,     // rows came, went or were reordered; a view should reload
    RowChanged,      // values of the current row changed (posted, refreshed)
    CurrentChanged,  // another row became current (the after-scroll notification)
    StateChanged,    // browse, edit, insert or inactive
    BeforePost,      // bound editors write their pending text into the fields now
};

// Statements with parameters named "?NAME"; "?OLD_NAME" stands for the value
// of NAME as last read from the file.
struct DataSetStatements {
    std::string Select;
    std::string Refresh;
    std::string Insert;
    std::string Update;
    std::string Delete;
};

class CachedDataSet {
public:
    using Observer = std::function<void(DataSetEvent)>;
    using Values = std::vector<FieldValue>;
    using RowOrder = std::function<bool(const Values&, const Values&)>;

    CachedDataSet(FirebirdSession& session, DataSetStatements statements, std::string keyField, std::string generator);

    void Open();
    void Close();
    bool IsActive() const { return state_ != DataSetState::Inactive; }
    DataSetState State() const { return state_; }
    bool IsEditing() const { return state_ == DataSetState::Edit || state_ == DataSetState::Insert; }

    // Navigation over the rows not deleted in the cache. RecNo counts from 1;
    // 0 when the set is empty or closed.
    int RecordCount() const { return static_cast<int>(visible_.size()); }
    bool IsEmpty() const { return visible_.empty(); }
    int RecNo() const { return current_ < 0 ? 0 : current_ + 1; }
    void SetRecNo(int recordNumber);
    int MoveBy(int distance);
    void First();
    void Last();
    void Next();
    void Prior();
    bool Bof() const { return bof_; }
    bool Eof() const { return eof_; }
    bool Locate(const std::string& field, const FieldValue& value);

    const std::vector<std::string>& FieldNames() const { return fields_; }
    int FieldIndex(const std::string& field) const;
    // The current row's value; while editing, the value being edited.
    FieldValue Value(const std::string& field) const;
    // Value of any row (RecNo numbering) without moving the cursor.
    FieldValue ValueAt(int recordNumber, const std::string& field) const;
    // Blob content, read from the file when it was never assigned in memory.
    ByteArray BlobBytes(const std::string& field) const;
    std::string BlobText(const std::string& field) const;
    void SetValue(const std::string& field, FieldValue value);

    void Edit();
    void Append();  // a new row at the end; its key is drawn at once
    void Post();
    void Cancel();
    void Delete();

    bool HasCachedChanges() const;
    RowState CurrentRowState() const;
    // The cached changes in the order SendUpdates sends them; the pointers
    // hold until the next change of the set. An edit in progress is not one.
    struct CachedChange {
        RowState State;
        const Values* Original;  // as last read from the file
        const Values* Current;
    };
    std::vector<CachedChange> CachedChanges() const;
    // Sends every cached change, in the order made, without marking any of
    // them applied; MarkUpdatesApplied does that once the transaction they
    // were sent in has committed. ApplyUpdates is both at once, for a caller
    // that commits nothing or does not care about a failure half-way.
    void SendUpdates();
    void MarkUpdatesApplied();
    void ApplyUpdates();
    void CancelUpdates();
    void RefreshCurrentRow();
    // Stable in-memory sort of all rows, cached ones included; the current row stays current.
    void SortRows(const RowOrder& before);

    // Counted: only the last EnableControls brings notifications back, and
    // then announces DataChanged (but not a missed CurrentChanged).
    void DisableControls();
    void EnableControls();
    bool ControlsDisabled() const { return disabledLevel_ > 0; }

    // Set by a bound text field while it holds text not yet written into its field.
    void SetEditorModified(bool modified) { editorModified_ = modified; }
    bool EditorModified() const { return editorModified_; }

    int AddObserver(Observer observer);
    void RemoveObserver(int id);

private:
    struct Row {
        Values Current;
        Values Original;
        RowState State = RowState::Unchanged;
        std::uint64_t ChangeOrder = 0;
    };
    struct BoundStatement {
        std::string Text;
        std::vector<std::string> Parameters;
    };

    static BoundStatement Bind(const std::string& text);
    std::vector<std::size_t> ChangedRowsInOrder() const;
    std::vector<FieldValue> ParametersFor(const BoundStatement& statement, const Row& row) const;
    int RequireField(const std::string& field) const;
    Row& CurrentRow();
    const Row& CurrentRow() const;
    const Values& CurrentValues() const;
    void RequireBrowse(const char* operation);
    void RebuildVisible(std::size_t keepRow);
    void MoveTo(int index, bool announceAlways = false);
    void SetState(DataSetState state);
    void Notify(DataSetEvent event);
    void MarkChanged(Row& row, RowState state);

    FirebirdSession& session_;
    DataSetStatements statements_;
    BoundStatement refresh_, insert_, update_, delete_;
    std::string keyField_;
    std::string generator_;

    std::vector<std::string> fields_;
    std::vector<Row> rows_;             // deleted rows stay in place until applied
    std::vector<std::size_t> visible_;  // indices into rows_
    int current_ = -1;                  // index into visible_
    bool bof_ = true;
    bool eof_ = true;
    DataSetState state_ = DataSetState::Inactive;
    Values editBuffer_;
    std::uint64_t changeCounter_ = 0;
    int disabledLevel_ = 0;
    bool editorModified_ = false;
    std::map<int, Observer> observers_;
    int nextObserverId_ = 1;
};

}  // namespace zemvalkorta
