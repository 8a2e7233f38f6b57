#pragma once

// The download conversation: information, identity, then header and samples
// of every stored measurement, each pair turned into one TMeasureResult.

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>

#include "core/MeasureResult.h"
#include "device/USB.h"

namespace zemvalkorta {

enum DeviceCommand : std::uint32_t {
    InformationCommand = 1,
    IdentityCommand = 2,
    BeginReadingCommand = 3,
    HeaderCommand = 4,
    SamplesCommand = 5,
    ScreenCommand = 6,
};

inline constexpr std::size_t InformationBlockSize = 20;
inline constexpr std::size_t HeaderBlockSize = 204;
inline constexpr std::size_t SampleWordsPerSection = 4320;
inline constexpr std::size_t SampleBlockWords = 6 * SampleWordsPerSection;
inline constexpr std::size_t SampleBlockSize = 2 * SampleBlockWords;  // 51840
inline constexpr std::size_t MaxIdentityLength = 64;                  // what one IN transfer of the cable carries
inline constexpr std::int32_t MaxStoredMeasurements = 10000;

inline constexpr char DeviceIdentity[] = "ZEMVALKORTA-1.0";

// Statuses added by the download to those of the USB unit.
inline constexpr std::uint32_t WrongInstrumentStatus = 0x70000001;   // identity or data version refused
inline constexpr std::uint32_t ImplausibleInformation = 0x70000002;  // L outside 0..64 or N outside 0..10000
inline constexpr std::uint32_t ImplausibleHeader = 0x70000003;       // PointCount outside 0..4320
inline constexpr std::uint32_t DownloadStopped = 0xFFFFFFFF;         // stop requested between transfers

// Receives whole percentages 0..99, each value once, in rising order.
using ProgressReporter = std::function<void(int percent)>;

// Runs the whole conversation through `port`. On 0 `target` holds N records
// in the instrument's order; otherwise it is cleared. `stopRequest` is
// checked between transfers.
std::uint32_t DownloadMeasurements(CommandPort& port, TArrayOfMeasureResult& target,
                                   const ProgressReporter& progress = {},
                                   const std::atomic<bool>* stopRequest = nullptr);

// One record from a 204-byte header and its 51840-byte sample block.
// PointCount must already have been checked (0..4320).
void FillMeasureFromDevice(std::span<const std::uint8_t, HeaderBlockSize> header,
                           std::span<const std::uint8_t, SampleBlockSize> samples, TMeasureResult& measure);

// Day count since 1899-12-30; 2000-01-01 01:00:00 when the fields do not form
// a valid date and time.
double DeviceDateTime(int year, int month, int day, int hour, int minute, int second);

// "Ошибка связи " + eight upper-case hexadecimal digits.
std::string CommunicationErrorText(std::uint32_t status);
inline constexpr char DeviceNotConnectedText[] = "Прибор не подключен!";

}  // namespace zemvalkorta
