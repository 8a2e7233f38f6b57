#pragma once

// The catalogue's texts as the windows show them (UTF-8 text in QString).

#include <QString>
#include <array>
#include <cstdint>

namespace zemvalkorta {

QString ConcreteKindText(std::int32_t code);
QString GeometryText(std::int32_t code);
QString StandardText(std::int32_t standardPattern, const std::array<double, 4>& coefficients);
QString ChannelsText(std::int32_t activeChannels);
QString DurationString(std::uint32_t seconds);
QString NumberString(std::uint32_t value);

}  // namespace zemvalkorta
