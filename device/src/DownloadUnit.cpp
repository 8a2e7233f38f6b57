#include "device/DownloadUnit.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

#include "core/Catalogue.h"
#include "core/MeasureEdits.h"
#include "core/StoredDateTime.h"

namespace zemvalkorta {

namespace {

std::int32_t ReadInt32(const std::uint8_t* source) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = (value << 8) | source[i];
    return static_cast<std::int32_t>(value);
}

double ReadDouble(const std::uint8_t* source) {
    double value;
    std::memcpy(&value, source, sizeof value);  // the wire and the host are both little-endian
    return value;
}

std::uint16_t SampleWord(std::span<const std::uint8_t, SampleBlockSize> samples, std::size_t word) {
    return static_cast<std::uint16_t>(samples[2 * word] | (samples[2 * word + 1] << 8));
}

bool StopRequested(const std::atomic<bool>* stopRequest) {
    return stopRequest != nullptr && stopRequest->load(std::memory_order_acquire);
}

}  // namespace

double DeviceDateTime(int year, int month, int day, int hour, int minute, int second) {
    // The fields are range-checked before the calendar types see them: those
    // keep only the low bits of an out-of-range day or month.
    const std::chrono::year_month_day date{std::chrono::year{year}, std::chrono::month{static_cast<unsigned>(month)},
                                           std::chrono::day{static_cast<unsigned>(day)}};
    const bool valid = year >= -32767 && year <= 32767 && month >= 1 && month <= 12 && day >= 1 && day <= 31 &&
                       date.ok() && hour >= 0 && hour <= 23 && minute >= 0 && minute <= 59 && second >= 0 &&
                       second <= 59;
    if (!valid) return DeviceDateTime(2000, 1, 1, 1, 0, 0);
    return StoredDateTime(date, std::chrono::hours{hour} + std::chrono::minutes{minute} + std::chrono::seconds{second});
}

void FillMeasureFromDevice(std::span<const std::uint8_t, HeaderBlockSize> header,
                           std::span<const std::uint8_t, SampleBlockSize> samples, TMeasureResult& measure) {
    measure = TMeasureResult{};
    measure.MeasureDate = DeviceDateTime(2000 + header[5], header[4], header[3], header[2], header[1], header[0]);
    measure.DataVersion = CurrentDataVersion;
    measure.MeasureNumber = ReadInt32(&header[8]);
    measure.StandardPattern = ReadInt32(&header[12]);
    measure.ActiveChannels = ReadInt32(&header[16]);
    measure.Duration = static_cast<std::uint32_t>(ReadInt32(&header[20]));
    measure.Period = ReadInt32(&header[24]);
    measure.PointCount = ReadInt32(&header[28]);
    measure.ConcreteKind = ReadInt32(&header[32]);
    measure.GeometryKind = ReadInt32(&header[36]);
    const double scale = ReadDouble(&header[40]);
    ResetPatternDimensions(measure);
    for (int c = 0; c < ChannelCount; ++c) {
        measure.PatternPrimaryWeight[c] = 0;
        measure.PatternSaturatedWeight[c] = 0;
        measure.PatternAge[c] = ShortString64{};
        measure.DeviceTemperature[c] = static_cast<float>(ReadInt32(&header[132 + 4 * c]) * 0.0625);
        measure.DeltaVolume[c] = ReadDouble(&header[144 + 8 * c]);
        measure.Tetta[c] = ReadDouble(&header[168 + 8 * c]);
        measure.FrostResistance[c] = ReadInt32(&header[192 + 4 * c]);
        measure.CurveShift[c] = 0;
        measure.CurveStretch[c] = 1.0;
    }
    for (int i = 0; i < ModelCoefficientCount; ++i) measure.ModelCoefficients[i] = ReadDouble(&header[48 + 8 * i]);
    measure.TemperatureFactor = -9.5;
    measure.AverageTetta = 0;
    measure.AverageFrostResistance = -1;

    const auto pointCount = static_cast<std::size_t>(measure.PointCount);
    measure.Curves.assign(static_cast<std::size_t>(RequiredCurveCount(measure)), Curve(pointCount, 0.0f));
    std::size_t curve = 0;
    for (int c = 0; c < ChannelCount; ++c) {
        const ChannelRole role = RoleOfChannel(measure, c);
        if (role == ChannelRole::Inactive) continue;
        const double coefficient = ReadDouble(&header[96 + 8 * c]);
        const std::int32_t zeroLevel = ReadInt32(&header[120 + 4 * c]);
        Curve& volume = measure.Curves[curve];
        Curve& temperature = measure.Curves[curve + 1];
        const std::size_t volumeWords = SampleWordsPerSection * static_cast<std::size_t>(c);
        const std::size_t temperatureWords = 3 * SampleWordsPerSection + volumeWords;
        for (std::size_t j = 0; j < pointCount; ++j) {
            // The difference is a 32-bit one and wraps as the instrument's own
            // arithmetic does, whatever zero level a damaged header holds.
            const auto raw =
                static_cast<std::int32_t>(static_cast<std::uint32_t>(SampleWord(samples, volumeWords + j)) -
                                          static_cast<std::uint32_t>(zeroLevel));
            volume[j] = static_cast<float>(ScaleRawWord(raw, scale) * coefficient);
            const auto word = static_cast<std::int16_t>(SampleWord(samples, temperatureWords + j));
            temperature[j] = static_cast<float>(word * 0.0625);
        }
        curve += static_cast<std::size_t>(CurvesOfRole(role));
    }
}

