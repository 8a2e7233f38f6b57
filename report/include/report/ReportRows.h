#pragma once

// The measurement list as the report walks it: a cursor over the project's
// rows with the data module's bulk-update and remembered-row operations.

#include <optional>
#include <vector>

#include "core/MeasureResult.h"

namespace zemvalkorta {

class ReportRows {
public:
    virtual ~ReportRows() = default;

    // Decodes the current row; false when it cannot be read.
    virtual bool ReadMeasure(TMeasureResult& measure) = 0;
    // True once Next was called on the last row, or when there are no rows.
    virtual bool Eof() const = 0;
    virtual void First() = 0;
    virtual void Next() = 0;
    virtual int GetRecordCount() const = 0;

    virtual void BeginBulkUpdate() {}
    virtual void EndBulkUpdate() {}
    virtual void SaveRecNo() {}
    virtual void RestoreRecNo() {}
};

// Rows held in memory; an empty optional stands for a row that cannot be read.
class MeasureListRows : public ReportRows {
public:
    explicit MeasureListRows(std::vector<std::optional<TMeasureResult>> rows, int current = 0);

    bool ReadMeasure(TMeasureResult& measure) override;
    bool Eof() const override { return eof_; }
    void First() override;
    void Next() override;
    int GetRecordCount() const override { return static_cast<int>(rows_.size()); }
    void SaveRecNo() override { saved_ = current_; }
    void RestoreRecNo() override;

    int Current() const { return current_; }

private:
    std::vector<std::optional<TMeasureResult>> rows_;
    int current_ = 0;
    int saved_ = 0;
    bool eof_ = false;
};

}  // namespace zemvalkorta
