#pragma once

// Picture-pattern number formatting ("0.00", "0.000E+00", "#,##0.0", ...)
// with the desktop locale's separators, and the tolerant number parser of the
// input fields.
//
// Rounding: the double is first written with 18 significant decimal digits
// (correctly rounded), and that digit string is then rounded half away from
// zero to the pattern's digits. So an exact tie such as 0.125 gives "0.13",
// while 0.285, stored as 0.284999999999999976, gives "0.28", like 1.005 ->
// "1.00" and 2.675 -> "2.67". Results that round to zero carry no minus sign.
//
// Pattern syntax: "0" a digit that is always shown, "#" a digit shown only
// when significant, the first "." the decimal separator, "," anywhere turns
// on thousands grouping of the integer part, "E+" / "E-" / "e+" / "e-"
// followed by "0"s the scientific form with at least that many exponent
// digits ("+" shows the sign always, "-" only for negative exponents), text
// in '...' or "..." and every other character is copied. Literals inside the
// integer digits are written after them. Only the first ";"-separated section
// is used. An empty pattern, or a fixed pattern for a value of 10^18 or more,
// gives the general form with 15 significant digits ("1.5E20").

#include <string>
#include <string_view>

namespace zemvalkorta {

struct FormatSettings {
    std::string DecimalSeparator = ".";
    std::string ThousandSeparator = ",";
};

// Process-wide separators, set once at start from the desktop locale. Safe to
// read from any thread.
void SetDefaultFormatSettings(const FormatSettings& settings);
FormatSettings DefaultFormatSettings();

std::string FormatFloat(std::string_view pattern, double value);
std::string FormatFloat(std::string_view pattern, double value, const FormatSettings& settings);

// Accepts an optional sign, digits with one comma or full stop as the decimal
// separator and an optional exponent; surrounding blanks are ignored. Fails
// (leaving `value` untouched) on anything else, and on a value out of range.
bool ParseNumber(std::string_view text, double& value);

}  // namespace zemvalkorta
