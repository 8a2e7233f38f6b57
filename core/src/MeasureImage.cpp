#include "core/MeasureImage.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstring>
#include <string>

namespace zemvalkorta {

static_assert(std::endian::native == std::endian::little,
              "the stored image is little-endian and is copied field by field as it lies");
static_assert(sizeof(float) == 4 && sizeof(double) == 8);

namespace {

// The byte layout of the stored record. Only the codec sees it.
struct __attribute__((packed)) PackedRecord {
    double MeasureDate;
    std::int32_t DataVersion;
    std::int32_t MeasureNumber;
    std::int32_t StandardPattern;
    std::int32_t ActiveChannels;
    std::uint32_t Duration;
    std::int32_t Period;
    std::int32_t PointCount;
    std::int32_t ConcreteKind;
    std::int32_t GeometryKind;
    double PatternVolume[3];
    double PatternDimensions[3][3];
    double PatternPrimaryWeight[3];
    double PatternSaturatedWeight[3];
    std::uint8_t PatternAge[3][64];
    double ModelCoefficients[6];
    double TemperatureFactor;
    float DeviceTemperature[3];
    double DeltaVolume[3];
    double Tetta[3];
    std::int32_t FrostResistance[3];
    double AverageTetta;
    std::int32_t AverageFrostResistance;
    std::int32_t CurveShift[3];
    double CurveStretch[3];
    std::uint32_t CurvesReference;  // always 0 in an image
};

static_assert(sizeof(PackedRecord) == MeasureRecordSize);
static_assert(offsetof(PackedRecord, MeasureDate) == 0);
static_assert(offsetof(PackedRecord, DataVersion) == 8);
static_assert(offsetof(PackedRecord, MeasureNumber) == 12);
static_assert(offsetof(PackedRecord, StandardPattern) == 16);
static_assert(offsetof(PackedRecord, ActiveChannels) == 20);
static_assert(offsetof(PackedRecord, Duration) == 24);
static_assert(offsetof(PackedRecord, Period) == 28);
static_assert(offsetof(PackedRecord, PointCount) == 32);
static_assert(offsetof(PackedRecord, ConcreteKind) == 36);
static_assert(offsetof(PackedRecord, GeometryKind) == 40);
static_assert(offsetof(PackedRecord, PatternVolume) == 44);
static_assert(offsetof(PackedRecord, PatternDimensions) == 68);
static_assert(offsetof(PackedRecord, PatternPrimaryWeight) == 140);
static_assert(offsetof(PackedRecord, PatternSaturatedWeight) == 164);
static_assert(offsetof(PackedRecord, PatternAge) == 188);
static_assert(offsetof(PackedRecord, ModelCoefficients) == 380);
static_assert(offsetof(PackedRecord, TemperatureFactor) == 428);
static_assert(offsetof(PackedRecord, DeviceTemperature) == 436);
static_assert(offsetof(PackedRecord, DeltaVolume) == 448);
static_assert(offsetof(PackedRecord, Tetta) == 472);
static_assert(offsetof(PackedRecord, FrostResistance) == 496);
static_assert(offsetof(PackedRecord, AverageTetta) == 508);
static_assert(offsetof(PackedRecord, AverageFrostResistance) == 516);
static_assert(offsetof(PackedRecord, CurveShift) == 520);
static_assert(offsetof(PackedRecord, CurveStretch) == 532);
static_assert(offsetof(PackedRecord, CurvesReference) == 556);

// Calls op(offset, size, naturalField) for every field of the record; the
// packed struct above only fixes the offsets, bytes move with memcpy.
#define ZEMVALKORTA_FIELD(name)                                                                   \
    static_assert(sizeof(PackedRecord::name) == sizeof(measure.name), "field width: " #name); \
    op(offsetof(PackedRecord, name), sizeof(PackedRecord::name), measure.name)

template <typename Measure, typename Op>
void ForEachField(Measure& measure, Op op) {
    ZEMVALKORTA_FIELD(MeasureDate);
    ZEMVALKORTA_FIELD(DataVersion);
    ZEMVALKORTA_FIELD(MeasureNumber);
    ZEMVALKORTA_FIELD(StandardPattern);
    ZEMVALKORTA_FIELD(ActiveChannels);
    ZEMVALKORTA_FIELD(Duration);
    ZEMVALKORTA_FIELD(Period);
    ZEMVALKORTA_FIELD(PointCount);
    ZEMVALKORTA_FIELD(ConcreteKind);
    ZEMVALKORTA_FIELD(GeometryKind);
    ZEMVALKORTA_FIELD(PatternVolume);
    ZEMVALKORTA_FIELD(PatternDimensions);
    ZEMVALKORTA_FIELD(PatternPrimaryWeight);
    ZEMVALKORTA_FIELD(PatternSaturatedWeight);
    ZEMVALKORTA_FIELD(PatternAge);
    ZEMVALKORTA_FIELD(ModelCoefficients);
    ZEMVALKORTA_FIELD(TemperatureFactor);
    ZEMVALKORTA_FIELD(DeviceTemperature);
    ZEMVALKORTA_FIELD(DeltaVolume);
    ZEMVALKORTA_FIELD(Tetta);
    ZEMVALKORTA_FIELD(FrostResistance);
    ZEMVALKORTA_FIELD(AverageTetta);
    ZEMVALKORTA_FIELD(AverageFrostResistance);
    ZEMVALKORTA_FIELD(CurveShift);
    ZEMVALKORTA_FIELD(CurveStretch);
}

#undef ZEMVALKORTA_FIELD

}  // namespace

std::size_t ImageSize(std::int32_t pointCount, std::size_t curveCount) {
    const std::size_t points = pointCount > 0 ? static_cast<std::size_t>(pointCount) : 0;
    return MeasureRecordSize + curveCount * points * sizeof(float);
}

void EncodeMeasure(const TMeasureResult& measure, ByteArray& image) {
    const std::size_t points = measure.PointCount > 0 ? static_cast<std::size_t>(measure.PointCount) : 0;
    image.resize(ImageSize(measure.PointCount, measure.Curves.size()));
    std::uint8_t* record = image.data();
    std::memset(record, 0, MeasureRecordSize);
    ForEachField(measure, [record](std::size_t offset, std::size_t size, const auto& field) {
        std::memcpy(record + offset, &field, size);
    });
    std::uint8_t* out = image.data() + MeasureRecordSize;
    for (const Curve& curve : measure.Curves) {
        // A curve shorter than PointCount is padded with zeros, a longer one cut:
        // the image format has room for exactly PointCount values per curve.
        const std::size_t copied = std::min(curve.size(), points);
        if (copied > 0) std::memcpy(out, curve.data(), copied * sizeof(float));
        if (copied < points) std::memset(out + copied * sizeof(float), 0, (points - copied) * sizeof(float));
        out += points * sizeof(float);
    }
}

ByteArray EncodeMeasure(const TMeasureResult& measure) {
    ByteArray image;
    EncodeMeasure(measure, image);
    return image;
}

void DecodeMeasure(std::span<const std::uint8_t> image, TMeasureResult& measure) {
    if (image.empty()) throw ImageError("the measurement image is empty");
    if (image.size() < MeasureRecordSize)
        throw ImageError("the measurement image is too short: " + std::to_string(image.size()) + " bytes, at least " +
                         std::to_string(MeasureRecordSize) + " expected");
    std::int32_t pointCount;
    std::memcpy(&pointCount, image.data() + offsetof(PackedRecord, PointCount), sizeof pointCount);
    if (pointCount <= 0)
        throw ImageError("the measurement image has an invalid point count " + std::to_string(pointCount));

    const std::size_t curveBytes = static_cast<std::size_t>(pointCount) * sizeof(float);
    const std::size_t curveCount = (image.size() - MeasureRecordSize) / curveBytes;

    // Nothing can fail from here on; the target's curve buffers are reused.
    const std::uint8_t* record = image.data();
    ForEachField(measure, [record](std::size_t offset, std::size_t size, auto& field) {
        std::memcpy(&field, record + offset, size);
    });
    measure.Curves.resize(curveCount);
    const std::uint8_t* in = image.data() + MeasureRecordSize;
    for (Curve& curve : measure.Curves) {
        curve.resize(static_cast<std::size_t>(pointCount));
        std::memcpy(curve.data(), in, curveBytes);
        in += curveBytes;
    }
}

TMeasureResult DecodeMeasure(std::span<const std::uint8_t> image) {
    TMeasureResult measure;
    DecodeMeasure(image, measure);
    return measure;
}

}  // namespace zemvalkorta
