#include "report/ReportRows.h"

#include <algorithm>

namespace zemvalkorta {

MeasureListRows::MeasureListRows(std::vector<std::optional<TMeasureResult>> rows, int current)
    : mRows_(std::move(rows)),
      mCurrent_(std::clamp(current, 0, std::max(0, static_cast<int>(mRows_.size()) - 1))),
      mEof_(mRows_.empty()) {}

bool MeasureListRows::ReadMeasure(TMeasureResult& measure) {
    if (mRows_.empty() || !mRows_[static_cast<std::size_t>(mCurrent_)]) return false;
    measure = *mRows_[static_cast<std::size_t>(mCurrent_)];
    return true;
}

void MeasureListRows::First() {
    mCurrent_ = 0;
    mEof_ = mRows_.empty();
}

void MeasureListRows::Next() {
    if (mCurrent_ + 1 < GetRecordCount())
        ++mCurrent_;
    else
        mEof_ = true;
}

void MeasureListRows::RestoreRecNo() {
    mCurrent_ = std::clamp(mSaved_, 0, std::max(0, GetRecordCount() - 1));
    mEof_ = mRows_.empty();
}

}  // namespace zemvalkorta
