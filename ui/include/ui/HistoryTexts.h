#pragma once

// What the history window shows of the entries of a measurement or of a
// project: one row per entry, newest first, the time in local time.

#include <QString>
#include <vector>

#include "core/MeasureHistoryText.h"

namespace zemvalkorta {

struct HistoryRow {
    QString Time;      // local time, "dd.MM.yyyy hh:mm:ss"
    QString Measure;   // the measurement's key and number; empty for the start of the history
    QString Operator;  // "Name (login)"
    QString Action;   // "Добавление", "Изменение", "Удаление", "Начало истории"
    QString Changes;  // one line per change; a summary for an insert or a delete
    QString Details;  // every change, one per line (the full record of an insert or a delete)
};

QString LocalTimeText(double timeUtc);
QString ActionText(AmendmentAction action);
// "Field: old → new" with the values as the history keeps them.
QString ChangeText(const FieldChange& change);

std::vector<HistoryRow> HistoryRows(const std::vector<MeasureAmendment>& entries);

}  // namespace zemvalkorta
