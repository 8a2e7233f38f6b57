#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>

#include "DeviceTestSupport.h"
#include "core/Catalogue.h"
#include "device/DownloadUnit.h"

namespace zemvalkorta::test {
namespace {

class DownloadProtocol : public InstrumentTest {
protected:
    std::uint32_t Download(sim::InstrumentContent content, TArrayOfMeasureResult& records,
                           std::vector<int>* progress = nullptr) {
        StartInstrument(std::move(content));
        return DownloadMeasurements(ConnectedHub(), records, [progress](int percent) {
            if (progress != nullptr) progress->push_back(percent);
        });
    }
};

TEST_F(DownloadProtocol, IdentityOfSixteenBytesIsAcceptedWhateverItsFirstByte) {
    auto content = SmallContent(1);
    content.Identity = sim::IdentityBlock("ZEMVALKORTA-1.0");
    content.Identity[0] = 0xEE;
    TArrayOfMeasureResult records;
    EXPECT_EQ(Download(content, records), 0u);
    EXPECT_EQ(records.size(), 1u);
}

TEST_F(DownloadProtocol, IdentityWithoutItsSkippedFirstByteIsRefused) {
    auto content = SmallContent(1);
    const std::string text = "ZEMVALKORTA-1.0";
    content.Identity.assign(text.begin(), text.end());  // L = 15
    TArrayOfMeasureResult records;
    EXPECT_EQ(Download(content, records), WrongInstrumentStatus);
    EXPECT_TRUE(records.empty());
}

TEST_F(DownloadProtocol, EmptyIdentityAndOtherDataVersionAreRefused) {
    auto content = SmallContent(1);
    content.DataVersion = 65538;
    TArrayOfMeasureResult records;
    EXPECT_EQ(Download(content, records), WrongInstrumentStatus);
    hub_.reset();
    instruments_.clear();
    content = SmallContent(1);
    content.Identity.clear();
    EXPECT_EQ(Download(content, records), WrongInstrumentStatus);
}

TEST_F(DownloadProtocol, ImplausibleInformationIsRefused) {
    auto content = SmallContent(1);
    content.ReportedCount = 10001;
    TArrayOfMeasureResult records;
    EXPECT_EQ(Download(content, records), ImplausibleInformation);
    instruments_.clear();
    hub_.reset();
    content.ReportedCount = -1;
    EXPECT_EQ(Download(content, records), ImplausibleInformation);
    instruments_.clear();
    hub_.reset();
    content = SmallContent(1);
    content.Identity.assign(65, 'Z');
    EXPECT_EQ(Download(content, records), ImplausibleInformation);
}

TEST_F(DownloadProtocol, NoMeasurementsMeansNoBeginCommand) {
    TArrayOfMeasureResult records(2);
    EXPECT_EQ(Download(SmallContent(0), records), 0u);
    EXPECT_TRUE(records.empty());
    EXPECT_EQ(instruments_.back()->TransferCount(), 4);  // information and identity, no command 3
}

TEST_F(DownloadProtocol, ProgressForThreeAndForTwoHundred) {
    std::vector<int> progress;
    TArrayOfMeasureResult records;
    ASSERT_EQ(Download(SmallContent(3), records, &progress), 0u);
    EXPECT_EQ(progress, (std::vector<int>{0, 33, 66}));
    EXPECT_EQ(records.size(), 3u);

    instruments_.clear();
    hub_.reset();
    progress.clear();
    ASSERT_EQ(Download(SmallContent(200), records, &progress), 0u);
    std::vector<int> expected(100);
    for (int i = 0; i < 100; ++i) expected[static_cast<std::size_t>(i)] = i;
    EXPECT_EQ(progress, expected);
    ASSERT_EQ(records.size(), 200u);
    EXPECT_EQ(records[199].MeasureNumber, 200);
}

TEST(DeviceDate, InvalidFieldsGiveTheFixedDate) {
    const double fallback = DeviceDateTime(2000, 1, 1, 1, 0, 0);
    EXPECT_DOUBLE_EQ(fallback, 36526.0 + 1.0 / 24.0);
    EXPECT_DOUBLE_EQ(DeviceDateTime(2000, 2, 30, 0, 0, 0), fallback);
    EXPECT_DOUBLE_EQ(DeviceDateTime(2023, 13, 1, 0, 0, 0), fallback);
    EXPECT_DOUBLE_EQ(DeviceDateTime(2023, 0, 1, 0, 0, 0), fallback);
    EXPECT_DOUBLE_EQ(DeviceDateTime(2023, 4, 31, 0, 0, 0), fallback);
    EXPECT_DOUBLE_EQ(DeviceDateTime(2023, 4, 30, 24, 0, 0), fallback);
    EXPECT_NE(DeviceDateTime(2024, 2, 29, 0, 0, 0), fallback);
    EXPECT_DOUBLE_EQ(DeviceDateTime(2024, 3, 15, 12, 30, 0), 45366.0 + 0.5 + 30.0 / 1440.0);
}

TEST_F(DownloadProtocol, RecordFromHeaderAndSamples) {
    auto content = SmallContent(1);
    sim::SimulatedMeasurement& measurement = content.Measurements[0];
    sim::DeviceHeader& header = measurement.Header;
    header.Month = 2;
    header.Day = 30;
    header.MeasureNumber = 41;
    header.StandardPattern = 4;
    header.ActiveChannels = 6;
    header.Duration = 50;
    header.PointCount = 3;
    header.ConcreteKind = 1;
    header.GeometryKind = 1;
    header.Scale = 2.0;
    header.Coefficient = {9.0, 1.5, 0.5};
    header.ZeroLevel = {0, 1000, 100};
    header.Temperature16 = {-16, 320, 8};
    header.DeltaVolume = {0.1, 0.2, 0.3};
    header.Tetta = {1e-3, 2e-3, 3e-3};
    header.Grade = {100, 200, -1};
    header.Model = {1, 2, 3, 4, 5, 6};
    std::fill(measurement.Words.begin(), measurement.Words.end(), std::uint16_t{7});
    measurement.Words[4320] = 33768;    // channel 2 volume, sample 0
    measurement.Words[17280] = 0xFFF0;  // channel 2 temperature, sample 0
    measurement.Words[17281] = 0x0190;
    measurement.Words[8640 + 2] = 100 + 32768;  // channel 3 volume, sample 2
    measurement.Words[21600 + 1] = 0x8000;      // channel 3 temperature, sample 1

    TArrayOfMeasureResult records;
    ASSERT_EQ(Download(content, records), 0u);
    ASSERT_EQ(records.size(), 1u);
    const TMeasureResult& record = records[0];
    EXPECT_DOUBLE_EQ(record.MeasureDate, DeviceDateTime(2000, 1, 1, 1, 0, 0));
    EXPECT_EQ(record.DataVersion, 65539);
    EXPECT_EQ(record.MeasureNumber, 41);
    EXPECT_EQ(record.StandardPattern, 4);
    EXPECT_EQ(record.ActiveChannels, 6);
    EXPECT_EQ(record.Duration, 50u);
    EXPECT_EQ(record.PointCount, 3);
    EXPECT_EQ(record.ConcreteKind, 1);
    EXPECT_EQ(record.GeometryKind, 1);
    for (int c = 0; c < 3; ++c) {
        EXPECT_EQ(record.PatternDimensions[c], (std::array<double, 3>{70, 70, 70}));
        EXPECT_NEAR(record.PatternVolume[c], 343.0, 1e-9);
        EXPECT_EQ(record.PatternAge[c][0], 0);
        EXPECT_EQ(record.CurveShift[c], 0);
        EXPECT_EQ(record.CurveStretch[c], 1.0);
    }
    EXPECT_EQ(record.DeviceTemperature, (std::array<float, 3>{-1.0f, 20.0f, 0.5f}));
    EXPECT_EQ(record.DeltaVolume[2], 0.3);
    EXPECT_EQ(record.Tetta[1], 2e-3);
    EXPECT_EQ(record.FrostResistance, (std::array<std::int32_t, 3>{100, 200, -1}));
    EXPECT_EQ(record.ModelCoefficients[5], 6.0);
    EXPECT_EQ(record.TemperatureFactor, -9.5);
    EXPECT_EQ(record.AverageFrostResistance, -1);

    // Channel 2 (concrete) takes curves 0..3, channel 3 (standard) curves 4 and 5.
    ASSERT_EQ(record.Curves.size(), 6u);
    for (const Curve& curve : record.Curves) EXPECT_EQ(curve.size(), 3u);
    EXPECT_FLOAT_EQ(record.Curves[0][0], 1.5f);  // (33768 - 1000) * 2 / 65536 * 1.5
    EXPECT_FLOAT_EQ(record.Curves[0][1], static_cast<float>((7 - 1000) * 2.0 / 65536 * 1.5));
    EXPECT_EQ(record.Curves[1][0], -1.0f);
    EXPECT_EQ(record.Curves[1][1], 25.0f);
    EXPECT_EQ(record.Curves[2], (Curve{0, 0, 0}));
    EXPECT_EQ(record.Curves[3], (Curve{0, 0, 0}));
    EXPECT_FLOAT_EQ(record.Curves[4][2], static_cast<float>(32768 * 2.0 / 65536 * 0.5));
    EXPECT_EQ(record.Curves[5][1], -2048.0f);
}

// A damaged header may hold any zero level; the difference wraps as a 32-bit
// one instead of overflowing.
TEST_F(DownloadProtocol, ExtremeZeroLevelsWrapAsThirtyTwoBitDifferences) {
    auto content = SmallContent(1);
    sim::SimulatedMeasurement& measurement = content.Measurements[0];
    measurement.Header.ActiveChannels = 7;
    measurement.Header.StandardPattern = 0;
    measurement.Header.PointCount = 2;
    measurement.Header.Scale = 2.0;
    measurement.Header.Coefficient = {1.0, 1.0, 1.0};
    measurement.Header.ZeroLevel = {std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max(),
                                    -1};
    std::fill(measurement.Words.begin(), measurement.Words.end(), std::uint16_t{7});
    TArrayOfMeasureResult records;
    ASSERT_EQ(Download(content, records), 0u);
    ASSERT_EQ(records.size(), 1u);
    const TMeasureResult& record = records[0];
    ASSERT_GE(record.Curves.size(), 9u);
    // Channel c's volume curve is curve 4c (four curves per concrete channel).
    EXPECT_EQ(record.Curves[0][0], static_cast<float>(ScaleRawWord(-2147483641, 2.0)));
    EXPECT_EQ(record.Curves[4][0], static_cast<float>(ScaleRawWord(-2147483640, 2.0)));
    EXPECT_EQ(record.Curves[8][1], static_cast<float>(ScaleRawWord(8, 2.0)));
}

TEST_F(DownloadProtocol, GeneratedRunsAreRealistic) {
    sim::GeneratorOptions options;
    options.Seed = 3;
    options.Count = 12;
    TArrayOfMeasureResult records;
    ASSERT_EQ(Download(sim::GenerateContent(options), records), 0u);
    ASSERT_EQ(records.size(), 12u);
    std::set<int> geometries, patterns;
    for (const TMeasureResult& record : records) {
        geometries.insert(record.GeometryKind);
        patterns.insert(record.StandardPattern);
        ASSERT_EQ(static_cast<int>(record.Curves.size()), RequiredCurveCount(record));
        EXPECT_LE(record.PointCount, 4320);
        for (int c = 0; c < 3; ++c) {
            if (RoleOfChannel(record, c) == ChannelRole::Inactive) continue;
            const int first = FirstCurveOfChannel(record, c);
            const Curve& volume = record.Curves[static_cast<std::size_t>(first)];
            const Curve& temperature = record.Curves[static_cast<std::size_t>(first + 1)];
            EXPECT_NEAR(volume.front(), 0.0, 0.02);
            EXPECT_GT(volume.back(), 0.1);
            EXPECT_GT(temperature.front(), 18.0);
            EXPECT_LT(temperature.back(), -10.0);
        }
        if (!HasPhysicalStandard(record.StandardPattern)) {
            const auto& a = record.ModelCoefficients;
            const double end = static_cast<double>(record.Duration);
            const double last = ((a[3] * end + a[2]) * end + a[1]) * end + a[0];
            EXPECT_GT(last, 1.0);
        }
    }
    EXPECT_EQ(geometries.size(), 3u);
    EXPECT_GE(patterns.size(), 5u);
}

}  // namespace
}  // namespace zemvalkorta::test
