#pragma once

// The measurement list's model: the visible fields of the project's
// measurement data set ("Дата", "Время", "№"), row r being record r + 1.

#include <QAbstractTableModel>

namespace zemvalkorta {

class CachedDataSet;

class MeasureListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit MeasureListModel(CachedDataSet& dataSet, QObject* parent = nullptr);
    ~MeasureListModel() override;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

Q_SIGNALS:
    // The data set's current row moved (0-based row, -1 for none).
    void CurrentRowMoved(int row);

private:
    CachedDataSet& dataSet_;
    int observerId_ = 0;
    int rowsShown_ = 0;
};

}  // namespace zemvalkorta
