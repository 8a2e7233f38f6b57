#include "ui/MeasureListModel.h"

#include <QDateTime>

#include "core/StoredDateTime.h"
#include "storage/MainDataModuleUnit.h"

namespace zemvalkorta {
namespace {

constexpr std::array<const char*, 3> ColumnFields{MeasureDateField, MeasureTimeField, MeasureNumberField};

QDateTime ToQDateTime(const FieldValue& value) {
    double days = 0.0;
    if (const auto* stamp = std::get_if<TimeStamp>(&value))
        days = DateTimeFromTimeStamp(*stamp);
    else if (const auto* number = std::get_if<double>(&value))
        days = *number;
    else
        return {};
    // Rounded half away from zero to the millisecond, read like a clock.
    const CalendarDateTime calendar = CalendarOfMilliseconds(
        static_cast<std::int64_t>(days * static_cast<double>(MillisecondsPerDay) + (days >= 0 ? 0.5 : -0.5)));
    const QDate date(static_cast<int>(calendar.Date.year()), static_cast<int>(unsigned{calendar.Date.month()}),
                     static_cast<int>(unsigned{calendar.Date.day()}));
    const QTime time(static_cast<int>(calendar.Time.hours().count()), static_cast<int>(calendar.Time.minutes().count()),
                     static_cast<int>(calendar.Time.seconds().count()),
                     static_cast<int>(calendar.Time.subseconds().count()));
    return QDateTime(date, time, Qt::UTC);
}

}  // namespace

MeasureListModel::MeasureListModel(CachedDataSet& dataSet, QObject* parent)
    : QAbstractTableModel(parent), dataSet_(dataSet), rowsShown_(dataSet.RecordCount()) {
    observerId_ = dataSet_.AddObserver([this](DataSetEvent event) {
        switch (event) {
            case DataSetEvent::DataChanged:
            case DataSetEvent::StateChanged:
                if (rowsShown_ != dataSet_.RecordCount() || event == DataSetEvent::DataChanged) {
                    beginResetModel();
                    rowsShown_ = dataSet_.RecordCount();
                    endResetModel();
                }
                Q_EMIT CurrentRowMoved(dataSet_.RecNo() - 1);
                break;
            case DataSetEvent::RowChanged:
                if (dataSet_.RecNo() > 0)
                    Q_EMIT dataChanged(index(dataSet_.RecNo() - 1, 0), index(dataSet_.RecNo() - 1, 2));
                break;
            case DataSetEvent::CurrentChanged:
                Q_EMIT CurrentRowMoved(dataSet_.RecNo() - 1);
                break;
            case DataSetEvent::BeforePost:
                break;
        }
    });
}

MeasureListModel::~MeasureListModel() { dataSet_.RemoveObserver(observerId_); }

int MeasureListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rowsShown_; }

int MeasureListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 3; }

QVariant MeasureListModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= dataSet_.RecordCount()) return {};
    const FieldValue value = dataSet_.ValueAt(index.row() + 1, ColumnFields[std::size_t(index.column())]);
    switch (index.column()) {
        case 0:
            return ToQDateTime(value).toString(QStringLiteral("dd.MM.yyyy"));
        case 1:
            return ToQDateTime(value).toString(QStringLiteral("hh:mm:ss"));
        default:
            break;
    }
    if (const auto* number = std::get_if<std::int64_t>(&value)) return QString::number(*number);
    return {};
}

QVariant MeasureListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal) return {};
    static const std::array<const char*, 3> captions{"Дата", "Время", "№"};
    return section >= 0 && section < 3 ? QString::fromUtf8(captions[std::size_t(section)]) : QVariant();
}

}  // namespace zemvalkorta
