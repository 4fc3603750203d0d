#pragma once

#include <cstddef>
#include <string_view>

// Texts are UTF-8 inside the program, while capacities, widths and precisions count characters:
// one code point each, as one byte was in the 8-bit code page they were designed for.
namespace konfigor::utf8 {

constexpr bool isContinuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// Malformed UTF-8 never throws this off: every byte that is not a continuation byte counts as
// one character.
constexpr std::size_t count(std::string_view utf8) {
    std::size_t characters = 0;
    for (const char c : utf8) {
        if (!isContinuationByte(c)) {
            ++characters;
        }
    }
    return characters;
}

// The first `characters` characters of `utf8`, never ending inside a multi-byte sequence.
constexpr std::string_view first(std::string_view utf8, std::size_t characters) {
    std::size_t seen = 0;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        if (!isContinuationByte(utf8[i])) {
            if (seen == characters) {
                return utf8.substr(0, i);
            }
            ++seen;
        }
    }
    return utf8;
}

// Well-formed UTF-8: no stray continuation bytes, no overlong forms, no surrogates, nothing
// above U+10FFFF.
constexpr bool isValid(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t length = 0;
        char32_t least = 0;
        char32_t code = 0;
        if (lead < 0x80) {
            ++i;
            continue;
        } else if ((lead & 0xE0) == 0xC0) {
            length = 2, least = 0x80, code = lead & 0x1Fu;
        } else if ((lead & 0xF0) == 0xE0) {
            length = 3, least = 0x800, code = lead & 0x0Fu;
        } else if ((lead & 0xF8) == 0xF0) {
            length = 4, least = 0x10000, code = lead & 0x07u;
        } else {
            return false;
        }
        if (text.size() - i < length)
            return false;
        for (std::size_t k = 1; k < length; ++k) {
            if (!isContinuationByte(text[i + k]))
                return false;
            code = code << 6 | (static_cast<unsigned char>(text[i + k]) & 0x3Fu);
        }
        if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        i += length;
    }
    return true;
}

} // namespace konfigor::utf8
