#include "storage/CachedDataSet.h"

#include <algorithm>
#include <cctype>
#include <numeric>

namespace zemvalkorta {

namespace {

bool SameValue(const FieldValue& left, const FieldValue& right) {
    if (left.index() != right.index()) return false;
    if (std::holds_alternative<BlobField>(left)) return false;  // blobs are never keys
    return left == right;
}

}  // namespace

CachedDataSet::CachedDataSet(FirebirdSession& session, DataSetStatements statements, std::string keyField,
                             std::string generator)
    : session_(session),
      statements_(std::move(statements)),
      refresh_(Bind(statements_.Refresh)),
      insert_(Bind(statements_.Insert)),
      update_(Bind(statements_.Update)),
      delete_(Bind(statements_.Delete)),
      keyField_(std::move(keyField)),
      generator_(std::move(generator)) {}

CachedDataSet::BoundStatement CachedDataSet::Bind(const std::string& text) {
    BoundStatement bound;
    for (std::size_t i = 0; i < text.size(); ++i) {
        bound.Text += text[i];
        if (text[i] != '?') continue;
        std::string name;
        while (i + 1 < text.size() && (std::isalnum(static_cast<unsigned char>(text[i + 1])) || text[i + 1] == '_'))
            name += text[++i];
        bound.Parameters.push_back(name);
    }
    return bound;
}

std::vector<FieldValue> CachedDataSet::ParametersFor(const BoundStatement& statement, const Row& row) const {
    std::vector<FieldValue> parameters;
    for (const auto& name : statement.Parameters) {
        bool old = name.rfind("OLD_", 0) == 0;
        int index = RequireField(old ? name.substr(4) : name);
        parameters.push_back(old ? row.Original[index] : row.Current[index]);
    }
    return parameters;
}

int CachedDataSet::FieldIndex(const std::string& field) const {
    auto found = std::find(fields_.begin(), fields_.end(), field);
    return found == fields_.end() ? -1 : static_cast<int>(found - fields_.begin());
}

int CachedDataSet::RequireField(const std::string& field) const {
    int index = FieldIndex(field);
    if (index < 0) throw DatabaseError("Field " + field + " not found");
    return index;
}

CachedDataSet::Row& CachedDataSet::CurrentRow() {
    if (current_ < 0) throw DatabaseError("No current row");
    return rows_[visible_[current_]];
}

const CachedDataSet::Row& CachedDataSet::CurrentRow() const {
    if (current_ < 0) throw DatabaseError("No current row");
    return rows_[visible_[current_]];
}

const CachedDataSet::Values& CachedDataSet::CurrentValues() const {
    if (IsEditing()) return editBuffer_;
    return CurrentRow().Current;
}

void CachedDataSet::Open() {
    if (IsActive()) return;
    QueryResult result = session_.Select(statements_.Select);
    fields_ = std::move(result.Columns);
    rows_.clear();
    rows_.reserve(result.Rows.size());
    for (auto& values : result.Rows) rows_.push_back(Row{values, values, RowState::Unchanged, 0});
    visible_.resize(rows_.size());
    std::iota(visible_.begin(), visible_.end(), std::size_t{0});
    state_ = DataSetState::Browse;
    current_ = visible_.empty() ? -1 : 0;
    bof_ = true;
    eof_ = visible_.empty();
    Notify(DataSetEvent::StateChanged);
    Notify(DataSetEvent::DataChanged);
    Notify(DataSetEvent::CurrentChanged);
}

void CachedDataSet::Close() {
    if (!IsActive()) return;
    rows_.clear();
    visible_.clear();
    editBuffer_.clear();
    current_ = -1;
    bof_ = eof_ = true;
    editorModified_ = false;
    SetState(DataSetState::Inactive);
    Notify(DataSetEvent::DataChanged);
}

void CachedDataSet::MoveTo(int index, bool announceAlways) {
    if (IsEditing()) Post();
    int last = RecordCount() - 1;
    int target = last < 0 ? -1 : std::clamp(index, 0, last);
    bool moved = target != current_;
    current_ = target;
    if (moved || (announceAlways && target >= 0)) Notify(DataSetEvent::CurrentChanged);
}

void CachedDataSet::SetRecNo(int recordNumber) {
    MoveTo(recordNumber - 1);
    bof_ = eof_ = visible_.empty();
}

int CachedDataSet::MoveBy(int distance) {
    int before = current_;
    if (distance == 0 || current_ < 0) return 0;
    int wanted = current_ + distance;
    MoveTo(wanted);
    bof_ = wanted < 0;
    eof_ = wanted >= RecordCount();
    return current_ - before;
}

// First, Last and a successful Locate announce the current row even when it
// does not change, as a caller that moves to the first row expects it shown.
void CachedDataSet::First() {
    MoveTo(0, true);
    bof_ = true;
    eof_ = visible_.empty();
}

void CachedDataSet::Last() {
    MoveTo(RecordCount() - 1, true);
    bof_ = visible_.empty();
    eof_ = true;
}

void CachedDataSet::Next() {
    if (current_ < 0) return;
    if (current_ + 1 >= RecordCount()) {
        if (state_ != DataSetState::Browse) Post();
        eof_ = true;
        return;
    }
    MoveTo(current_ + 1);
    bof_ = eof_ = false;
}

void CachedDataSet::Prior() {
    if (current_ < 0) return;
    if (current_ == 0) {
        if (state_ != DataSetState::Browse) Post();
        bof_ = true;
        return;
    }
    MoveTo(current_ - 1);
    bof_ = eof_ = false;
}

bool CachedDataSet::Locate(const std::string& field, const FieldValue& value) {
    int index = RequireField(field);
    for (int i = 0; i < RecordCount(); ++i) {
        if (SameValue(rows_[visible_[i]].Current[index], value)) {
            MoveTo(i, true);
            bof_ = eof_ = false;
            return true;
        }
    }
    return false;
}

FieldValue CachedDataSet::Value(const std::string& field) const { return CurrentValues()[RequireField(field)]; }

FieldValue CachedDataSet::ValueAt(int recordNumber, const std::string& field) const {
    if (recordNumber < 1 || recordNumber > RecordCount()) throw DatabaseError("Row out of range");
    if (recordNumber - 1 == current_ && IsEditing()) return editBuffer_[RequireField(field)];
    return rows_[visible_[recordNumber - 1]].Current[RequireField(field)];
}

ByteArray CachedDataSet::BlobBytes(const std::string& field) const {
    const FieldValue& value = CurrentValues()[RequireField(field)];
    if (const auto* blob = std::get_if<BlobField>(&value)) {
        if (blob->Data) return *blob->Data;
        if (blob->Stored) return session_.ReadBlob(*blob->Stored);
        return {};
    }
    if (const auto* text = std::get_if<std::string>(&value)) return ByteArray(text->begin(), text->end());
    return {};
}

std::string CachedDataSet::BlobText(const std::string& field) const {
    ByteArray bytes = BlobBytes(field);
    return std::string(bytes.begin(), bytes.end());
}

void CachedDataSet::SetValue(const std::string& field, FieldValue value) {
    if (state_ != DataSetState::Edit && state_ != DataSetState::Insert)
        throw DatabaseError("Data set is not in edit or insert state");
    int index = RequireField(field);
    if (auto* text = std::get_if<std::string>(&value);
        text != nullptr && std::holds_alternative<BlobField>(rows_[visible_[current_]].Original[index])) {
        value = BlobField::FromBytes(ByteArray(text->begin(), text->end()));
    }
    editBuffer_[index] = std::move(value);
}

void CachedDataSet::RequireBrowse(const char* operation) {
    if (!IsActive()) throw DatabaseError(std::string("Data set is closed: ") + operation);
}

void CachedDataSet::Edit() {
    RequireBrowse("Edit");
    if (state_ != DataSetState::Browse) return;
    if (current_ < 0) throw DatabaseError("No row to edit");
    editBuffer_ = CurrentRow().Current;
    SetState(DataSetState::Edit);
}

void CachedDataSet::Append() {
    RequireBrowse("Append");
    if (state_ != DataSetState::Browse) Post();
    Values values(fields_.size());
    // A blob column starts null but must stay a blob when text is assigned.
    for (std::size_t i = 0; i < fields_.size(); ++i)
        if (!rows_.empty() && std::holds_alternative<BlobField>(rows_.front().Original[i])) values[i] = BlobField{};
    int key = RequireField(keyField_);
    values[key] = session_.NextGeneratorValue(generator_);
    rows_.push_back(Row{values, values, RowState::Inserted, 0});
    visible_.push_back(rows_.size() - 1);
    editBuffer_ = values;
    current_ = RecordCount() - 1;
    bof_ = false;
    eof_ = true;
    SetState(DataSetState::Insert);
    Notify(DataSetEvent::DataChanged);
    Notify(DataSetEvent::CurrentChanged);
}

void CachedDataSet::MarkChanged(Row& row, RowState state) {
    if (row.ChangeOrder == 0 || state == RowState::Deleted) row.ChangeOrder = ++changeCounter_;
    row.State = state;
}

void CachedDataSet::Post() {
    if (!IsEditing()) return;
    Notify(DataSetEvent::BeforePost);
    Row& row = CurrentRow();
    row.Current = editBuffer_;
    MarkChanged(row, row.State == RowState::Inserted ? RowState::Inserted : RowState::Modified);
    editorModified_ = false;
    SetState(DataSetState::Browse);
    Notify(DataSetEvent::RowChanged);
}

void CachedDataSet::Cancel() {
    if (state_ == DataSetState::Insert) {
        std::size_t removed = visible_[current_];
        rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(removed));
        RebuildVisible(rows_.size());
        current_ = std::min(current_, RecordCount() - 1);
        editorModified_ = false;
        SetState(DataSetState::Browse);
        Notify(DataSetEvent::DataChanged);
        Notify(DataSetEvent::CurrentChanged);
        return;
    }
    if (state_ != DataSetState::Edit) return;
    editorModified_ = false;
    SetState(DataSetState::Browse);
    Notify(DataSetEvent::RowChanged);
}

