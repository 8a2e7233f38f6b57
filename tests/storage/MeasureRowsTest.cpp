#include <gmock/gmock.h>

#include <utility>

#include "ProjectFixture.h"
#include "core/MeasureImage.h"
#include "core/Processing.h"

namespace zemvalkorta::testing {
namespace {

std::vector<std::int64_t> ListedNumbers(CachedDataSet& rows) {
    std::vector<std::int64_t> numbers;
    for (int row = 1; row <= rows.RecordCount(); ++row)
        numbers.push_back(AsInteger(rows.ValueAt(row, MeasureNumberField)));
    return numbers;
}

class MeasureRowsTest : public ProjectTest {
protected:
    void SetUp() override {
        ProjectTest::SetUp();
        CreateAndOpen();
    }
};

TEST_F(MeasureRowsTest, EmptyProjectReadsAndWritesNothing) {
    TMeasureResult measure = SampleMeasure(1, SampleDate(0));
    EXPECT_EQ(module_.ReadMeasure(measure), -1);
    EXPECT_TRUE(measure.Curves.empty());
    EXPECT_EQ(module_.WriteMeasure(SampleMeasure(1, SampleDate(0))), -1);
    EXPECT_FALSE(module_.IsModified());
    EXPECT_NO_THROW(module_.ProcessMeasure());
}

TEST_F(MeasureRowsTest, DuplicatesAreSkippedAndNumbersTellRecordsApart) {
    EXPECT_EQ(module_.InsertMeasure(SampleMeasure(1, SampleDate(10))), -1);
    EXPECT_EQ(module_.InsertMeasure(SampleMeasure(1, SampleDate(10))), 0);
    EXPECT_EQ(module_.InsertMeasure(SampleMeasure(2, SampleDate(10))), -1);
    EXPECT_EQ(module_.InsertMeasure(SampleMeasure(1, SampleDate(11))), -1);
    EXPECT_EQ(module_.GetRecordCount(), 3);
    EXPECT_EQ(module_.FindMeasure(SampleMeasure(2, SampleDate(10))), 0);
    EXPECT_EQ(AsInteger(module_.ResultDataSet().Value(MeasureNumberField)), 2);
    EXPECT_EQ(module_.FindMeasure(SampleMeasure(3, SampleDate(10))), -1);
    EXPECT_TRUE(module_.ResultDataSet().Eof());
}

TEST_F(MeasureRowsTest, CancelDropsNewRowsAndLeavesAValidCurrentRow) {
    module_.InsertMeasure(SampleMeasure(1, SampleDate(10)));
    module_.InsertMeasure(SampleMeasure(2, SampleDate(20)));
    module_.SaveChanges();
    module_.InsertMeasure(SampleMeasure(3, SampleDate(30)));
    module_.InsertMeasure(SampleMeasure(4, SampleDate(40)));
    module_.ResultDataSet().Last();  // the current row is one that the cancel drops
    module_.CancelChanges();
    EXPECT_EQ(module_.GetRecordCount(), 2);
    EXPECT_FALSE(module_.IsModified());
    TMeasureResult measure;
    ASSERT_EQ(module_.ReadMeasure(measure), 0);
    EXPECT_TRUE(measure.MeasureNumber == 1 || measure.MeasureNumber == 2);
}

TEST_F(MeasureRowsTest, RecordsAreFoundAgainAfterSaveCloseAndOpen) {
    // 13:47:29 on a day far from the epoch: a time that binary fractions of a day do not hold exactly.
    double date = 45356.0 + (13 * 3600 + 47 * 60 + 29) / 86400.0;
    module_.InsertMeasure(SampleMeasure(7, date));
    module_.SaveChanges();
    Reopen();
    EXPECT_EQ(module_.FindMeasure(SampleMeasure(7, date)), 0);
    EXPECT_EQ(module_.InsertMeasure(SampleMeasure(7, date)), 0);
    EXPECT_EQ(module_.GetRecordCount(), 1);
}

TEST_F(MeasureRowsTest, InsertedRowIsProcessedAndBigImagesRoundTrip) {
    TMeasureResult original = SampleMeasure(1, SampleDate(0), 4320);
    module_.InsertMeasure(original);
    TMeasureResult stored;
    ASSERT_EQ(module_.ReadMeasure(stored), 0);
    TMeasureResult expected = original;
    TMAFilter filter(3);
    ProcessMeasureRecord(expected, filter);
    EXPECT_EQ(EncodeMeasure(stored), EncodeMeasure(expected));
    for (int channel = 0; channel < ChannelCount; ++channel)
        EXPECT_DOUBLE_EQ(stored.Tetta[channel], stored.DeltaVolume[channel] / stored.PatternVolume[channel]);
    const Curve& reference = stored.Curves[FirstCurveOfChannel(stored, 0) + ReferenceCurve];
    EXPECT_TRUE(std::any_of(reference.begin(), reference.end(), [](float value) { return value != 0.0f; }));

    module_.SaveChanges();
    Reopen();
    TMeasureResult reread;
    ASSERT_EQ(module_.ReadMeasure(reread), 0);
    EXPECT_GT(EncodeMeasure(reread).size(), 170'000u);
    EXPECT_EQ(EncodeMeasure(reread), EncodeMeasure(expected));
}

TEST_F(MeasureRowsTest, CommentSurvivesWriteMeasureAndReadPostsAnEdit) {
    module_.InsertMeasure(SampleMeasure(1, SampleDate(0)));
    module_.SetMeasureComment("Образец с трещиной");
    ASSERT_EQ(module_.ResultDataSet().State(), DataSetState::Edit);
    TMeasureResult measure;
    ASSERT_EQ(module_.ReadMeasure(measure), 0);
    EXPECT_EQ(module_.ResultDataSet().State(), DataSetState::Browse);
    measure.ConcreteKind = 2;
    ASSERT_EQ(module_.WriteMeasure(measure), 0);
    EXPECT_EQ(module_.MeasureComment(), "Образец с трещиной");
    module_.SaveChanges();
    Reopen();
    EXPECT_EQ(module_.MeasureComment(), "Образец с трещиной");
    ASSERT_EQ(module_.ReadMeasure(measure), 0);
    EXPECT_EQ(measure.ConcreteKind, 2);
}

TEST_F(MeasureRowsTest, ListOrderAtOpenDiffersFromOrderAfterDownload) {
    TArrayOfMeasureResult download = {SampleMeasure(2, SampleDate(100)), SampleMeasure(1, SampleDate(100)),
                                      SampleMeasure(5, SampleDate(50))};
    int shown = 0;
    module_.OnShowResult = [&](CachedDataSet& rows, bool selectFirst) {
        EXPECT_TRUE(selectFirst);
        EXPECT_EQ(rows.RecNo(), rows.RecordCount());
        ++shown;
    };
    EXPECT_EQ(StoreDownloadedMeasures(module_, download), 3);
    EXPECT_EQ(shown, 1);
    EXPECT_THAT(ListedNumbers(module_.ResultDataSet()), ::testing::ElementsAre(5, 1, 2));
    EXPECT_EQ(AsInteger(module_.ResultDataSet().Value(MeasureNumberField)), 2);
    EXPECT_EQ(StoreDownloadedMeasures(module_, download), 0);

    module_.SaveChanges();
    module_.OnShowResult = nullptr;
    Reopen();
    EXPECT_THAT(ListedNumbers(module_.ResultDataSet()), ::testing::ElementsAre(5, 2, 1));
    EXPECT_EQ(module_.ResultDataSet().RecNo(), 1);
}

TEST_F(MeasureRowsTest, ZeroVolumeAbandonsProcessingAndStoresNothing) {
    module_.InsertMeasure(SampleMeasure(1, SampleDate(0)));
    module_.SaveChanges();
    TMeasureResult measure;
    ASSERT_EQ(module_.ReadMeasure(measure), 0);
    measure.PatternVolume[1] = 0.0;
    module_.WriteMeasure(measure);
    ByteArray before = module_.ResultDataSet().BlobBytes(MeasureDataField);
    try {
        module_.ProcessMeasure();
        FAIL() << "zero volume accepted";
    } catch (const ProcessingError& error) {
        EXPECT_THAT(error.what(), ::testing::HasSubstr("channel 2"));
    }
    EXPECT_EQ(module_.ResultDataSet().BlobBytes(MeasureDataField), before);
}

TEST_F(MeasureRowsTest, FailedDownloadAddsNothingAndKeepsEarlierRows) {
    module_.InsertMeasure(SampleMeasure(1, SampleDate(0)));  // cached, not saved
    TMeasureResult broken = SampleMeasure(3, SampleDate(30));
    broken.PatternVolume[0] = 0.0;
    TArrayOfMeasureResult download = {SampleMeasure(2, SampleDate(20)), broken, SampleMeasure(4, SampleDate(40))};
    try {
        StoreDownloadedMeasures(module_, download);
        FAIL() << "zero volume accepted";
    } catch (const ProcessingError& error) {
        EXPECT_THAT(error.what(), ::testing::HasSubstr("channel 1"));
    }
    EXPECT_THAT(ListedNumbers(module_.ResultDataSet()), ::testing::ElementsAre(1));
    EXPECT_FALSE(module_.ResultDataSet().ControlsDisabled());
    module_.SaveChanges();
    Reopen();
    EXPECT_EQ(module_.GetRecordCount(), 1);
}

}  // namespace
}  // namespace zemvalkorta::testing

namespace zemvalkorta::testing {
namespace {

class DataSetNavigationTest : public ProjectTest {
protected:
    void SetUp() override {
        ProjectTest::SetUp();
        CreateAndOpen();
        for (int i = 0; i < 3; ++i) module_.InsertMeasure(SampleMeasure(i + 1, SampleDate(i)));
        module_.SaveChanges();
    }
};

TEST_F(DataSetNavigationTest, BofEofMoveByAndLocate) {
    CachedDataSet& rows = module_.ResultDataSet();
    rows.First();
    EXPECT_TRUE(rows.Bof());
    EXPECT_FALSE(rows.Eof());
    rows.Prior();
    EXPECT_EQ(rows.RecNo(), 1);
    EXPECT_EQ(rows.MoveBy(5), 2);
    EXPECT_TRUE(rows.Eof());
    EXPECT_EQ(rows.RecNo(), 3);
    EXPECT_EQ(rows.MoveBy(-1), -1);
    EXPECT_FALSE(rows.Eof());
    ASSERT_TRUE(rows.Locate(MeasureNumberField, std::int64_t{1}));
    EXPECT_EQ(rows.RecNo(), 1);
    EXPECT_FALSE(rows.Locate(MeasureNumberField, std::int64_t{9}));
    EXPECT_EQ(rows.RecNo(), 1);
    EXPECT_THROW(rows.Value("NO_SUCH_FIELD"), DatabaseError);
    EXPECT_THROW(rows.SetValue(MeasureNumberField, std::int64_t{4}), DatabaseError) << "browse state";
}

TEST_F(DataSetNavigationTest, ObserversSeeStatesPostsAndScrolls) {
    CachedDataSet& rows = module_.ResultDataSet();
    std::vector<DataSetEvent> events;
    int id = rows.AddObserver([&](DataSetEvent event) { events.push_back(event); });
    rows.First();
    rows.Edit();
    rows.SetValue(MeasureCommentField, std::string("x"));
    rows.Next();  // posts the edit first
    EXPECT_THAT(events, ::testing::ElementsAre(DataSetEvent::CurrentChanged, DataSetEvent::StateChanged,
                                               DataSetEvent::BeforePost, DataSetEvent::StateChanged,
                                               DataSetEvent::RowChanged, DataSetEvent::CurrentChanged));
    EXPECT_EQ(rows.CurrentRowState(), RowState::Unchanged);
    rows.First();
    EXPECT_EQ(rows.CurrentRowState(), RowState::Modified);
    EXPECT_EQ(rows.BlobText(MeasureCommentField), "x");
    rows.RemoveObserver(id);
    events.clear();
    rows.Last();
    EXPECT_TRUE(events.empty());
}

// A window that goes away while the rows announce a change takes its
// observer with it; that observer must not be called afterwards, not even
// for the event being announced.
TEST_F(DataSetNavigationTest, ObserverRemovedDuringANotificationIsNotCalled) {
    CachedDataSet& rows = module_.ResultDataSet();
    int secondCalls = 0, thirdCalls = 0;
    int second = 0, third = 0;
    const int first = rows.AddObserver([&](DataSetEvent) {
        if (second != 0) rows.RemoveObserver(std::exchange(second, 0));
        if (third == 0) third = rows.AddObserver([&](DataSetEvent) { ++thirdCalls; });
    });
    second = rows.AddObserver([&](DataSetEvent) { ++secondCalls; });
    rows.Last();
    EXPECT_EQ(secondCalls, 0);
    EXPECT_EQ(thirdCalls, 0);  // added during the event: told from the next one on
    rows.First();
    EXPECT_EQ(secondCalls, 0);
    EXPECT_EQ(thirdCalls, 1);
    rows.RemoveObserver(first);
    rows.RemoveObserver(third);
}

}  // namespace
}  // namespace zemvalkorta::testing
