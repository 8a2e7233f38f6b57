#include "core/NumberFormat.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <mutex>
#include <vector>

namespace zemvalkorta {

namespace {

std::mutex settingsMutex;
FormatSettings& SharedSettings() {
    static FormatSettings settings;
    return settings;
}

// value = 0.Digits x 10^Exponent; Digits has no trailing zeros and is empty
// for zero.
struct DecimalNumber {
    std::string Digits;
    int Exponent = 0;
    bool Negative = false;
};

constexpr int ConversionDigits = 18;
constexpr int GeneralDigits = 15;

DecimalNumber ToDecimal(double value) {
    DecimalNumber number;
    number.Negative = std::signbit(value);
    if (value == 0.0) return number;
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*e", ConversionDigits - 1, std::fabs(value));
    const std::string_view text(buffer);
    const auto exponentAt = text.find('e');
    number.Digits.push_back(text[0]);
    number.Digits.append(text.substr(2, exponentAt - 2));
    int exponent = 0;
    std::from_chars(text.data() + exponentAt + (text[exponentAt + 1] == '+' ? 2 : 1), text.data() + text.size(),
                    exponent);
    number.Exponent = exponent + 1;
    while (!number.Digits.empty() && number.Digits.back() == '0') number.Digits.pop_back();
    return number;
}

// Keeps `keep` significant digits, rounding half away from zero on the digit
// string itself.
void RoundDigits(DecimalNumber& number, int keep) {
    if (keep >= static_cast<int>(number.Digits.size())) return;
    if (keep < 0) {
        number.Digits.clear();
    } else {
        const bool up = number.Digits[keep] >= '5';
        number.Digits.resize(keep);
        if (up) {
            int position = keep - 1;
            while (position >= 0 && number.Digits[position] == '9') number.Digits[position--] = '0';
            if (position >= 0) {
                ++number.Digits[position];
            } else {
                number.Digits.insert(number.Digits.begin(), '1');
                ++number.Exponent;
            }
        }
    }
    while (!number.Digits.empty() && number.Digits.back() == '0') number.Digits.pop_back();
    if (number.Digits.empty()) number.Exponent = 0;
}

char DigitAt(const DecimalNumber& number, int index) {
    return index >= 0 && index < static_cast<int>(number.Digits.size()) ? number.Digits[index] : '0';
}

std::string GroupThousands(const std::string& digits, const std::string& separator) {
    std::string result;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) result += separator;
        result.push_back(digits[i]);
    }
    return result;
}

std::string FormatGeneral(double value, const FormatSettings& settings) {
    DecimalNumber number = ToDecimal(value);
    RoundDigits(number, GeneralDigits);
    if (number.Digits.empty()) return "0";
    std::string result = number.Negative ? "-" : "";
    const int digitCount = static_cast<int>(number.Digits.size());
    if (number.Exponent > GeneralDigits || number.Exponent < -3) {
        result.push_back(number.Digits[0]);
        if (digitCount > 1) result += settings.DecimalSeparator + number.Digits.substr(1);
        result += "E" + std::to_string(number.Exponent - 1);
        return result;
    }
    if (number.Exponent <= 0) {
        result += "0" + settings.DecimalSeparator + std::string(-number.Exponent, '0') + number.Digits;
        return result;
    }
    for (int i = 0; i < number.Exponent; ++i) result.push_back(DigitAt(number, i));
    if (digitCount > number.Exponent) result += settings.DecimalSeparator + number.Digits.substr(number.Exponent);
    return result;
}

enum class TokenKind { Literal, IntegerDigit, Point, FractionDigit, Exponent };

struct Token {
    TokenKind Kind;
    std::string Text;  // Literal: the text; Exponent: "+" or "-"
};

struct Pattern {
    std::vector<Token> Tokens;
    int IntegerPlaces = 0;
    int IntegerMinimum = 0;
    int FractionPlaces = 0;
    int FractionMinimum = 0;
    bool Grouping = false;
    bool Scientific = false;
    int ExponentMinimum = 0;
};

Pattern ParsePattern(std::string_view text) {
    Pattern pattern;
    bool afterPoint = false;
    bool sawIntegerZero = false;
    std::size_t i = 0;
    auto addLiteral = [&](std::string_view literal) {
        if (!pattern.Tokens.empty() && pattern.Tokens.back().Kind == TokenKind::Literal)
            pattern.Tokens.back().Text += literal;
        else
            pattern.Tokens.push_back({TokenKind::Literal, std::string(literal)});
    };
    while (i < text.size()) {
        const char c = text[i];
        if (c == ';') break;
        if (c == '"' || c == '\'') {
            const auto close = text.find(c, i + 1);
            const auto end = close == std::string_view::npos ? text.size() : close;
            addLiteral(text.substr(i + 1, end - i - 1));
            i = end + 1;
            continue;
        }
        if ((c == '0' || c == '#') && !pattern.Scientific) {
            if (afterPoint) {
                ++pattern.FractionPlaces;
                if (c == '0') pattern.FractionMinimum = pattern.FractionPlaces;
                pattern.Tokens.push_back({TokenKind::FractionDigit, {}});
            } else {
                ++pattern.IntegerPlaces;
                if (c == '0') sawIntegerZero = true;
                if (sawIntegerZero) ++pattern.IntegerMinimum;
                pattern.Tokens.push_back({TokenKind::IntegerDigit, {}});
            }
        } else if (c == '.' && !afterPoint && !pattern.Scientific) {
            afterPoint = true;
            pattern.Tokens.push_back({TokenKind::Point, {}});
        } else if (c == ',' && !pattern.Scientific) {
            pattern.Grouping = true;
        } else if ((c == 'E' || c == 'e') && !pattern.Scientific && i + 1 < text.size() &&
                   (text[i + 1] == '+' || text[i + 1] == '-')) {
            pattern.Scientific = true;
            pattern.Tokens.push_back({TokenKind::Exponent, std::string(1, text[i + 1])});
            i += 2;
            while (i < text.size() && text[i] == '0') {
                ++pattern.ExponentMinimum;
                ++i;
            }
            continue;
        } else {
            addLiteral(text.substr(i, 1));
        }
        ++i;
    }
    return pattern;
}