void CachedDataSet::Delete() {
    RequireBrowse("Delete");
    if (state_ == DataSetState::Insert) return Cancel();
    if (state_ == DataSetState::Edit) Cancel();
    if (current_ < 0) throw DatabaseError("No row to delete");
    std::size_t index = visible_[current_];
    if (rows_[index].State == RowState::Inserted) {
        rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(index));
    } else {
        MarkChanged(rows_[index], RowState::Deleted);
    }
    RebuildVisible(rows_.size());
    current_ = std::min(current_, RecordCount() - 1);
    eof_ = visible_.empty();
    Notify(DataSetEvent::DataChanged);
    Notify(DataSetEvent::CurrentChanged);
}

void CachedDataSet::RebuildVisible(std::size_t keepRow) {
    visible_.clear();
    int keep = -1;
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        if (rows_[i].State == RowState::Deleted) continue;
        if (i == keepRow) keep = static_cast<int>(visible_.size());
        visible_.push_back(i);
    }
    if (keep >= 0) current_ = keep;
}

bool CachedDataSet::HasCachedChanges() const {
    return std::any_of(rows_.begin(), rows_.end(), [](const Row& row) { return row.State != RowState::Unchanged; });
}

RowState CachedDataSet::CurrentRowState() const { return CurrentRow().State; }

