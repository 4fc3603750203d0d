#include "common/codepage1250.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>

namespace konfigor::cp1250 {

namespace {

// Bytes 0x80-0xFF. The five bytes Windows-1250 leaves undefined map to the C1 controls of the
// same value, as Windows does, so that every byte survives a round trip through UTF-8.
constexpr std::array<char16_t, 128> kHighHalf = {
    // 0x80
    u'\u20AC',
    u'\u0081',
    u'\u201A',
    u'\u0083',
    u'\u201E',
    u'\u2026',
    u'\u2020',
    u'\u2021',
    u'\u0088',
    u'\u2030',
    u'\u0160',
    u'\u2039',
    u'\u015A',
    u'\u0164',
    u'\u017D',
    u'\u0179',
    // 0x90
    u'\u0090',
    u'\u2018',
    u'\u2019',
    u'\u201C',
    u'\u201D',
    u'\u2022',
    u'\u2013',
    u'\u2014',
    u'\u0098',
    u'\u2122',
    u'\u0161',
    u'\u203A',
    u'\u015B',
    u'\u0165',
    u'\u017E',
    u'\u017A',
    // 0xA0
    u'\u00A0',
    u'\u02C7',
    u'\u02D8',
    u'\u0141',
    u'\u00A4',
    u'\u0104',
    u'\u00A6',
    u'\u00A7',
    u'\u00A8',
    u'\u00A9',
    u'\u015E',
    u'\u00AB',
    u'\u00AC',
    u'\u00AD',
    u'\u00AE',
    u'\u017B',
    // 0xB0
    u'\u00B0',
    u'\u00B1',
    u'\u02DB',
    u'\u0142',
    u'\u00B4',
    u'\u00B5',
    u'\u00B6',
    u'\u00B7',
    u'\u00B8',
    u'\u0105',
    u'\u015F',
    u'\u00BB',
    u'\u013D',
    u'\u02DD',
    u'\u013E',
    u'\u017C',
    // 0xC0
    u'\u0154',
    u'\u00C1',
    u'\u00C2',
    u'\u0102',
    u'\u00C4',
    u'\u0139',
    u'\u0106',
    u'\u00C7',
    u'\u010C',
    u'\u00C9',
    u'\u0118',
    u'\u00CB',
    u'\u011A',
    u'\u00CD',
    u'\u00CE',
    u'\u010E',
    // 0xD0
    u'\u0110',
    u'\u0143',
    u'\u0147',
    u'\u00D3',
    u'\u00D4',
    u'\u0150',
    u'\u00D6',
    u'\u00D7',
    u'\u0158',
    u'\u016E',
    u'\u00DA',
    u'\u0170',
    u'\u00DC',
    u'\u00DD',
    u'\u0162',
    u'\u00DF',
    // 0xE0
    u'\u0155',
    u'\u00E1',
    u'\u00E2',
    u'\u0103',
    u'\u00E4',
    u'\u013A',
    u'\u0107',
    u'\u00E7',
    u'\u010D',
    u'\u00E9',
    u'\u0119',
    u'\u00EB',
    u'\u011B',
    u'\u00ED',
    u'\u00EE',
    u'\u010F',
    // 0xF0
    u'\u0111',
    u'\u0144',
    u'\u0148',
    u'\u00F3',
    u'\u00F4',
    u'\u0151',
    u'\u00F6',
    u'\u00F7',
    u'\u0159',
    u'\u016F',
    u'\u00FA',
    u'\u0171',
    u'\u00FC',
    u'\u00FD',
    u'\u0163',
    u'\u02D9',
};

struct ReverseEntry {
    char16_t codePoint;
    unsigned char byte;
};

// The high half sorted by code point, derived from the table above so the two cannot disagree.
constexpr std::array<ReverseEntry, 128> kReverse = [] {
    std::array<ReverseEntry, 128> entries{};
    for (std::size_t i = 0; i < kHighHalf.size(); ++i) {
        entries[i] = {kHighHalf[i], static_cast<unsigned char>(0x80 + i)};
    }
    std::sort(entries.begin(), entries.end(), [](const ReverseEntry& a, const ReverseEntry& b) {
        return a.codePoint < b.codePoint;
    });
    return entries;
}();

constexpr bool hasDistinctCodePoints() {
    for (std::size_t i = 1; i < kReverse.size(); ++i) {
        if (kReverse[i - 1].codePoint == kReverse[i].codePoint) {
            return false;
        }
    }
    return true;
}
static_assert(hasDistinctCodePoints(), "two bytes of the code page share a character");
static_assert(kReverse.front().codePoint >= 0x80, "the high half must not shadow ASCII");

void appendUtf8(std::string& out, char32_t codePoint) {
    // The code page only reaches the Basic Multilingual Plane.
    if (codePoint < 0x80) {
        out += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        out += static_cast<char>(0xC0 | (codePoint >> 6));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (codePoint >> 12));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

constexpr bool isContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// Reads one code point at `pos` and advances `pos` past it. On malformed input returns nothing
// and advances past the maximal ill-formed part only: at least one byte, never a byte that could
// start the next character, and never beyond the end.
std::optional<char32_t> nextCodePoint(std::string_view text, std::size_t& pos) {
    const auto lead = static_cast<unsigned char>(text[pos++]);
    if (lead < 0x80) {
        return lead;
    }

    std::size_t trailing = 0;
    char32_t value = 0;
    // The second byte's range also rules out overlong forms, surrogates and values past U+10FFFF.
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        trailing = 1;
        value = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        trailing = 2;
        value = lead & 0x0Fu;
        if (lead == 0xE0) {
            low = 0xA0;
        } else if (lead == 0xED) {
            high = 0x9F;
        }
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        trailing = 3;
        value = lead & 0x07u;
        if (lead == 0xF0) {
            low = 0x90;
        } else if (lead == 0xF4) {
            high = 0x8F;
        }
    } else {
        return std::nullopt;
    }

    for (std::size_t i = 0; i < trailing; ++i) {
        if (pos >= text.size()) {
            return std::nullopt;
        }
        const auto byte = static_cast<unsigned char>(text[pos]);
        if (i == 0 ? (byte < low || byte > high) : !isContinuation(byte)) {
            return std::nullopt;
        }
        value = (value << 6) | (byte & 0x3Fu);
        ++pos;
    }
    return value;
}

} // namespace

char32_t decode(unsigned char byte) {
    return byte < 0x80 ? char32_t{byte} : char32_t{kHighHalf[byte - 0x80u]};
}

std::optional<unsigned char> encode(char32_t codePoint) {
    if (codePoint < 0x80) {
        return static_cast<unsigned char>(codePoint);
    }
    const auto found = std::lower_bound(
        kReverse.begin(), kReverse.end(), codePoint,
        [](const ReverseEntry& entry, char32_t value) { return entry.codePoint < value; });
    if (found == kReverse.end() || found->codePoint != codePoint) {
        return std::nullopt;
    }
    return found->byte;
}

std::string toUtf8(std::string_view cp1250Bytes) {
    std::string out;
    out.reserve(cp1250Bytes.size() * 2);
    for (const char c : cp1250Bytes) {
        appendUtf8(out, decode(static_cast<unsigned char>(c)));
    }
    return out;
}

std::string fromUtf8(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const std::optional<char32_t> codePoint = nextCodePoint(utf8, pos);
        const std::optional<unsigned char> byte = codePoint ? encode(*codePoint) : std::nullopt;
        out += byte ? static_cast<char>(*byte) : '?';
    }
    return out;
}

} // namespace konfigor::cp1250
