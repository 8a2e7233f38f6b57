#include <set>

#include "core/MeasureImage.h"
#include "core/Processing.h"
#include "storage/MainDataModuleUnit.h"

namespace zemvalkorta {

namespace {

// Null sorts first, as an empty value does in the list.
template <typename T>
int CompareNullable(const FieldValue& left, const FieldValue& right) {
    const T* a = std::get_if<T>(&left);
    const T* b = std::get_if<T>(&right);
    if (a == nullptr || b == nullptr) return (a != nullptr) - (b != nullptr);
    return *a < *b ? -1 : (*b < *a ? 1 : 0);
}

void FillMeasureRow(CachedDataSet& dataSet, const TMeasureResult& measure) {
    TimeStamp stamp = TimeStampFromDateTime(measure.MeasureDate);
    dataSet.SetValue(MeasureDateField, stamp);
    dataSet.SetValue(MeasureTimeField, stamp);
    dataSet.SetValue(MeasureNumberField, std::int64_t{measure.MeasureNumber});
    dataSet.SetValue(MeasureDataField, BlobField::FromBytes(EncodeMeasure(measure)));
}

}  // namespace

int TMainDataModule::ReadMeasure(TMeasureResult& measure) {
    measure.Curves.clear();
    CachedDataSet& dataSet = *resultDataSet_;
    if (dataSet.IsEditing()) dataSet.Post();
    if (!dataSet.IsActive() || dataSet.IsEmpty()) return -1;
    ByteArray image = dataSet.BlobBytes(MeasureDataField);
    if (image.empty()) return -1;
    DecodeMeasure(image, measure);
    return 0;
}

int TMainDataModule::WriteMeasure(const TMeasureResult& measure) {
    CachedDataSet& dataSet = *resultDataSet_;
    if (dataSet.IsEditing()) dataSet.Post();
    if (!dataSet.IsActive() || dataSet.IsEmpty()) return -1;
    dataSet.Edit();
    FillMeasureRow(dataSet, measure);
    dataSet.Post();
    return 0;
}

int TMainDataModule::FindMeasure(const TMeasureResult& measure) {
    CachedDataSet& dataSet = *resultDataSet_;
    // Whole-second instrument times survive the file's 1/10000 s precision,
    // so comparing in those ticks finds a row again after a reopen.
    const TimeStamp wanted = TimeStampFromDateTime(measure.MeasureDate);
    dataSet.First();
    while (!dataSet.Eof()) {
        FieldValue date = dataSet.Value(MeasureDateField);
        FieldValue number = dataSet.Value(MeasureNumberField);
        const auto* stamp = std::get_if<TimeStamp>(&date);
        const auto* value = std::get_if<std::int64_t>(&number);
        if (stamp != nullptr && value != nullptr && *stamp == wanted && *value == measure.MeasureNumber) return 0;
        dataSet.Next();
    }
    return -1;
}

int TMainDataModule::InsertMeasure(const TMeasureResult& measure) {
    if (FindMeasure(measure) == 0) return 0;
    CachedDataSet& dataSet = *resultDataSet_;
    dataSet.Append();
    FillMeasureRow(dataSet, measure);
    dataSet.Post();
    ProcessMeasure();
    history_->RememberInserted(AsInteger(dataSet.Value(MeasureResultTablePk)), dataSet.Value(MeasureDataField));
    return -1;
}

void TMainDataModule::SortMeasures() {
    PostChanges();
    CachedDataSet& dataSet = *resultDataSet_;
    int date = dataSet.FieldIndex(MeasureDateField);
    int time = dataSet.FieldIndex(MeasureTimeField);
    int number = dataSet.FieldIndex(MeasureNumberField);
    dataSet.SortRows([=](const CachedDataSet::Values& left, const CachedDataSet::Values& right) {
        if (int order = CompareNullable<TimeStamp>(left[date], right[date])) return order < 0;
        if (int order = CompareNullable<TimeStamp>(left[time], right[time])) return order < 0;
        return CompareNullable<std::int64_t>(left[number], right[number]) < 0;
    });
}

void TMainDataModule::ProcessMeasure() {
    TMeasureResult measure;
    if (ReadMeasure(measure) != 0) return;
    ProcessMeasureRecord(measure, filter_);
    WriteMeasure(measure);
}

int StoreDownloadedMeasures(TMainDataModule& module, const TArrayOfMeasureResult& measures) {
    if (measures.empty()) return 0;
    CachedDataSet& dataSet = module.ResultDataSet();
    int added = 0;
    // Ends also when the clean-up below throws.
    BulkUpdate bulk(module);
    // Rows already waiting in the cache before this download must survive a rollback of it.
    std::set<std::int64_t> earlierInserts;
    for (int row = 1; row <= dataSet.RecordCount(); ++row) {
        dataSet.SetRecNo(row);
        if (dataSet.CurrentRowState() == RowState::Inserted)
            earlierInserts.insert(AsInteger(dataSet.Value(MeasureResultTablePk)));
    }
    try {
        for (const TMeasureResult& measure : measures)
            if (module.InsertMeasure(measure) == -1) ++added;
        module.SortMeasures();
        dataSet.Last();
    } catch (...) {
        if (dataSet.IsEditing()) dataSet.Cancel();
        for (int row = dataSet.RecordCount(); row >= 1; --row) {
            dataSet.SetRecNo(row);
            if (dataSet.CurrentRowState() == RowState::Inserted &&
                !earlierInserts.contains(AsInteger(dataSet.Value(MeasureResultTablePk))))
                dataSet.Delete();
        }
        throw;
    }
    bulk.End();
    if (module.OnShowResult) module.OnShowResult(dataSet, true);
    return added;
}

}  // namespace zemvalkorta
