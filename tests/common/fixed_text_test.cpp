#include "common/fixed_text.h"

#include <algorithm>
#include <array>
#include <new>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

namespace konfigor {
namespace {

// The record layouts depend on these exact sizes.
static_assert(sizeof(DescriptionText) == 256 && DescriptionText::kMaxLength == 255);
static_assert(sizeof(ChannelDescriptionText) == 202 && ChannelDescriptionText::kMaxLength == 201);
static_assert(sizeof(IdentifierText) == 256 && IdentifierText::kMaxLength == 255);
static_assert(sizeof(FileNameText) == 260 && FileNameText::kMaxLength == 259);

using Field = FixedText<8>;

// The field's bytes as spelled by a literal, zeros included; the rest stays zero.
template <std::size_t M>
std::array<char, Field::kSize> chars(const char (&literal)[M]) {
    static_assert(M - 1 <= Field::kSize);
    std::array<char, Field::kSize> result{};
    std::copy(literal, literal + (M - 1), result.begin());
    return result;
}

Field filledWith(char c) {
    Field field;
    field.bytes().fill(c);
    return field;
}

TEST(FixedText, StartsAsAllZeroBytes) {
    // Construct over garbage, so a missing initialiser cannot pass by luck.
    alignas(Field) unsigned char storage[sizeof(Field)];
    std::fill(std::begin(storage), std::end(storage), static_cast<unsigned char>(0xFF));
    const Field* field = new (storage) Field;
    EXPECT_EQ(field->bytes(), chars(""));
    EXPECT_TRUE(field->empty());
}

TEST(FixedText, AssignStoresTextUpToZeroAndCapacity) {
    struct Case {
        std::string_view input;
        std::string_view expected;
    };
    constexpr Case kCases[] = {
        {"", ""},
        {"abc", "abc"},
        {"1234567", "1234567"},   // exactly kMaxLength
        {"123456789", "1234567"}, // too long: the first kMaxLength bytes
        {std::string_view("ab\0cd", 5), "ab"},
        {std::string_view("\0abc", 4), ""},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.input);
        Field field = filledWith('x');
        field.assign(c.input);
        EXPECT_EQ(field.view(), c.expected);
        EXPECT_EQ(field.length(), c.expected.size());
        EXPECT_EQ(field.empty(), c.expected.empty());
        // The terminator, and nothing written beyond it.
        std::string expectedBytes(c.expected);
        expectedBytes += '\0';
        expectedBytes.resize(Field::kSize, 'x');
        EXPECT_EQ(std::string_view(field.bytes().data(), Field::kSize), expectedBytes);
    }
}

TEST(FixedText, AssignKeepsTheBytesAfterTheTerminator) {
    Field field = filledWith('x');
    field.assign("abcd");
    EXPECT_EQ(field.bytes(), chars("abcd\0xxx"));
    field.assign("ab");
    EXPECT_EQ(field.bytes(), chars("ab\0d\0xxx"));
}

TEST(FixedText, RawBytesWithoutZeroStopBeforeTheLastByte) {
    const Field field = filledWith('x');
    EXPECT_EQ(field.view(), "xxxxxxx");
    EXPECT_EQ(field.length(), Field::kMaxLength);
    EXPECT_EQ(field.toUtf8(), "xxxxxxx");
}

TEST(FixedText, EqualityComparesAllBytesSameTextOnlyTheText) {
    Field a;
    a.assign("ab");
    Field b = a;
    EXPECT_EQ(a, b);

    b.bytes()[5] = 'z';
    EXPECT_NE(a, b);
    EXPECT_TRUE(a.sameText(b));

    b.assign("ac");
    EXPECT_FALSE(a.sameText(b));
}

TEST(FixedText, ConvertsPolishTextBothWays) {
    Field field;
    field.assignUtf8("Zażółć");
    EXPECT_EQ(field.view(), "Za\xBF\xF3\xB3\xE6");
    EXPECT_EQ(field.toUtf8(), "Zażółć");
}

std::string repeated(std::string_view text, std::size_t count) {
    std::string result;
    for (std::size_t i = 0; i < count; ++i) {
        result += text;
    }
    return result;
}

template <typename Text>
class FixedTextCapacityTest : public ::testing::Test {};

using RecordTexts = ::testing::Types<DescriptionText, ChannelDescriptionText, FileNameText>;
TYPED_TEST_SUITE(FixedTextCapacityTest, RecordTexts);

// 'ł' takes two bytes in UTF-8 but one in the field: the capacity counts characters.
TYPED_TEST(FixedTextCapacityTest, HoldsMaxLengthPolishCharacters) {
    const std::string full = repeated("ł", TypeParam::kMaxLength);
    TypeParam text;
    text.assignUtf8(full);
    EXPECT_EQ(text.length(), TypeParam::kMaxLength);
    EXPECT_EQ(text.toUtf8(), full);

    text.assignUtf8(full + "ł");
    EXPECT_EQ(text.toUtf8(), full);
}

} // namespace
} // namespace konfigor