std::vector<CachedDataSet::CachedChange> CachedDataSet::CachedChanges() const {
    std::vector<CachedChange> changes;
    for (std::size_t index : ChangedRowsInOrder())
        changes.push_back({rows_[index].State, &rows_[index].Original, &rows_[index].Current});
    return changes;
}

std::vector<std::size_t> CachedDataSet::ChangedRowsInOrder() const {
    std::vector<std::size_t> order;
    for (std::size_t i = 0; i < rows_.size(); ++i)
        if (rows_[i].State != RowState::Unchanged) order.push_back(i);
    std::sort(order.begin(), order.end(),
              [&](std::size_t a, std::size_t b) { return rows_[a].ChangeOrder < rows_[b].ChangeOrder; });
    return order;
}

void CachedDataSet::SendUpdates() {
    if (IsEditing()) Post();
    // Nothing is marked here: until the caller's transaction has committed,
    // every change stays cached as it was, so that a failed save can be tried
    // again or cancelled whole.
    for (std::size_t index : ChangedRowsInOrder()) {
        const Row& row = rows_[index];
        const BoundStatement& statement = row.State == RowState::Inserted   ? insert_
                                          : row.State == RowState::Modified ? update_
                                                                            : delete_;
        session_.Execute(statement.Text, ParametersFor(statement, row));
    }
}

