#pragma once

// The project's measurement rows, as the data module's result set offers them,
// seen through the report's cursor.

#include "report/ReportRows.h"
#include "storage/MainDataModuleUnit.h"

namespace zemvalkorta {

class DataModuleRows : public ReportRows {
public:
    explicit DataModuleRows(TMainDataModule& module) : module_(module) {}

    bool ReadMeasure(TMeasureResult& measure) override { return module_.ReadMeasure(measure) == 0; }
    bool Eof() const override { return module_.ResultDataSet().Eof(); }
    void First() override { module_.ResultDataSet().First(); }
    void Next() override { module_.ResultDataSet().Next(); }
    int GetRecordCount() const override { return module_.GetRecordCount(); }
    void BeginBulkUpdate() override { module_.BeginBulkUpdate(); }
    void EndBulkUpdate() override { module_.EndBulkUpdate(); }
    void SaveRecNo() override { module_.SaveRecNo(); }
    void RestoreRecNo() override { module_.RestoreRecNo(); }

private:
    TMainDataModule& module_;
};

}  // namespace zemvalkorta
