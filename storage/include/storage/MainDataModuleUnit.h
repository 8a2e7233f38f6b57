#pragma once

// The project: one Firebird database file with the identity row and one row
// per measurement, reached through two cached-update data sets. Every change
// stays in the caches until SaveChanges; see SaveChanges for durability.

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>

#include "core/DSPUnit.h"
#include "core/MeasureResult.h"
#include "storage/CachedDataSet.h"
#include "storage/FirebirdSession.h"
#include "storage/MeasureHistory.h"

namespace zemvalkorta {

inline constexpr const char* DeviceName = "ZEMVALKORTA-1.0";
inline constexpr const char* ProjectPassword = "tarnwheel";

// Field names of the two tables.
inline constexpr const char* SystemTablePk = "SYSTEM_TABLE_PK";
inline constexpr const char* DeviceNameField = "DEVICE_NAME";
inline constexpr const char* DeviceDataVersionField = "DEVICE_DATA_VERSION";
inline constexpr const char* ProjectDescriptionField = "PROJECT_DESCRIPTION";
inline constexpr const char* MeasureResultTablePk = "MEASURE_RESULT_TABLE_PK";
inline constexpr const char* MeasureDateField = "MEASURE_DATE";
inline constexpr const char* MeasureTimeField = "MEASURE_TIME";
inline constexpr const char* MeasureNumberField = "MEASURE_NUMBER";
inline constexpr const char* MeasureDataField = "MEASURE_DATA";
inline constexpr const char* MeasureCommentField = "MEASURE_COMMENT";

// How the measurement list shows the fields of ResultDataSet, in list order.
struct FieldLayout {
    const char* Name;
    const char* Label;          // empty for hidden fields
    int DisplayWidth;           // characters; 0 for hidden fields
    const char* DisplayFormat;  // "dd.mm.yyyy", "hh:mm:ss" or empty
    bool Visible;
    bool ReadOnly;  // for bound controls
};

inline constexpr FieldLayout ResultFieldLayout[] = {
    {MeasureDateField, "Дата", 10, "dd.mm.yyyy", true, true},
    {MeasureTimeField, "Время", 10, "hh:mm:ss", true, true},
    {MeasureNumberField, "№", 8, "", true, true},
    {MeasureDataField, "", 0, "", false, false},
    {MeasureCommentField, "", 0, "", false, false},
    {MeasureResultTablePk, "", 0, "", false, false},
};

class TMainDataModule {
public:
    using ShowResultHandler = std::function<void(CachedDataSet& dataSet, bool SelectFirstChannel)>;

    TMainDataModule();
    ~TMainDataModule();
    TMainDataModule(const TMainDataModule&) = delete;
    TMainDataModule& operator=(const TMainDataModule&) = delete;

    // Replaces nothing: the caller deletes an existing file first. Returns
    // false when the file cannot be created; a failing schema statement
    // throws DatabaseError and leaves no connection behind.
    bool CreateProject(const std::string& path);
    // False for anything that is not a project of this data version; the
    // refused file is not written to. LastError() tells why.
    // A local file is first opened by the probe program (ProjectProbe.h);
    // a file on which the engine crashes or hangs is refused like any other.
    bool OpenProject(const std::string& path);
    // How long the probe may take. Zero opens without it, as the probe itself
    // does; such a session is then not remembered as cleanly closed either.
    void SetProbeTimeLimit(std::chrono::milliseconds limit) { probeTimeLimit_ = limit; }
    // How OpenProject checks a file (CheckBeforeOpening unless replaced): a
    // window runs the check beside its event loop and lets the operator
    // cancel it. Returns why the file is refused, or nothing.
    using FileCheck = std::function<std::string(const std::string& path, std::chrono::milliseconds limit)>;
    void SetFileCheck(FileCheck check) { fileCheck_ = std::move(check); }
    // Ends the session without committing: what was saved is committed
    // already, and nothing else may reach the file.
    void CloseProject();
    const std::string& LastError() const { return lastError_; }
    bool ExecuteSQL(const std::string& statement);

