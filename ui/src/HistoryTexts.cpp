#include "ui/HistoryTexts.h"

#include <QDateTime>
#include <algorithm>

#include "core/JsonText.h"
#include "core/StoredDateTime.h"

namespace zemvalkorta {

namespace {

QString Value(const FieldChange* change, bool old) {
    if (change == nullptr) return QStringLiteral("?");
    return QString::fromStdString(old ? change->Old : change->New);
}

const FieldChange* Find(const FieldChanges& changes, const char* field) {
    auto found = std::find_if(changes.begin(), changes.end(), [&](const FieldChange& c) { return c.Field == field; });
    return found == changes.end() ? nullptr : &*found;
}

// "№ 7 от "2024-02-12T09:30:00"" of the record an insert or a delete carries.
QString RecordSummary(const MeasureAmendment& entry) {
    const bool old = entry.Action == AmendmentAction::Delete;
    QString date = Value(Find(entry.Changes, "MeasureDate"), old);
    // The stored value is a JSON string; shown is its text.
    const Json parsed = Json::parse(date.toStdString(), nullptr, false);
    if (parsed.is_string()) date = QString::fromStdString(parsed.get<std::string>());
    date.replace(QLatin1Char('T'), QLatin1Char(' '));
    return QStringLiteral("измерение № %1 от %2").arg(Value(Find(entry.Changes, "MeasureNumber"), old), date);
}

}  // namespace

QString LocalTimeText(double timeUtc) {
    // The epoch count is the same everywhere; the result is in local time.
    return QDateTime::fromMSecsSinceEpoch(MillisecondsSince1970(timeUtc).count())
        .toString(QStringLiteral("dd.MM.yyyy hh:mm:ss"));
}

QString ActionText(AmendmentAction action) {
    switch (action) {
        case AmendmentAction::Begin:
            return QStringLiteral("Начало истории");
        case AmendmentAction::Insert:
            return QStringLiteral("Добавление");
        case AmendmentAction::Edit:
            return QStringLiteral("Изменение");
        case AmendmentAction::Delete:
            return QStringLiteral("Удаление");
    }
    return {};
}

QString ChangeText(const FieldChange& change) {
    return QString::fromStdString(change.Field) + QStringLiteral(": ") + QString::fromStdString(change.Old) +
           QStringLiteral(" → ") + QString::fromStdString(change.New);
}

std::vector<HistoryRow> HistoryRows(const std::vector<MeasureAmendment>& entries) {
    std::vector<HistoryRow> rows;
    rows.reserve(entries.size());
    for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) {
        HistoryRow row;
        row.Time = LocalTimeText(entry->TimeUtc);
        if (entry->MeasurePk) row.Measure = QString::number(*entry->MeasurePk);
        row.Operator = QString::fromStdString(OperatorText(entry->Login, entry->OperatorName));
        row.Action = ActionText(entry->Action);
        QStringList details;
        for (const FieldChange& change : entry->Changes) details << ChangeText(change);
        row.Details = details.join(QLatin1Char('\n'));
        switch (entry->Action) {
            case AmendmentAction::Begin:
                row.Changes = QStringLiteral(
                    "История изменений ведётся с этого момента; более ранние изменения "
                    "неизвестны");
                break;
            case AmendmentAction::Insert:
                row.Changes = RecordSummary(*entry) + QStringLiteral(": исходная запись сохранена");
                break;
            case AmendmentAction::Delete:
                row.Changes = RecordSummary(*entry) + QStringLiteral(": удалённая запись сохранена в истории");
                break;
            case AmendmentAction::Edit:
                row.Changes = row.Details;
                break;
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

}  // namespace zemvalkorta
