#pragma once

// The project's measurement rows, as the data module's result set offers them,
// seen through the report's cursor.

#include "report/ReportRows.h"
#include "storage/MainDataModuleUnit.h"

namespace zemvalkorta {

class DataModuleRows : public ReportRows {
public:
    explicit DataModuleRows(TMainDataModule& module) : m_module(module) {}

    bool ReadMeasure(TMeasureResult& measure) override { return m_module.ReadMeasure(measure) == 0; }
    bool Eof() const override { return m_module.ResultDataSet().Eof(); }
    void First() override { m_module.ResultDataSet().First(); }
    void Next() override { m_module.ResultDataSet().Next(); }
    int GetRecordCount() const override { return m_module.GetRecordCount(); }
    void BeginBulkUpdate() override { m_module.BeginBulkUpdate(); }
    void EndBulkUpdate() override { m_module.EndBulkUpdate(); }
    void SaveRecNo() override { m_module.SaveRecNo(); }
    void RestoreRecNo() override { m_module.RestoreRecNo(); }

private:
    TMainDataModule& m_module;
};

}  // namespace zemvalkorta
