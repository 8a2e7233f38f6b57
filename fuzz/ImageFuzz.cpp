// A stored measurement image from anywhere (a damaged project, a hand-made
// file given to add-image) goes through the decoder and, when accepted,
// through the whole processing pass. Refusals are exceptions of their own
// kind; anything else is a finding.
#include <cstddef>
#include <cstdint>
#include <span>

#include "core/DSPUnit.h"
#include "core/MeasureImage.h"
#include "core/Processing.h"

using namespace zemvalkorta;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TMeasureResult measure;
    try {
        DecodeMeasure(std::span<const std::uint8_t>(data, size), measure);
    } catch (const ImageError&) {
        return 0;
    }
    // What an accepted image decodes to survives a round trip unchanged.
    const ByteArray image = EncodeMeasure(measure);
    if (image.size() > size) __builtin_trap();
    if (EncodeMeasure(DecodeMeasure(image)) != image) __builtin_trap();

    TMAFilter filter(3);
    try {
        ProcessMeasureRecord(measure, filter);
    } catch (const ProcessingError&) {
    }
    return 0;
}
