#pragma once

// Stored image of a measurement (the MEASURE_DATA column): the 560-byte
// packed record, then every curve as PointCount little-endian float32 values.

#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <vector>

#include "core/MeasureResult.h"

namespace zemvalkorta {

inline constexpr std::size_t MeasureRecordSize = 560;

using ByteArray = std::vector<std::uint8_t>;

class ImageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

ByteArray EncodeMeasure(const TMeasureResult& measure);
void EncodeMeasure(const TMeasureResult& measure, ByteArray& image);

// Throws ImageError for an image shorter than the record or with PointCount <= 0;
// the target is left untouched then.
void DecodeMeasure(std::span<const std::uint8_t> image, TMeasureResult& measure);
TMeasureResult DecodeMeasure(std::span<const std::uint8_t> image);

// Size of the image of a record holding curveCount curves.
std::size_t ImageSize(std::int32_t pointCount, std::size_t curveCount);

}  // namespace zemvalkorta
