#include "common/little_endian.h"
#include "sheet/clipboard_block.h"
#include "sheet/clipboard_text.h"
#include "sheet/remote_entry.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

namespace konfigor {
namespace {

namespace block = clipboard_block;

RemoteEntry remote(std::uint32_t serialWord, std::string_view description) {
    RemoteEntry entry;
    entry.description.assign(description);
    entry.marked = true;
    entry.serialWord = serialWord;
    entry.codeCounter = 0xBEEF;
    entry.buttonMasks = {1, 2, 4, 8};
    entry.copyLock = false;
    return entry;
}

std::uint32_t u32At(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
    return little_endian::get<std::uint32_t>(std::span(bytes).subspan(offset));
}

std::uint16_t u16At(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
    return little_endian::get<std::uint16_t>(std::span(bytes).subspan(offset));
}

TEST(ClipboardBlock, RecordFieldsSitAtTheirOffsetsAndTheRestIsZero) {
    const std::vector<std::uint8_t> bytes =
        block::encode(std::vector{remote(0x4000'007B, "Brama")});

    ASSERT_EQ(bytes.size(), 197'124u);
    EXPECT_EQ(u32At(bytes, 0), 1u);
    const std::size_t at = 4;
    EXPECT_EQ(std::string_view(reinterpret_cast<const char*>(&bytes[at]), 6),
              std::string_view("Brama\0", 6));
    EXPECT_EQ(u32At(bytes, at + 256), 1u);
    EXPECT_EQ(u32At(bytes, at + 260), 0x4000'007Bu);
    EXPECT_EQ(u16At(bytes, at + 264), 0xBEEF);
    for (std::size_t button = 0; button < kButtonCount; ++button)
        EXPECT_EQ(u16At(bytes, at + 266 + 2 * button), 1u << button);
    EXPECT_EQ(u16At(bytes, at + 274), 0u);
    EXPECT_EQ(u32At(bytes, at + 276), 0u);
    EXPECT_TRUE(std::all_of(bytes.begin() + 4 + 280, bytes.end(), [](auto b) { return b == 0; }));
}

TEST(ClipboardBlock, EncodeMarkedTakesMarkedSlotsInAscendingOrder) {
    SettingsSheet sheet;
    for (const std::size_t slot : {9u, 2u, 5u}) {
        sheet.remotes[slot] = remote(static_cast<std::uint32_t>(100 + slot), "Pilot");
        sheet.remotes[slot].copyLock = slot == 5;
    }
    sheet.remotes[7] = remote(107, "nie zaznaczony");
    sheet.remotes[7].marked = false;

    const std::vector<std::uint8_t> bytes = block::encodeMarked(sheet);

    EXPECT_EQ(u32At(bytes, 0), 3u);
    EXPECT_EQ(u32At(bytes, 4 + 260), 102u);
    EXPECT_EQ(u32At(bytes, 284 + 260), 105u);
    EXPECT_EQ(u32At(bytes, 564 + 260), 109u);
    EXPECT_EQ(u32At(bytes, 284 + 276), 1u);
    const auto decoded = block::decode(bytes);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(*decoded, (std::vector{sheet.remotes[2], sheet.remotes[5], sheet.remotes[9]}));
}

TEST(ClipboardBlock, DescriptionBytesAfterTheTerminatorTravel) {
    RemoteEntry entry = remote(5, "Furtka ogrodowa");
    entry.description.assign("Dom"); // "ogrodowa" stays behind the new terminator

    const auto decoded = block::decode(block::encode(std::vector{entry}));

    ASSERT_TRUE(decoded);
    ASSERT_EQ(decoded->size(), 1u);
    EXPECT_EQ(decoded->front().description.view(), "Dom");
    EXPECT_EQ(decoded->front().description.bytes(), entry.description.bytes());
}

TEST(ClipboardBlock, ForeignRecordsAreBroughtIntoTheSheetsRanges) {
    std::vector<std::uint8_t> bytes = block::encode(std::vector{remote(5, "")});
    const std::size_t at = 4;
    std::fill_n(bytes.begin() + at, 256, std::uint8_t{'x'}); // no terminator at all
    little_endian::put<std::uint32_t>(std::span(bytes).subspan(at + 256), 7);
    little_endian::put<std::uint16_t>(std::span(bytes).subspan(at + 266), 0xFFF3);
    little_endian::put<std::uint32_t>(std::span(bytes).subspan(at + 276), 0x100);

    const auto decoded = block::decode(bytes);

    ASSERT_TRUE(decoded);
    const RemoteEntry& entry = decoded->front();
    EXPECT_EQ(entry.description.view(), std::string(255, 'x'));
    EXPECT_EQ(entry.description.bytes().back(), '\0');
    EXPECT_TRUE(entry.marked);
    EXPECT_EQ(entry.buttonMasks[0], 3u);
    EXPECT_TRUE(entry.copyLock);
}

// A count field and as many bytes after it as asked.
std::vector<std::uint8_t> blockOf(std::uint32_t count, std::size_t bytesAfterCount) {
    std::vector<std::uint8_t> bytes(4 + bytesAfterCount, 0);
    little_endian::put<std::uint32_t>(bytes, count);
    return bytes;
}

TEST(ClipboardBlock, DecodeRefusesBlocksItCannotTrust) {
    struct Case {
        std::string_view name;
        std::vector<std::uint8_t> bytes;
        std::optional<std::size_t> records; // nothing: refused
    };
    const Case cases[] = {
        {"empty", {}, std::nullopt},
        {"count cut short", {1, 0, 0}, std::nullopt},
        {"count 705", blockOf(705, 705 * 280), std::nullopt},
        {"count far too big", blockOf(0xFFFF'FFFF, 704 * 280), std::nullopt},
        {"one byte short of its count", blockOf(2, 2 * 280 - 1), std::nullopt},
        {"count alone, zero records", blockOf(0, 0), 0},
        {"ends right after its records", blockOf(2, 2 * 280), 2},
        {"full block of 704", blockOf(704, 704 * 280), 704},
        {"longer than a full block", blockOf(1, 704 * 280 + 10), 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto decoded = block::decode(c.bytes);
        ASSERT_EQ(decoded.has_value(), c.records.has_value());
        if (decoded) {
            EXPECT_EQ(decoded->size(), *c.records);
        }
    }
}

TEST(ClipboardText, ChannelGridShowsEachButtonsChannels) {
    struct Case {
        std::array<std::uint16_t, kButtonCount> masks;
        std::string_view grid;
    };
    constexpr Case cases[] = {
        {{1, 2, 4, 8}, "TNNN NTNN NNTN NNNT "},
        {{0, 0, 0, 0}, "NNNN NNNN NNNN NNNN "},
        {{15, 0, 9, 6}, "TTTT NNNN TNNT NTTN "},
    };
    for (const Case& c : cases)
        EXPECT_EQ(clipboard_text::channelGrid(c.masks), c.grid);
}

TEST(ClipboardText, LineCarriesDescriptionWholeSerialWordCounterAndGrid) {
    RemoteEntry entry = remote(123, "Brama");
    entry.codeCounter = 5;
    EXPECT_EQ(clipboard_text::line(entry), "Brama; 123; 5; TNNN NTNN NNTN NNNT \r\n");

    entry = remote(0x4000'007B, "\xA3\xF3\x64\x9F"); // "Łódź" in code page 1250
    entry.codeCounter = 65535;
    entry.buttonMasks = {};
    EXPECT_EQ(clipboard_text::line(entry),
              "\xA3\xF3\x64\x9F; 1073741947; 65535; NNNN NNNN NNNN NNNN \r\n");
}

} // namespace
} // namespace konfigor
