#include "report/ReportRows.h"

#include <algorithm>

namespace zemvalkorta {

MeasureListRows::MeasureListRows(std::vector<std::optional<TMeasureResult>> rows, int current)
    : rows_(std::move(rows)),
      current_(std::clamp(current, 0, std::max(0, static_cast<int>(rows_.size()) - 1))),
      eof_(rows_.empty()) {}

bool MeasureListRows::ReadMeasure(TMeasureResult& measure) {
    if (rows_.empty() || !rows_[static_cast<std::size_t>(current_)]) return false;
    measure = *rows_[static_cast<std::size_t>(current_)];
    return true;
}

void MeasureListRows::First() {
    current_ = 0;
    eof_ = rows_.empty();
}

void MeasureListRows::Next() {
    if (current_ + 1 < GetRecordCount())
        ++current_;
    else
        eof_ = true;
}

void MeasureListRows::RestoreRecNo() {
    current_ = std::clamp(saved_, 0, std::max(0, GetRecordCount() - 1));
    eof_ = rows_.empty();
}

}  // namespace zemvalkorta
