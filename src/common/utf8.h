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

} // namespace konfigor::utf8
