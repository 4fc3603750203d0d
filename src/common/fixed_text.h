#pragma once

#include "common/codepage1250.h"

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <type_traits>

namespace konfigor {

namespace detail {

// Length of the zero-terminated text in `bytes`, never more than `maxLength` even when no zero
// follows: raw fields come from files and the clipboard and may hold no terminator at all.
std::size_t fixedTextLength(const char* bytes, std::size_t maxLength);

// Writes `text` up to its first zero and at most `size - 1` bytes, then one zero. Nothing after
// that zero is touched.
void storeFixedText(char* bytes, std::size_t size, std::string_view text);

} // namespace detail

// A zero-terminated code page 1250 text in exactly N bytes, as it sits inside the plain records
// that are copied as values and exchanged as raw bytes.
template <std::size_t N>
class FixedText {
    static_assert(N >= 1, "a field needs room for its terminator");

public:
    static constexpr std::size_t kSize = N;
    static constexpr std::size_t kMaxLength = N - 1;

    std::string_view view() const { return {bytes_.data(), length()}; }
    std::size_t length() const { return detail::fixedTextLength(bytes_.data(), kMaxLength); }
    bool empty() const { return bytes_[0] == '\0'; }

    // The bytes after the new terminator keep their old values: clipboard blocks and history
    // payloads carry the whole field, and they must stay as the slot held them.
    void assign(std::string_view cp1250) { detail::storeFixedText(bytes_.data(), N, cp1250); }

    std::string toUtf8() const { return cp1250::toUtf8(view()); }
    // One byte per character, so a longer text keeps its first kMaxLength characters.
    void assignUtf8(std::string_view utf8) { assign(cp1250::fromUtf8(utf8)); }

    // char rather than unsigned char: the bytes are read and written through std::string_view
    // and stream I/O, which take char without casts.
    const std::array<char, N>& bytes() const { return bytes_; }
    std::array<char, N>& bytes() { return bytes_; }

    bool sameText(const FixedText& other) const { return view() == other.view(); }

    // All N bytes, not just the text: records compare as bytes, so two slots that differ only
    // after the terminator are different records.
    friend bool operator==(const FixedText&, const FixedText&) = default;

private:
    std::array<char, N> bytes_{};
};

using DescriptionText = FixedText<256>;
using ChannelDescriptionText = FixedText<202>;
using IdentifierText = FixedText<256>;
using FileNameText = FixedText<260>;

namespace detail {
// What the records that embed these fields rely on.
template <std::size_t N>
constexpr bool isPlainFixedText() {
    using Text = FixedText<N>;
    return std::is_trivially_copyable_v<Text> && std::is_standard_layout_v<Text> &&
           sizeof(Text) == N && alignof(Text) == 1;
}
} // namespace detail

static_assert(detail::isPlainFixedText<1>());
static_assert(detail::isPlainFixedText<DescriptionText::kSize>());
static_assert(detail::isPlainFixedText<ChannelDescriptionText::kSize>());
static_assert(detail::isPlainFixedText<IdentifierText::kSize>());
static_assert(detail::isPlainFixedText<FileNameText::kSize>());

} // namespace konfigor
