#pragma once

// Colours are kept as in the settings file, 0x00BBGGRR (red in the low byte).

#include <QColor>
#include <array>
#include <cstdint>

namespace zemvalkorta {

using ColorValue = std::uint32_t;

inline QColor ToQColor(ColorValue value) {
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

inline ColorValue FromQColor(const QColor& color) {
    return ColorValue(color.red()) | (ColorValue(color.green()) << 8) | (ColorValue(color.blue()) << 16);
}

// The sixteen colours offered by the colour lists, in their order.
inline constexpr std::array<ColorValue, 16> StandardColors{0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080,
                                                           0x808000, 0x808080, 0xC0C0C0, 0x0000FF, 0x00FF00, 0x00FFFF,
                                                           0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};

}  // namespace zemvalkorta