std::uint32_t DownloadMeasurements(CommandPort& port, TArrayOfMeasureResult& target, const ProgressReporter& progress,
                                   const std::atomic<bool>* stopRequest) {
    target.clear();
    auto fail = [&target](std::uint32_t status) {
        target.clear();
        return status;
    };

    std::array<std::uint8_t, InformationBlockSize> information{};
    std::uint32_t status = port.UsbCommand(InformationCommand, {}, information);
    if (status != UsbStatusSuccess) return fail(status);
    const std::int32_t identityLength = ReadInt32(&information[0]);
    const std::int32_t dataVersion = ReadInt32(&information[8]);
    const std::int32_t count = ReadInt32(&information[12]);
    if (identityLength < 0 || identityLength > static_cast<std::int32_t>(MaxIdentityLength))
        return fail(ImplausibleInformation);

    std::string identity;
    if (identityLength != 0) {
        if (StopRequested(stopRequest)) return fail(DownloadStopped);
        std::vector<std::uint8_t> block(static_cast<std::size_t>(identityLength), 0);
        status = port.UsbCommand(IdentityCommand, {}, block);
        if (status != UsbStatusSuccess) return fail(status);
        identity.assign(block.begin() + 1, block.end());
    }
    if (identity != DeviceIdentity || dataVersion != CurrentDataVersion) return fail(WrongInstrumentStatus);
    if (count < 0 || count > MaxStoredMeasurements) return fail(ImplausibleInformation);
    if (count == 0) return UsbStatusSuccess;

    if (StopRequested(stopRequest)) return fail(DownloadStopped);
    status = port.UsbCommand(BeginReadingCommand, {}, {});
    if (status != UsbStatusSuccess) return fail(status);

    target.resize(static_cast<std::size_t>(count));
    std::array<std::uint8_t, HeaderBlockSize> header{};
    std::vector<std::uint8_t> samples(SampleBlockSize);
    int lastPercent = -1;
    for (std::int32_t i = 0; i < count; ++i) {
        const int percent = static_cast<int>(static_cast<std::int64_t>(i) * 100 / count);
        if (percent != lastPercent) {
            lastPercent = percent;
            if (progress) progress(percent);
        }
        if (StopRequested(stopRequest)) return fail(DownloadStopped);
        status = port.UsbCommand(HeaderCommand, {}, header);
        if (status != UsbStatusSuccess) return fail(status);
        if (StopRequested(stopRequest)) return fail(DownloadStopped);
        status = port.UsbCommand(SamplesCommand, {}, samples);
        if (status != UsbStatusSuccess) return fail(status);
        const std::int32_t pointCount = ReadInt32(&header[28]);
        if (pointCount < 0 || pointCount > MaxDevicePointCount) return fail(ImplausibleHeader);
        FillMeasureFromDevice(header, std::span<const std::uint8_t, SampleBlockSize>(samples.data(), SampleBlockSize),
                              target[static_cast<std::size_t>(i)]);
    }
    return UsbStatusSuccess;
}

std::string CommunicationErrorText(std::uint32_t status) {
    char digits[9];
    std::snprintf(digits, sizeof digits, "%08X", status);
    return std::string("Ошибка связи ") + digits;
}

}  // namespace zemvalkorta
