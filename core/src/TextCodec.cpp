#include "core/TextCodec.h"

#include <array>
#include <cstdint>

namespace zemvalkorta {

namespace {

constexpr char32_t ReplacementCharacter = 0xFFFD;

// 0x80..0xBF; 0xC0..0xFF are the contiguous Cyrillic letters U+0410..U+044F.
constexpr std::array<char32_t, 64> UpperHalf = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  // 0x80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  // 0x88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 0x90
    0xFFFD, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  // 0x98 (0x98 undefined)
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  // 0xA0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  // 0xA8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  // 0xB0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  // 0xB8
};

constexpr char32_t DecodeByte(std::uint8_t byte) {
    if (byte < 0x80) return byte;
    if (byte >= 0xC0) return 0x0410 + (byte - 0xC0);
    return UpperHalf[byte - 0x80];
}

// Returns -1 for a code point without a Windows-1251 byte.
int EncodeCodePoint(char32_t codePoint) {
    if (codePoint < 0x80) return static_cast<int>(codePoint);
    if (codePoint >= 0x0410 && codePoint <= 0x044F) return static_cast<int>(0xC0 + (codePoint - 0x0410));
    if (codePoint == ReplacementCharacter) return -1;
    for (std::size_t i = 0; i < UpperHalf.size(); ++i)
        if (UpperHalf[i] == codePoint) return static_cast<int>(0x80 + i);
    return -1;
}

// Reads one code point at `position`, advancing it; -1 for a malformed
// sequence (overlong forms, surrogates and truncated sequences included), in
// which case exactly one byte is consumed.
long NextCodePoint(std::string_view text, std::size_t& position) {
    const auto lead = static_cast<std::uint8_t>(text[position]);
    if (lead < 0x80) {
        ++position;
        return lead;
    }
    int length = 0;
    char32_t value = 0;
    char32_t minimum = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2;
        value = lead & 0x1F;
        minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        value = lead & 0x0F;
        minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        value = lead & 0x07;
        minimum = 0x10000;
    } else {
        ++position;
        return -1;
    }
    if (position + length > text.size()) {
        ++position;
        return -1;
    }
    for (int i = 1; i < length; ++i) {
        const auto next = static_cast<std::uint8_t>(text[position + i]);
        if ((next & 0xC0) != 0x80) {
            ++position;
            return -1;
        }
        value = (value << 6) | (next & 0x3F);
    }
    if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
        ++position;
        return -1;
    }
    position += length;
    return static_cast<long>(value);
}

}  // namespace

void AppendUtf8(std::string& target, char32_t codePoint) {
    if (codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) codePoint = ReplacementCharacter;
    if (codePoint < 0x80) {
        target.push_back(static_cast<char>(codePoint));
    } else if (codePoint < 0x800) {
        target.push_back(static_cast<char>(0xC0 | (codePoint >> 6)));
        target.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else if (codePoint < 0x10000) {
        target.push_back(static_cast<char>(0xE0 | (codePoint >> 12)));
        target.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
        target.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else {
        target.push_back(static_cast<char>(0xF0 | (codePoint >> 18)));
        target.push_back(static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F)));
        target.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
        target.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    }
}

std::string Cp1251ToUtf8(std::string_view bytes) {
    std::string result;
    result.reserve(bytes.size() * 2);
    for (const char byte : bytes) AppendUtf8(result, DecodeByte(static_cast<std::uint8_t>(byte)));
    return result;
}

std::string Utf8ToCp1251(std::string_view utf8, char replacement) {
    std::string result;
    result.reserve(utf8.size());
    std::size_t position = 0;
    while (position < utf8.size()) {
        const long codePoint = NextCodePoint(utf8, position);
        const int byte = codePoint < 0 ? -1 : EncodeCodePoint(static_cast<char32_t>(codePoint));
        result.push_back(byte < 0 ? replacement : static_cast<char>(byte));
    }
    return result;
}

}  // namespace zemvalkorta
