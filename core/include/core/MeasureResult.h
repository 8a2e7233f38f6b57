#pragma once

// One measurement of the instrument: up to three specimens, each with its
// curves. The fields are those of the stored image (see MeasureImage.h); the
// in-memory struct keeps natural alignment, the codec owns the byte layout.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace zemvalkorta {

inline constexpr int ChannelCount = 3;
inline constexpr int ModelCoefficientCount = 6;
inline constexpr int PatternAgeBytes = 64;         // length byte + 63 characters
inline constexpr int PatternAgeMaxLength = 63;
inline constexpr std::int32_t CurrentDataVersion = 0x10003;  // 65539
inline constexpr int MaxDevicePointCount = 4320;

// Windows-1251 short string exactly as stored: byte 0 is the length, bytes
// after the text are kept as they came so that images round-trip byte for byte.
using ShortString64 = std::array<std::uint8_t, PatternAgeBytes>;

using Curve = std::vector<float>;
using CurveList = std::vector<Curve>;

struct TMeasureResult {
    double MeasureDate = 0.0;  // days since 1899-12-30, fraction = time of day
    std::int32_t DataVersion = CurrentDataVersion;
    std::int32_t MeasureNumber = 0;
    std::int32_t StandardPattern = 0;  // 1,2,4 = standard in channel 1..3; 16,32,64 = model 1..3
    std::int32_t ActiveChannels = 0;   // bit 0..2 = channel 1..3
    std::uint32_t Duration = 0;        // s
    std::int32_t Period = 0;           // s
    std::int32_t PointCount = 0;
    std::int32_t ConcreteKind = 0;
    std::int32_t GeometryKind = 0;
    std::array<double, ChannelCount> PatternVolume{};                        // cm3
    std::array<std::array<double, 3>, ChannelCount> PatternDimensions{};     // mm, x y z
    std::array<double, ChannelCount> PatternPrimaryWeight{};                 // g, 0 = not entered
    std::array<double, ChannelCount> PatternSaturatedWeight{};               // g, 0 = not entered
    std::array<ShortString64, ChannelCount> PatternAge{};                    // Windows-1251
    std::array<double, ModelCoefficientCount> ModelCoefficients{};           // a0..a3, start s, start value
    double TemperatureFactor = -9.5;
    std::array<float, ChannelCount> DeviceTemperature{};                     // degC
    std::array<double, ChannelCount> DeltaVolume{};                          // cm3
    std::array<double, ChannelCount> Tetta{};
    std::array<std::int32_t, ChannelCount> FrostResistance{-1, -1, -1};
    double AverageTetta = 0.0;
    std::int32_t AverageFrostResistance = -1;
    std::array<std::int32_t, ChannelCount> CurveShift{};
    std::array<double, ChannelCount> CurveStretch{1.0, 1.0, 1.0};

    CurveList Curves;
};

using TArrayOfMeasureResult = std::vector<TMeasureResult>;

// ---- Channel roles -------------------------------------------------------
// channel is 0-based (0 = channel 1) everywhere in the code.

enum class ChannelRole { Inactive, Standard, Concrete };

constexpr std::int32_t ChannelBit(int channel) { return 1 << channel; }

constexpr bool IsChannelActive(std::int32_t activeChannels, int channel) {
    return (activeChannels & ChannelBit(channel)) != 0;
}

constexpr ChannelRole RoleOfChannel(std::int32_t activeChannels, std::int32_t standardPattern,
                                    int channel) {
    if (!IsChannelActive(activeChannels, channel)) return ChannelRole::Inactive;
    return standardPattern == ChannelBit(channel) ? ChannelRole::Standard : ChannelRole::Concrete;
}

inline ChannelRole RoleOfChannel(const TMeasureResult& measure, int channel) {
    return RoleOfChannel(measure.ActiveChannels, measure.StandardPattern, channel);
}

constexpr bool HasPhysicalStandard(std::int32_t standardPattern) { return (standardPattern & 7) != 0; }

constexpr int CurvesOfRole(ChannelRole role) {
    switch (role) {
        case ChannelRole::Standard: return 2;
        case ChannelRole::Concrete: return 4;
        case ChannelRole::Inactive: break;
    }
    return 0;
}

// Index of the first curve (volume) of a channel; meaningful for an active channel.
constexpr int FirstCurveOfChannel(std::int32_t activeChannels, std::int32_t standardPattern,
                                  int channel) {
    int index = 0;
    for (int c = 0; c < channel; ++c) index += CurvesOfRole(RoleOfChannel(activeChannels, standardPattern, c));
    return index;
}

inline int FirstCurveOfChannel(const TMeasureResult& measure, int channel) {
    return FirstCurveOfChannel(measure.ActiveChannels, measure.StandardPattern, channel);
}

constexpr int RequiredCurveCount(std::int32_t activeChannels, std::int32_t standardPattern) {
    return FirstCurveOfChannel(activeChannels, standardPattern, ChannelCount);
}

inline int RequiredCurveCount(const TMeasureResult& measure) {
    return RequiredCurveCount(measure.ActiveChannels, measure.StandardPattern);
}

// Offsets of a channel's curves relative to FirstCurveOfChannel.
enum CurveKind : int { VolumeCurve = 0, TemperatureCurve = 1, ReferenceCurve = 2, DifferenceCurve = 3 };

// Returns the channel holding the physical standard specimen, or -1.
inline int StandardChannel(const TMeasureResult& measure) {
    for (int c = 0; c < ChannelCount; ++c)
        if (RoleOfChannel(measure, c) == ChannelRole::Standard) return c;
    return -1;
}

}  // namespace zemvalkorta
