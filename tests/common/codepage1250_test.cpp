#include "common/codepage1250.h"

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

namespace konfigor::cp1250 {
namespace {

std::string byteString(unsigned char byte) {
    return std::string(1, static_cast<char>(byte));
}

// Converts from a buffer of exactly the input's size, so AddressSanitizer sees any read past it
// (a std::string would hide one behind its terminator).
std::string fromUtf8Exact(std::string_view utf8) {
    const std::vector<char> buffer(utf8.begin(), utf8.end());
    return fromUtf8(std::string_view(buffer.data(), buffer.size()));
}

struct PolishLetter {
    const char* utf8;
    unsigned char byte;
};

constexpr PolishLetter kPolishLetters[] = {
    {"ą", 0xB9}, {"ć", 0xE6}, {"ę", 0xEA}, {"ł", 0xB3}, {"ń", 0xF1}, {"ó", 0xF3},
    {"ś", 0x9C}, {"ź", 0x9F}, {"ż", 0xBF}, {"Ą", 0xA5}, {"Ć", 0xC6}, {"Ę", 0xCA},
    {"Ł", 0xA3}, {"Ń", 0xD1}, {"Ó", 0xD3}, {"Ś", 0x8C}, {"Ź", 0x8F}, {"Ż", 0xAF},
};

TEST(Cp1250, PolishLettersHaveTheirBytesBothWays) {
    std::string allUtf8;
    std::string allBytes;
    for (const PolishLetter& letter : kPolishLetters) {
        SCOPED_TRACE(letter.utf8);
        EXPECT_EQ(fromUtf8(letter.utf8), byteString(letter.byte));
        EXPECT_EQ(toUtf8(byteString(letter.byte)), letter.utf8);
        allUtf8 += letter.utf8;
        allBytes += byteString(letter.byte);
    }
    EXPECT_EQ(fromUtf8(allUtf8), allBytes);
    EXPECT_EQ(toUtf8(allBytes), allUtf8);
}

TEST(Cp1250, DecodesTableEdgesAndUndefinedBytes) {
    struct Case {
        unsigned char byte;
        char32_t codePoint;
    };
    constexpr Case kCases[] = {
        {0x00, U'\0'},
        {0x7F, U'\x7F'},
        {0x80, U'\u20AC'},
        {0x8A, U'\u0160'},
        {0xA0, U'\u00A0'},
        {0xA1, U'\u02C7'},
        {0xFF, U'\u02D9'},
        // Undefined in the code page: the C1 control of the same value.
        {0x81, U'\u0081'},
        {0x83, U'\u0083'},
        {0x88, U'\u0088'},
        {0x90, U'\u0090'},
        {0x98, U'\u0098'},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(static_cast<int>(c.byte));
        EXPECT_EQ(decode(c.byte), c.codePoint);
    }
}

TEST(Cp1250, EveryByteSurvivesARoundTrip) {
    std::string all;
    for (int value = 0; value < 256; ++value) {
        const auto byte = static_cast<unsigned char>(value);
        EXPECT_EQ(encode(decode(byte)), byte) << "byte " << value;
        all += static_cast<char>(byte);
    }
    // The zero byte included: it is converted like any other.
    EXPECT_EQ(fromUtf8(toUtf8(all)), all);
}

TEST(Cp1250, EncodeRefusesCodePointsOutsideThePage) {
    constexpr char32_t kAbsent[] = {
        U'\u0080',     // a C1 control that is not one of the five undefined bytes
        U'\u009F',     // likewise; byte 0x9F is ź
        U'\u00F1',     // ñ; byte 0xF1 is ń
        U'\u0100',     // Ā
        U'\uFFFD',     // the replacement character
        U'\U0001F600', // beyond the Basic Multilingual Plane
        char32_t{0xD800}, char32_t{0x110000},
    };
    for (const char32_t codePoint : kAbsent) {
        EXPECT_FALSE(encode(codePoint).has_value()) << "U+" << std::hex << +codePoint;
    }
}

struct Conversion {
    std::string_view input;
    std::string_view expected;

    // Shown as its input with the bytes outside ASCII in hexadecimal, not as a dump of the struct.
    friend void PrintTo(const Conversion& shown, std::ostream* out) {
        const std::string_view text = shown.input;
        for (const char c : text) {
            const auto byte = static_cast<unsigned char>(c);
            if (byte >= 0x20 && byte < 0x7F)
                *out << c;
            else
                *out << '<' << std::hex << static_cast<int>(byte) << std::dec << '>';
        }
    }
};

class FromUtf8Test : public ::testing::TestWithParam<Conversion> {};

TEST_P(FromUtf8Test, ReplacesWhatThePageCannotHold) {
    EXPECT_EQ(fromUtf8Exact(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(AbsentCharacters, FromUtf8Test,
                         ::testing::Values(Conversion{"", ""}, Conversion{"ñ", "?"},
                                           Conversion{"漢", "?"}, Conversion{"😀", "?"},
                                           Conversion{"a漢😀b", "a??b"},
                                           Conversion{"€ ü", "\x80 \xFC"}));

// One '?' per maximal ill-formed part; the valid text around it is kept.
INSTANTIATE_TEST_SUITE_P(
    MalformedUtf8, FromUtf8Test,
    ::testing::Values(Conversion{"\x80", "?"}, // lone continuation
                      Conversion{"a\xBF"
                                 "b",
                                 "a?b"},
                      Conversion{"\xFF", "?"},                // never a lead byte
                      Conversion{"\xC0\xAF", "??"},           // overlong '/'
                      Conversion{"\xE0\x80\xAF", "???"},      // overlong '/'
                      Conversion{"\xF0\x80\x80\xAF", "????"}, // overlong '/'
                      Conversion{"\xED\xA0\x80", "???"},      // surrogate U+D800
                      Conversion{"\xF4\x90\x80\x80", "????"}, // U+110000
                      Conversion{"\xF5\x80\x80\x80", "????"}, // lead beyond U+10FFFF
                      Conversion{"\xC4"
                                 "A",
                                 "?A"},                        // lead without continuation
                      Conversion{"\xE2\x82\xC4\x85", "?\xB9"}, // cut short, then ą
                      Conversion{"\xC4", "?"},                 // cut short at the end
                      Conversion{"x\xE2\x82", "x?"},           // cut short at the end
                      Conversion{"\xF0\x9F\x98", "?"}));       // cut short at the end

TEST(Cp1250, ToUtf8ConvertsPastAZeroByte) {
    const std::string_view bytes("a\0\xB3", 3);
    EXPECT_EQ(toUtf8(bytes), std::string("a\0ł", 4));
}

} // namespace
} // namespace konfigor::cp1250
