#pragma once

#include <optional>
#include <string>
#include <string_view>

// Windows code page 1250: the 8-bit text of the sheet, settings files, the clipboard block and
// the event log. The user interface works in UTF-8 and converts at its edge.
namespace konfigor::cp1250 {

// The code point of a byte. Every byte has one, so decode followed by encode gives every byte
// back, even the five that the code page leaves undefined.
char32_t decode(unsigned char byte);

// The byte that holds `codePoint`, or nothing when the code page has no such character.
std::optional<unsigned char> encode(char32_t codePoint);

// Converts every byte of `cp1250Bytes`; a zero byte is converted like any other, so callers
// cut at the terminator themselves.
std::string toUtf8(std::string_view cp1250Bytes);

// One byte per code point. A character the code page cannot hold becomes '?', and so does each
// maximal ill-formed part of malformed UTF-8 (Unicode's recommended substitution), so a lone bad
// byte never swallows the valid text after it. Never throws.
std::string fromUtf8(std::string_view utf8);

} // namespace konfigor::cp1250