std::string Render(const Pattern& pattern, const DecimalNumber& number, const std::string& integerDigits, int exponent,
                   const FormatSettings& settings) {
    // Fraction digits, trailing zeros dropped down to the "0" places.
    std::string fraction;
    const int fractionStart = pattern.Scientific ? pattern.IntegerPlaces : number.Exponent;
    for (int i = 0; i < pattern.FractionPlaces; ++i) fraction.push_back(DigitAt(number, fractionStart + i));
    while (static_cast<int>(fraction.size()) > pattern.FractionMinimum && fraction.back() == '0') fraction.pop_back();

    std::string result = number.Negative && !number.Digits.empty() ? "-" : "";
    bool integerWritten = false;
    int fractionIndex = 0;
    for (const Token& token : pattern.Tokens) {
        switch (token.Kind) {
            case TokenKind::Literal:
                result += token.Text;
                break;
            case TokenKind::IntegerDigit:
                if (!integerWritten) result += integerDigits;
                integerWritten = true;
                break;
            case TokenKind::Point:
                if (!integerWritten) result += integerDigits;
                integerWritten = true;
                if (!fraction.empty()) result += settings.DecimalSeparator;
                break;
            case TokenKind::FractionDigit:
                if (fractionIndex < static_cast<int>(fraction.size())) result.push_back(fraction[fractionIndex]);
                ++fractionIndex;
                break;
            case TokenKind::Exponent: {
                std::string digits = std::to_string(exponent < 0 ? -exponent : exponent);
                if (static_cast<int>(digits.size()) < pattern.ExponentMinimum)
                    digits.insert(0, pattern.ExponentMinimum - digits.size(), '0');
                result += 'E';
                if (exponent < 0)
                    result += '-';
                else if (token.Text == "+")
                    result += '+';
                result += digits;
                break;
            }
        }
    }
    return result;
}

std::string FormatWithPattern(const Pattern& pattern, double value, const FormatSettings& settings) {
    DecimalNumber number = ToDecimal(value);
    if (pattern.Scientific) {
        RoundDigits(number, std::max(1, pattern.IntegerPlaces + pattern.FractionPlaces));
        const int exponent = number.Digits.empty() ? 0 : number.Exponent - pattern.IntegerPlaces;
        std::string integerDigits;
        for (int i = 0; i < pattern.IntegerPlaces; ++i) integerDigits.push_back(DigitAt(number, i));
        if (number.Digits.empty()) integerDigits = std::string(pattern.IntegerMinimum, '0');
        return Render(pattern, number, integerDigits, exponent, settings);
    }
    if (number.Exponent > ConversionDigits) return FormatGeneral(value, settings);
    RoundDigits(number, number.Exponent + pattern.FractionPlaces);
    std::string integerDigits;
    for (int i = 0; i < number.Exponent; ++i) integerDigits.push_back(DigitAt(number, i));
    if (static_cast<int>(integerDigits.size()) < pattern.IntegerMinimum)
        integerDigits.insert(0, pattern.IntegerMinimum - integerDigits.size(), '0');
    if (pattern.Grouping) integerDigits = GroupThousands(integerDigits, settings.ThousandSeparator);
    return Render(pattern, number, integerDigits, 0, settings);
}

}  // namespace

void SetDefaultFormatSettings(const FormatSettings& settings) {
    const std::lock_guard lock(settingsMutex);
    SharedSettings() = settings;
}

FormatSettings DefaultFormatSettings() {
    const std::lock_guard lock(settingsMutex);
    return SharedSettings();
}

std::string FormatFloat(std::string_view pattern, double value) {
    return FormatFloat(pattern, value, DefaultFormatSettings());
}

std::string FormatFloat(std::string_view pattern, double value, const FormatSettings& settings) {
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
    if (pattern.empty() || pattern.front() == ';') return FormatGeneral(value, settings);
    return FormatWithPattern(ParsePattern(pattern), value, settings);
}

bool ParseNumber(std::string_view text, double& value) {
    constexpr std::string_view blanks = " \t\r\n";
    const auto first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos) return false;
    text = text.substr(first, text.find_last_not_of(blanks) - first + 1);
    bool negative = false;
    if (text.front() == '+' || text.front() == '-') {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty() ||
        !(std::isdigit(static_cast<unsigned char>(text.front())) || text.front() == '.' || text.front() == ','))
        return false;
    std::string normalized(text);
    int separators = 0;
    for (char& c : normalized) {
        if (c == ',' || c == '.') {
            c = '.';
            ++separators;
        } else if (!(std::isdigit(static_cast<unsigned char>(c)) || c == '-' || c == '+' || c == 'e' || c == 'E')) {
            return false;
        }
    }
    if (separators > 1) return false;
    double parsed = 0.0;
    const char* end = normalized.data() + normalized.size();
    const auto [stop, error] = std::from_chars(normalized.data(), end, parsed, std::chars_format::general);
    if (error != std::errc() || stop != end || !std::isfinite(parsed)) return false;
    value = negative ? -parsed : parsed;
    return true;
}

}  // namespace zemvalkorta