void CachedDataSet::MarkUpdatesApplied() {
    std::size_t currentRow = current_ < 0 ? rows_.size() : visible_[current_];
    std::vector<Row> kept;
    kept.reserve(rows_.size());
    std::size_t newCurrent = 0;
    bool found = false;
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        Row& row = rows_[i];
        if (row.State == RowState::Deleted) continue;
        row.Original = row.Current;
        row.ChangeOrder = 0;
        row.State = RowState::Unchanged;
        if (i == currentRow) newCurrent = kept.size(), found = true;
        kept.push_back(std::move(row));
    }
    rows_ = std::move(kept);
    RebuildVisible(found ? newCurrent : rows_.size());
    Notify(DataSetEvent::DataChanged);
}

void CachedDataSet::ApplyUpdates() {
    SendUpdates();
    MarkUpdatesApplied();
}

void CachedDataSet::CancelUpdates() {
    if (IsEditing()) Cancel();
    std::size_t currentRow = current_ < 0 ? rows_.size() : visible_[current_];
    std::vector<Row> kept;
    kept.reserve(rows_.size());
    std::size_t newCurrent = rows_.size();
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        Row& row = rows_[i];
        if (row.State == RowState::Inserted) continue;
        row.Current = row.Original;
        row.State = RowState::Unchanged;
        row.ChangeOrder = 0;
        if (i == currentRow) newCurrent = kept.size();
        kept.push_back(std::move(row));
    }
    rows_ = std::move(kept);
    int previous = current_;
    // The sentinel is the size before the inserted rows were dropped.
    const bool currentKept = newCurrent < rows_.size();
    RebuildVisible(currentKept ? newCurrent : rows_.size());
    if (!currentKept) current_ = std::clamp(previous, visible_.empty() ? -1 : 0, RecordCount() - 1);
    eof_ = visible_.empty();
    Notify(DataSetEvent::DataChanged);
    Notify(DataSetEvent::CurrentChanged);
}

void CachedDataSet::RefreshCurrentRow() {
    if (current_ < 0 || state_ != DataSetState::Browse) return;
    Row& row = CurrentRow();
    if (row.State != RowState::Unchanged) return;  // a cached change is not overwritten
    QueryResult result = session_.Select(refresh_.Text, ParametersFor(refresh_, row));
    if (result.Rows.empty()) return;
    row.Current = result.Rows.front();
    row.Original = row.Current;
    Notify(DataSetEvent::RowChanged);
}

void CachedDataSet::SortRows(const RowOrder& before) {
    if (IsEditing()) Post();
    std::size_t currentRow = current_ < 0 ? rows_.size() : visible_[current_];
    std::vector<std::size_t> order(rows_.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return before(rows_[a].Current, rows_[b].Current); });
    std::vector<Row> sorted;
    sorted.reserve(rows_.size());
    std::size_t newCurrent = rows_.size();
    for (std::size_t index : order) {
        if (index == currentRow) newCurrent = sorted.size();
        sorted.push_back(std::move(rows_[index]));
    }
    rows_ = std::move(sorted);
    RebuildVisible(newCurrent);
    Notify(DataSetEvent::DataChanged);
}

void CachedDataSet::DisableControls() { ++disabledLevel_; }

void CachedDataSet::EnableControls() {
    if (disabledLevel_ == 0) return;
    if (--disabledLevel_ == 0) Notify(DataSetEvent::DataChanged);
}

int CachedDataSet::AddObserver(Observer observer) {
    observers_.emplace(nextObserverId_, std::move(observer));
    return nextObserverId_++;
}

void CachedDataSet::RemoveObserver(int id) { observers_.erase(id); }

void CachedDataSet::SetState(DataSetState state) {
    if (state_ == state) return;
    state_ = state;
    Notify(DataSetEvent::StateChanged);
}

void CachedDataSet::Notify(DataSetEvent event) {
    if (disabledLevel_ > 0 && event != DataSetEvent::BeforePost) return;
    // Observers may add or remove observers while being told: one removed
    // meanwhile is not told any more (its owner may be gone), one added is
    // told from the next event on.
    auto snapshot = observers_;
    for (auto& [id, observer] : snapshot)
        if (observers_.count(id) != 0) observer(event);
}

}  // namespace zemvalkorta
