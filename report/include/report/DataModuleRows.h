#pragma once

// The project's measurement rows, as the data module's result set offers them,
// seen through the report's cursor.

#include "report/ReportRows.h"
#include "storage/MainDataModuleUnit.h"

namespace zemvalkorta {

class DataModuleRows : public ReportRows {
public:
    explicit DataModuleRows(TMainDataModule& module) : mModule_(module) {}

    bool ReadMeasure(TMeasureResult& measure) override { return mModule_.ReadMeasure(measure) == 0; }
    bool Eof() const override { return mModule_.ResultDataSet().Eof(); }
    void First() override { mModule_.ResultDataSet().First(); }
    void Next() override { mModule_.ResultDataSet().Next(); }
    int GetRecordCount() const override { return mModule_.GetRecordCount(); }
    void BeginBulkUpdate() override { mModule_.BeginBulkUpdate(); }
    void EndBulkUpdate() override { mModule_.EndBulkUpdate(); }
    void SaveRecNo() override { mModule_.SaveRecNo(); }
    void RestoreRecNo() override { mModule_.RestoreRecNo(); }

private:
    TMainDataModule& mModule_;
};

}  // namespace zemvalkorta
