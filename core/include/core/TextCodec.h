#pragma once

// Windows-1251 is the code page of every text stored in a project or a
// measurement image; inside the program all text is UTF-8.

#include <string>
#include <string_view>

namespace zemvalkorta {

// The byte 0x98 has no character in Windows-1251; it decodes to U+FFFD so
// that a damaged byte shows up instead of vanishing.
std::string Cp1251ToUtf8(std::string_view bytes);

// Every character without a Windows-1251 code, and every malformed UTF-8
// sequence, becomes `replacement`.
std::string Utf8ToCp1251(std::string_view utf8, char replacement = '?');

// Appends the UTF-8 form of a code point (U+FFFD for surrogates and values
// beyond U+10FFFF).
void AppendUtf8(std::string& target, char32_t codePoint);

}  // namespace zemvalkorta
