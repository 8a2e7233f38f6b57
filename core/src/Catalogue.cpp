#include "core/Catalogue.h"

#include <algorithm>
#include <numbers>

#include "core/TextCodec.h"

namespace zemvalkorta {

std::string ConcreteKindName(std::int32_t concreteKind) {
    switch (concreteKind) {
        case 0:
            return "бетон тяжёлый";
        case 1:
            return "бетон лёгкий";
        case 2:
            return "бетон дорожный";
        case 3:
            return "без имени";
        default:
            return "?";
    }
}

std::string GeometryName(std::int32_t geometryKind) {
    switch (geometryKind) {
        case Cube100:
            return "кубик 100 мм";
        case Cube70:
            return "кубик 70 мм";
        case Cylinder70:
            return "цилиндр d70x70 мм";
        default:
            return "?";
    }
}

void DefaultDimensions(std::int32_t geometryKind, Dimensions& dimensions) {
    switch (geometryKind) {
        case Cube70:
            dimensions = {70.0, 70.0, 70.0};
            break;
        case Cylinder70:
            dimensions = {70.0, 70.0, 0.0};
            break;
        default:
            dimensions = {100.0, 100.0, 100.0};
            break;
    }
}

Dimensions DefaultDimensions(std::int32_t geometryKind) {
    Dimensions dimensions{};
    DefaultDimensions(geometryKind, dimensions);
    return dimensions;
}

double SpecimenVolume(std::int32_t geometryKind, const Dimensions& dimensions) {
    const long double x = dimensions[0];
    const long double y = dimensions[1];
    const long double z = dimensions[2];
    const long double cubicMillimetres =
        geometryKind == Cylinder70 ? x * x / 4.0L * std::numbers::pi_v<long double> * y : x * y * z;
    return static_cast<double>(cubicMillimetres * 0.001L);
}

std::string StandardLabel(std::int32_t standardPattern, std::span<const double> coefficients) {
    return StandardLabel(standardPattern, coefficients, DefaultFormatSettings());
}

std::string StandardLabel(std::int32_t standardPattern, std::span<const double> coefficients,
                          const FormatSettings& settings) {
    std::string label;
    switch (standardPattern) {
        case 1:
            label = "К1";
            break;
        case 2:
            label = "К2";
            break;
        case 4:
            label = "К3";
            break;
        case 16:
            label = "M1";
            break;
        case 32:
            label = "M2";
            break;
        case 64:
            label = "M3";
            break;
        default:
            return "?";
    }
    label += "   [";
    for (std::size_t i = 0; i < 4; ++i) {
        if (i > 0) label += ",  ";
        label += FormatFloat("0.000E+00", i < coefficients.size() ? coefficients[i] : 0.0, settings);
    }
    label += "]";
    return label;
}

std::string ChannelsLabel(std::int32_t activeChannels) {
    if (activeChannels == 7) return "все";
    std::string label;
    for (int channel = 0; channel < ChannelCount; ++channel) {
        if (!IsChannelActive(activeChannels, channel)) continue;
        if (!label.empty()) label += "+";
        label += std::to_string(channel + 1);
    }
    return label;
}

std::string DurationText(std::uint32_t seconds) {
    const std::uint32_t hours = seconds / 3600;
    const std::uint32_t minutes = seconds % 3600 / 60;
    std::string text = std::to_string(hours) + ":";
    if (minutes < 10) text += "0";
    return text + std::to_string(minutes);
}

std::string NumberText(std::uint32_t value) { return std::to_string(value); }

double ScaleRawWord(std::int32_t raw, double factor) {
    return static_cast<double>(static_cast<long double>(raw) * factor / 65536.0L);
}

std::string PatternAgeText(const ShortString64& age) {
    const std::size_t length = std::min<std::size_t>(age[0], PatternAgeMaxLength);
    return Cp1251ToUtf8(std::string_view(reinterpret_cast<const char*>(age.data() + 1), length));
}

void SetPatternAgeText(ShortString64& age, std::string_view utf8) {
    std::string bytes = Utf8ToCp1251(utf8);
    if (bytes.size() > PatternAgeMaxLength) bytes.resize(PatternAgeMaxLength);
    age[0] = static_cast<std::uint8_t>(bytes.size());
    std::copy(bytes.begin(), bytes.end(), age.begin() + 1);
}

}  // namespace zemvalkorta
