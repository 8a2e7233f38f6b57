#pragma once

// What a virtual instrument holds: its information block fields, identity
// and stored measurements, in the wire layout of the download commands.

#include <array>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace zemvalkorta::sim {

struct DeviceHeader {
    std::uint8_t Second = 0, Minute = 0, Hour = 0, Day = 1, Month = 1, Year = 24;  // Year: years after 2000
    std::int32_t MeasureNumber = 0;
    std::int32_t StandardPattern = 1;
    std::int32_t ActiveChannels = 7;
    std::uint32_t Duration = 0;
    std::int32_t Period = 5;
    std::int32_t PointCount = 0;
    std::int32_t ConcreteKind = 0;
    std::int32_t GeometryKind = 0;
    double Scale = 8.0;
    std::array<double, 6> Model{};
    std::array<double, 3> Coefficient{1.0, 1.0, 1.0};
    std::array<std::int32_t, 3> ZeroLevel{};
    std::array<std::int32_t, 3> Temperature16{};  // 1/16 degC
    std::array<double, 3> DeltaVolume{};
    std::array<double, 3> Tetta{};
    std::array<std::int32_t, 3> Grade{-1, -1, -1};
};

inline constexpr std::size_t SampleWords = 25920;

struct SimulatedMeasurement {
    DeviceHeader Header;
    std::vector<std::uint16_t> Words = std::vector<std::uint16_t>(SampleWords, 0);
};

struct InstrumentContent {
    std::vector<std::uint8_t> Identity;  // the whole identity block, byte 0 included
    std::int32_t DataVersion = 0x10003;
    std::optional<std::int32_t> ReportedCount;  // overrides the count of Measurements
    std::vector<SimulatedMeasurement> Measurements;
};

std::array<std::uint8_t, 204> EncodeHeader(const DeviceHeader& header);
std::vector<std::uint8_t> EncodeSamples(const SimulatedMeasurement& measurement);
std::array<std::uint8_t, 20> EncodeInformation(const InstrumentContent& content);

// Identity block of an instrument that calls itself `text` (byte 0 is a
// length byte the host skips).
std::vector<std::uint8_t> IdentityBlock(const std::string& text);

struct GeneratorOptions {
    std::uint64_t Seed = 1;
    int Count = 12;
    // Every measurement with three channels and 4320 samples.
    bool FullSize = false;
};

// Realistic freezing runs, the same for the same options.
InstrumentContent GenerateContent(const GeneratorOptions& options);

struct InstrumentFaults {
    bool WrongIdentity = false;
    bool BadVersion = false;
    bool BadHeader = false;  // every header carries PointCount 5000
    int TimeoutAt = 0;       // 1-based transfer number; 0 = never
    int DisconnectAt = 0;
    // Transfer StallAt (1-based; 0 = never) is answered only after StallFor,
    // as an instrument busy with something else: slow, but within the
    // transfer time-out, and the instrument goes on answering afterwards.
    int StallAt = 0;
    std::chrono::milliseconds StallFor{1500};
};

void ApplyContentFaults(InstrumentContent& content, const InstrumentFaults& faults);

// Parses one "--fault" value ("wrong-identity", "timeout-at=7", ...).
bool ParseFault(const std::string& text, InstrumentFaults& faults);

}  // namespace zemvalkorta::sim