    void PostChanges();
    // One unit: the cached changes are sent inside a savepoint, then every
    // save step runs, then the transaction commits (retaining it), so a saved
    // project survives a crash of the program. Any failure rolls all of it
    // back and rethrows; the file stays as last saved and every change stays
    // cached for the next try. A connection that was lost is made again by
    // the next try.
    void SaveChanges();
    // Drops the cached changes; the file is not written.
    void CancelChanges();

    // A save step writes inside the save's transaction, after the cached
    // changes were sent and before the commit. The caches still hold those
    // changes with their row states while it runs (CachedDataSet rows are
    // marked applied only after the commit). What it writes is committed with
    // the changes or rolled back with them; a step that throws fails the save.
    // Steps run in the order added; the id removes one again.
    using SaveStep = std::function<void(FirebirdSession& session)>;
    int AddSaveStep(SaveStep step);
    void RemoveSaveStep(int id);
    void DeleteAllRecords();

    bool IsProjectOpen() const;
    bool IsModified() const;
    bool IsResultEmpty() const;
    int GetRecordCount() const;

    void BeginBulkUpdate();
    void EndBulkUpdate();
    void SaveRecNo();
    void RestoreRecNo();

    // The history of amendments: its operator, its switch and its entries.
    MeasureHistory& History() { return *history_; }

    CachedDataSet& ResultDataSet() { return *resultDataSet_; }
    CachedDataSet& DescriptionDataSet() { return *descriptionDataSet_; }
    TMAFilter& Filter() { return filter_; }

    // Measurement rows. Results: 0 / -1 with the meanings of each operation
    // (ReadMeasure 0 = read; WriteMeasure 0 = written; FindMeasure 0 = found
    // and current; InsertMeasure 0 = existed already, -1 = appended).
    int ReadMeasure(TMeasureResult& measure);
    int WriteMeasure(const TMeasureResult& measure);
    int FindMeasure(const TMeasureResult& measure);
    int InsertMeasure(const TMeasureResult& measure);
    void SortMeasures();
    // Processes the current row and writes it back. Throws ProcessingError
    // (a zero specimen volume, naming the channel) and stores nothing then.
    void ProcessMeasure();
    void ResultDataSetAfterScroll(CachedDataSet& dataSet);

    // Operator texts, UTF-8 here and Windows-1251 in the file.
    std::string ProjectDescription();
    void SetProjectDescription(const std::string& utf8);
    std::string MeasureComment();
    void SetMeasureComment(const std::string& utf8);

    ShowResultHandler OnShowResult;

private:
    void CloseDataSets();
    void RunSaveSteps();
    void UndoFailedSave() noexcept;
    void CancelAndRefresh(CachedDataSet& dataSet);

    std::unique_ptr<FirebirdSession> session_;
    std::unique_ptr<CachedDataSet> descriptionDataSet_;
    std::unique_ptr<CachedDataSet> resultDataSet_;
    std::unique_ptr<MeasureHistory> history_;
    TMAFilter filter_{3};
    std::int32_t savedRecNo_ = 0;
    std::string lastError_;
    std::string openPath_;
    ConnectionParameters openParameters_;
    std::map<int, SaveStep> saveSteps_;
    int nextSaveStepId_ = 1;
    std::chrono::milliseconds probeTimeLimit_{std::chrono::seconds(30)};
    FileCheck fileCheck_;
};

// A counted bulk update (TMainDataModule::BeginBulkUpdate) that ends when it
// leaves its scope, also by an exception; End() ends it earlier.
class BulkUpdate {
public:
    explicit BulkUpdate(TMainDataModule& module) : module_(&module) { module_->BeginBulkUpdate(); }
    ~BulkUpdate() { End(); }
    BulkUpdate(const BulkUpdate&) = delete;
    BulkUpdate& operator=(const BulkUpdate&) = delete;
    void End() {
        if (module_ != nullptr) std::exchange(module_, nullptr)->EndBulkUpdate();
    }

private:
    TMainDataModule* module_;
};

// Stores a finished download as the main window does: every record not yet
// in the project becomes a processed row, the rows are sorted and the last
// becomes current, then OnShowResult. All or nothing: after a failure the
// rows added by this call are taken out of the cache again and the error
// propagates. Returns the number of rows added.
int StoreDownloadedMeasures(TMainDataModule& module, const TArrayOfMeasureResult& measures);

}  // namespace zemvalkorta
