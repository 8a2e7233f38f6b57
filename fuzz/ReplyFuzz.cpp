// Every reply of the instrument comes from the fuzzer: each command first
// takes one byte choosing success or a transfer failure, then as many reply
// bytes as it asks for (a short reply leaves the rest of the buffer as it
// was, like the cable does). The download must end with a status, hold
// plausible records only on success and nothing otherwise; the screen
// picture is drawn from whatever the display reply held.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

#include "core/DSPUnit.h"
#include "core/MeasureImage.h"
#include "core/Processing.h"
#include "device/DeviceScreenShotUnit.h"
#include "device/DownloadUnit.h"
#include "device/UsbTransport.h"

using namespace zemvalkorta;

namespace {

class FuzzedPort final : public CommandPort {
public:
    FuzzedPort(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    std::uint32_t UsbCommand(std::uint32_t, std::span<const std::uint8_t>, std::span<std::uint8_t> reply) override {
        // An exhausted input is an instrument that stopped answering.
        if (offset_ >= size_) return UsbStatusTimeout;
        const std::uint8_t choice = data_[offset_++];
        if (choice == 0xFF) return UsbStatusIo;
        if (choice == 0xFE) return UsbStatusTimeout;
        const std::size_t taken = std::min(reply.size(), size_ - offset_);
        if (taken > 0) std::memcpy(reply.data(), data_ + offset_, taken);
        offset_ += taken;
        return 0;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t offset_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    {
        FuzzedPort port(data, size);
        TArrayOfMeasureResult records;
        int lastPercent = -1;
        const std::uint32_t status = DownloadMeasurements(port, records, [&lastPercent](int percent) {
            if (percent <= lastPercent || percent < 0 || percent > 99) __builtin_trap();
            lastPercent = percent;
        });
        if (status != 0 && !records.empty()) __builtin_trap();
        TMAFilter filter(3);
        for (TMeasureResult& record : records) {
            if (record.PointCount < 0 || record.PointCount > static_cast<std::int32_t>(SampleWordsPerSection))
                __builtin_trap();
            const ByteArray image = EncodeMeasure(record);
            if (record.PointCount > 0) {
                TMeasureResult decoded = DecodeMeasure(image);
                if (decoded.Curves.size() != record.Curves.size()) __builtin_trap();
            }
            try {
                ProcessMeasureRecord(record, filter);
            } catch (const ProcessingError&) {
            }
        }
    }
    {
        FuzzedPort port(data, size);
        std::array<std::uint8_t, DisplayBytes> display{};
        if (FetchDisplay(port, display) == 0) {
            ScreenPicture picture;
            picture.SetDisplay(display);
            const QImage image = PaintPicture(picture, 0x000000, 0xFFFFFF);
            if (image.width() != PictureWidth || image.height() != PictureHeight) __builtin_trap();
        }
    }
    return 0;
}
