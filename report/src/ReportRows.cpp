#include "report/ReportRows.h"

#include <algorithm>

namespace zemvalkorta {

MeasureListRows::MeasureListRows(std::vector<std::optional<TMeasureResult>> rows, int current)
    : m_rows(std::move(rows)),
      m_current(std::clamp(current, 0, std::max(0, static_cast<int>(m_rows.size()) - 1))),
      m_eof(m_rows.empty()) {}

bool MeasureListRows::ReadMeasure(TMeasureResult& measure) {
    if (m_rows.empty() || !m_rows[static_cast<std::size_t>(m_current)]) return false;
    measure = *m_rows[static_cast<std::size_t>(m_current)];
    return true;
}

void MeasureListRows::First() {
    m_current = 0;
    m_eof = m_rows.empty();
}

void MeasureListRows::Next() {
    if (m_current + 1 < GetRecordCount())
        ++m_current;
    else
        m_eof = true;
}

void MeasureListRows::RestoreRecNo() {
    m_current = std::clamp(m_saved, 0, std::max(0, GetRecordCount() - 1));
    m_eof = m_rows.empty();
}

}  // namespace zemvalkorta
