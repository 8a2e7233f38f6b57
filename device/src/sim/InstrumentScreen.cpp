// The instrument's display as its firmware draws it: a few lines of state in
// a 3 x 5 font, one text line per 8-pixel display page.

#include <cstdio>
#include <string>

#include "device/sim/InstrumentServer.h"

namespace zemvalkorta::sim {

namespace {

struct Glyph {
    char Character;
    std::uint8_t Rows[5];  // bit 2 = left column
};

constexpr Glyph Font[] = {
    {'0', {7, 5, 5, 5, 7}}, {'1', {2, 6, 2, 2, 7}}, {'2', {7, 1, 7, 4, 7}}, {'3', {7, 1, 3, 1, 7}},
    {'4', {5, 5, 7, 1, 1}}, {'5', {7, 4, 7, 1, 7}}, {'6', {7, 4, 7, 5, 7}}, {'7', {7, 1, 2, 2, 2}},
    {'8', {7, 5, 7, 5, 7}}, {'9', {7, 5, 7, 1, 7}}, {'A', {2, 5, 7, 5, 5}}, {'B', {6, 5, 6, 5, 6}},
    {'C', {3, 4, 4, 4, 3}}, {'D', {6, 5, 5, 5, 6}}, {'E', {7, 4, 6, 4, 7}}, {'F', {7, 4, 6, 4, 4}},
    {'G', {3, 4, 5, 5, 3}}, {'H', {5, 5, 7, 5, 5}}, {'I', {7, 2, 2, 2, 7}}, {'J', {1, 1, 1, 5, 2}},
    {'K', {5, 5, 6, 5, 5}}, {'L', {4, 4, 4, 4, 7}}, {'M', {5, 7, 7, 5, 5}}, {'N', {6, 5, 5, 5, 5}},
    {'O', {2, 5, 5, 5, 2}}, {'P', {6, 5, 6, 4, 4}}, {'Q', {2, 5, 5, 6, 3}}, {'R', {6, 5, 6, 5, 5}},
    {'S', {3, 4, 2, 1, 6}}, {'T', {7, 2, 2, 2, 2}}, {'U', {5, 5, 5, 5, 7}}, {'V', {5, 5, 5, 5, 2}},
    {'W', {5, 5, 7, 7, 5}}, {'X', {5, 5, 2, 5, 5}}, {'Y', {5, 5, 2, 2, 2}}, {'Z', {7, 1, 2, 4, 7}},
    {'-', {0, 0, 7, 0, 0}}, {'.', {0, 0, 0, 0, 2}}, {':', {0, 2, 0, 2, 0}}, {'/', {1, 1, 2, 4, 4}},
    {'+', {0, 2, 7, 2, 0}}, {'=', {0, 7, 0, 7, 0}},
};

const Glyph* FindGlyph(char character) {
    for (const Glyph& glyph : Font)
        if (glyph.Character == character) return &glyph;
    return nullptr;
}

void DrawText(std::array<std::uint8_t, 1024>& display, int page, int column, const std::string& text) {
    for (const char character : text) {
        if (column + 3 > 128) return;
        if (const Glyph* glyph = FindGlyph(character)) {
            for (int x = 0; x < 3; ++x) {
                std::uint8_t bits = 0;
                for (int row = 0; row < 5; ++row)
                    if ((glyph->Rows[row] >> (2 - x)) & 1) bits |= static_cast<std::uint8_t>(1 << (row + 1));
                display[static_cast<std::size_t>(page * 128 + column + x)] = bits;
            }
        }
        column += 4;
    }
}

std::string Format(const char* pattern, double value) {
    char text[32];
    std::snprintf(text, sizeof text, pattern, value);
    return text;
}

}  // namespace

std::array<std::uint8_t, 1024> RenderInstrumentScreen(const InstrumentContent& content) {
    std::array<std::uint8_t, 1024> display{};
    std::string identity(content.Identity.begin() + (content.Identity.empty() ? 0 : 1), content.Identity.end());
    DrawText(display, 0, 2, identity);
    for (int x = 0; x < 128; ++x) display[static_cast<std::size_t>(128 + x)] = 0x01;  // rule under the title
    DrawText(display, 2, 2, "MEMORY: " + std::to_string(content.Measurements.size()));
    if (!content.Measurements.empty()) {
        const DeviceHeader& last = content.Measurements.back().Header;
        char date[40];
        std::snprintf(date, sizeof date, "LAST N%d %02d.%02d.%02d %02d:%02d", last.MeasureNumber, last.Day, last.Month,
                      last.Year, last.Hour, last.Minute);
        DrawText(display, 3, 2, date);
        std::string temperatures = "T";
        for (int c = 0; c < 3; ++c) temperatures += " " + Format("%.1f", last.Temperature16[c] / 16.0);
        DrawText(display, 4, 2, temperatures);
    }
    DrawText(display, 6, 2, "READY");
    DrawText(display, 7, 2, "USB");
    return display;
}

}  // namespace zemvalkorta::sim
