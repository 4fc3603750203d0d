#include "link/remote_record.h"
#include "sheet/channel_entry.h"
#include "sheet/remote_entry.h"
#include "sheet/serial_word.h"
#include "sheet/settings_sheet.h"
#include "texts/text_table.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

namespace konfigor {
namespace {

constexpr std::uint32_t kBit28 = 0x1000'0000;
constexpr std::uint32_t kBit29 = 0x2000'0000;
constexpr std::uint32_t kMulti = 0x4000'0000;
constexpr std::uint32_t kLock = 0x8000'0000;

using Masks = std::array<std::uint16_t, kButtonCount>;

// A remote with every field away from its cleared value.
RemoteEntry usedRemote(std::uint32_t serialWord) {
    RemoteEntry remote;
    remote.description.assign("Brama wjazdowa");
    remote.marked = true;
    remote.serialWord = serialWord;
    remote.codeCounter = 0x1234;
    remote.buttonMasks = {1, 2, 4, 8};
    remote.copyLock = false;
    return remote;
}

TEST(RemoteEntry, IsEmptyExactlyWhenSerialWordIsZero) {
    struct Case {
        std::uint32_t serialWord;
        std::string_view description;
        bool empty;
    };
    constexpr Case kCases[] = {
        {0, "", true},
        {0, "Opis bez pilota", true},
        {123, "", false},
        {kMulti, "", false}, // a flag alone is still a remote
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.serialWord);
        RemoteEntry remote;
        remote.serialWord = c.serialWord;
        remote.description.assign(c.description);
        EXPECT_EQ(remote.isEmpty(), c.empty);
    }
}

TEST(SerialWord, FormatShowsTheNumberAndTheMultiFlagOnly) {
    struct Case {
        std::uint32_t word;
        std::string_view text;
    };
    constexpr Case kCases[] = {
        {123, "123"},
        {123 | kMulti, "(M) 123"},
        {123 | kBit28 | kBit29, "123"},
        {123 | kBit28 | kBit29 | kMulti | kLock, "(M) 123"},
        {serial_word::kNumberMask, "268435455"},
        {0, "0"},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.word);
        EXPECT_EQ(serial_word::formatSerial(c.word), c.text);
    }
}

TEST(SerialWord, WithMultiOnAddsTheFlagAndOffKeepsOnlyTheNumber) {
    struct Case {
        std::uint32_t word;
        bool on;
        std::uint32_t expected;
    };
    constexpr Case kCases[] = {
        {123 | kBit28 | kBit29, false, 123},
        {123 | kBit28 | kBit29, true, 123 | kBit28 | kBit29 | kMulti},
        {123 | kMulti | kLock, false, 123},
        {123 | kMulti, true, 123 | kMulti},
        {123, false, 123},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.word << (c.on ? " on" : " off"));
        EXPECT_EQ(serial_word::withMulti(c.word, c.on), c.expected);
        EXPECT_EQ(serial_word::isMulti(serial_word::withMulti(c.word, c.on)), c.on);
    }
}

TEST(ButtonMasks, PackButtonOneIntoTheLowestNibble) {
    struct Case {
        Masks masks;
        std::uint16_t word;
    };
    const Case kCases[] = {
        {{1, 2, 4, 8}, 0x8421},     {{5, 2, 0, 8}, 0x8025}, {{0, 0, 0, 0}, 0x0000},
        {{15, 15, 15, 15}, 0xFFFF}, {{0, 0, 0, 3}, 0x3000},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.word);
        EXPECT_EQ(packButtonMasks(c.masks), c.word);
        EXPECT_EQ(unpackButtonMasks(c.word), c.masks);
    }
}

TEST(ButtonMasks, BitsBeyondTheFourChannelsStayOutOfTheNextButton) {
    EXPECT_EQ(packButtonMasks({0x11, 0, 0, 0}), 0x0001);
    EXPECT_EQ(packButtonMasks({0, 0, 0, 0x1F}), 0xF000);
}

TEST(RemoteRecordBytes, AreLittleEndianFieldsInOrder) {
    const RemoteRecord record{
        .serialField = 0xC123'4567, .counter = 0xBEEF, .counterCopy = 0x1234, .buttonWord = 0x8421};
    const RemoteRecord::Bytes bytes{0x67, 0x45, 0x23, 0xC1, 0xEF, 0xBE, 0x34, 0x12, 0x21, 0x84};

    EXPECT_EQ(record.toBytes(), bytes);
    EXPECT_EQ(RemoteRecord::fromBytes(bytes), record);
    const RemoteRecord zero{};
    EXPECT_EQ(RemoteRecord::fromBytes(zero.toBytes()), zero);
}

TEST(ChannelEntry, ShowsModeAndDoublePress) {
    struct Case {
        std::uint16_t time;
        bool transientMode;
        bool doublePress;
        std::string_view mode;
        std::string_view doublePressShown;
    };
    constexpr Case kCases[] = {
        {5, true, true, "Chwilowy", "Nie"},
        {0, true, false, "Chwilowy", "Nie"},
        {0, false, false, "Bistabilny", "Nie"},
        {0, false, true, "Bistabilny", "Tak"},
        {125, false, false, "Monostabilny [12.5]", "Nie"},
        {5, false, false, "Monostabilny [0.5]", "Nie"},
        {5, false, true, "Monostabilny [0.5]", "Tak"},
    };
    const TextTable texts;
    for (const Case& c : kCases) {
        SCOPED_TRACE(testing::Message() << c.time << ' ' << c.transientMode << c.doublePress);
        ChannelEntry channel;
        channel.time = c.time;
        channel.transientMode = c.transientMode;
        channel.doublePress = c.doublePress;
        EXPECT_EQ(channelModeText(channel, texts), c.mode);
        EXPECT_EQ(doublePressText(channel, texts), c.doublePressShown);
    }
}

// The sheet is large; a fixture keeps it off the stack.
class SettingsSheetTest : public testing::Test {
protected:
    void use(std::initializer_list<std::size_t> slots) {
        for (const std::size_t slot : slots)
            sheet.remotes[slot].serialWord = static_cast<std::uint32_t>(1000 + slot);
    }

    SettingsSheet sheet;
    const TextTable texts;
};

TEST_F(SettingsSheetTest, FromReceiverRecordTakesItsFieldsButKeepsDescriptionAndMark) {
    struct Case {
        std::uint32_t serialField;
        std::uint32_t serialWord;
        bool copyLock;
    };
    constexpr Case kCases[] = {
        {123 | kLock, 123, true},
        {123, 123, false},
        {123 | kMulti | kBit28 | kLock, 123 | kMulti | kBit28, true},
        {0, 0, false},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.serialField);
        sheet.remotes[7] = usedRemote(999);
        sheet.remotes[7].copyLock = !c.copyLock;
        const RemoteEntry before = sheet.remotes[7];

        sheet.fromReceiverRecord(
            7,
            {.serialField = c.serialField, .counter = 42, .counterCopy = 43, .buttonWord = 0x8025});

        const RemoteEntry& remote = sheet.remotes[7];
        EXPECT_EQ(remote.serialWord, c.serialWord);
        EXPECT_EQ(remote.copyLock, c.copyLock);
        EXPECT_EQ(remote.codeCounter, 42); // the first copy
        EXPECT_EQ(remote.buttonMasks, (Masks{5, 2, 0, 8}));
        EXPECT_EQ(remote.description, before.description);
        EXPECT_EQ(remote.marked, before.marked);
    }
}

TEST_F(SettingsSheetTest, ToReceiverRecordCarriesTheCounterTwiceAndTheLockInBit31) {
    struct Case {
        std::uint32_t serialWord;
        bool copyLock;
        std::uint32_t serialField;
    };
    constexpr Case kCases[] = {
        {123, true, 123 | kLock},
        {123, false, 123},
        {123 | kMulti | kBit29, true, 123 | kMulti | kBit29 | kLock},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(testing::Message()
                     << std::hex << c.serialWord << (c.copyLock ? " locked" : ""));
        sheet.remotes[703] = usedRemote(c.serialWord);
        sheet.remotes[703].copyLock = c.copyLock;

        const RemoteRecord record = sheet.toReceiverRecord(703);

        EXPECT_EQ(record, (RemoteRecord{.serialField = c.serialField,
                                        .counter = 0x1234,
                                        .counterCopy = 0x1234,
                                        .buttonWord = 0x8421}));
        sheet.fromReceiverRecord(0, record);
        EXPECT_EQ(sheet.remotes[0].serialWord, c.serialWord);
        EXPECT_EQ(sheet.remotes[0].copyLock, c.copyLock);
    }
}

TEST_F(SettingsSheetTest, StartsEmptyLockedWithFactoryChannels) {
    for (std::size_t slot = 0; slot < kRemoteSlotCount; ++slot) {
        SCOPED_TRACE(slot);
        EXPECT_TRUE(sheet.isEmpty(slot));
        EXPECT_TRUE(sheet.remotes[slot].copyLock);
        EXPECT_FALSE(sheet.remotes[slot].marked);
        EXPECT_TRUE(sheet.remotes[slot].description.empty());
    }
    for (const ChannelEntry& channel : sheet.channels) {
        EXPECT_EQ(channelModeText(channel, texts), "Monostabilny [0.5]");
        EXPECT_EQ(doublePressText(channel, texts), "Nie");
        EXPECT_TRUE(channel.description.empty());
    }
    EXPECT_TRUE(sheet.identifier.empty());
    EXPECT_TRUE(sheet.fileName.empty());
    EXPECT_EQ(windowTitle(sheet), "Konfigor USB");
}

TEST_F(SettingsSheetTest, FindSerialMatchesAllBitsAndReturnsTheLowestSlot) {
    sheet.remotes[5].serialWord = 123 | kMulti;
    sheet.remotes[9].serialWord = 123;
    sheet.remotes[20].serialWord = 123;
    sheet.remotes[30].serialWord = 123 | kBit28;

    struct Case {
        std::uint32_t word;
        std::optional<std::size_t> slot;
    };
    const Case kCases[] = {
        {123, 9},
        {123 | kMulti, 5},
        {123 | kBit28, 30},
        {123 | kBit29, std::nullopt},
        {124, std::nullopt},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.word);
        EXPECT_EQ(sheet.findSerial(c.word), c.slot);
    }
}

TEST_F(SettingsSheetTest, FindsAndCountsEmptySlotsFromAPosition) {
    use({0, 1, 2, 700, 702});
    sheet.remotes[3].description.assign("Opis bez pilota");

    struct Case {
        std::size_t from;
        std::optional<std::size_t> firstEmpty;
        std::size_t emptyCount;
    };
    const Case kCases[] = {
        {0, 3, kRemoteSlotCount - 5},
        {2, 3, kRemoteSlotCount - 5},
        {700, 701, 2},
        {701, 701, 2},
        {702, 703, 1},
        {703, 703, 1},
        {704, std::nullopt, 0},
        {5000, std::nullopt, 0},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.from);
        EXPECT_EQ(sheet.firstEmptyFrom(c.from), c.firstEmpty);
        EXPECT_EQ(sheet.countEmptyFrom(c.from), c.emptyCount);
    }
    EXPECT_EQ(sheet.countEmpty(), kRemoteSlotCount - 5);
}

TEST_F(SettingsSheetTest, AFullSheetHasNoEmptySlot) {
    for (std::size_t slot = 0; slot < kRemoteSlotCount; ++slot)
        use({slot});
    EXPECT_EQ(sheet.firstEmptyFrom(0), std::nullopt);
    EXPECT_EQ(sheet.countEmpty(), 0u);
    EXPECT_EQ(sheet.countEmptyFrom(703), 0u);
}

TEST_F(SettingsSheetTest, MarkOperationsCoverEmptySlotsToo) {
    use({3, 700, 703});
    const std::vector<std::size_t> initiallyMarked{3, 10, 700}; // slot 10 is empty

    struct Case {
        std::string_view name;
        std::function<void(SettingsSheet&)> operation;
        std::size_t marked;
        std::size_t markedUsed;
        std::vector<std::size_t> firstMarked; // at most the first four
    };
    const Case kCases[] = {
        {"none", [](SettingsSheet&) {}, 3, 2, {3, 10, 700}},
        {"clear", [](SettingsSheet& s) { s.clearMarks(); }, 0, 0, {}},
        {"all", [](SettingsSheet& s) { s.markAll(); }, kRemoteSlotCount, 3, {0, 1, 2, 3}},
        {"invert",
         [](SettingsSheet& s) { s.invertMarks(); },
         kRemoteSlotCount - 3,
         1,
         {0, 1, 2, 4}},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        for (RemoteEntry& remote : sheet.remotes)
            remote.marked = false;
        for (const std::size_t slot : initiallyMarked)
            sheet.remotes[slot].marked = true;

        c.operation(sheet);

        EXPECT_EQ(sheet.countMarked(), c.marked);
        EXPECT_EQ(sheet.countMarkedUsed(), c.markedUsed);
        const std::vector<std::size_t> slots = sheet.markedSlots();
        ASSERT_EQ(slots.size(), c.marked);
        const auto shown = std::min<std::ptrdiff_t>(std::ssize(slots), 4);
        EXPECT_EQ(std::vector<std::size_t>(slots.begin(), slots.begin() + shown), c.firstMarked);
        EXPECT_TRUE(std::is_sorted(slots.begin(), slots.end()));
    }
}

TEST_F(SettingsSheetTest, ClearSlotLeavesTheClearedStateAndTouchesNoOtherSlot) {
    sheet.remotes[6] = usedRemote(7);
    sheet.remotes[7] = usedRemote(8);
    sheet.remotes[8] = usedRemote(9);

    sheet.clearSlot(7);

    const RemoteEntry& cleared = sheet.remotes[7];
    EXPECT_EQ(cleared, RemoteEntry::cleared());
    EXPECT_TRUE(cleared.isEmpty());
    EXPECT_TRUE(cleared.copyLock);
    EXPECT_FALSE(cleared.marked);
    EXPECT_EQ(cleared.codeCounter, 0);
    EXPECT_EQ(cleared.buttonMasks, Masks{});
    EXPECT_EQ(cleared.description, DescriptionText{}); // every byte, not just the text
    EXPECT_EQ(sheet.remotes[6], usedRemote(7));
    EXPECT_EQ(sheet.remotes[8], usedRemote(9));
}

TEST_F(SettingsSheetTest, ResetChannelRestoresTheFactoryStateOfThatChannelOnly) {
    for (ChannelEntry& channel : sheet.channels) {
        channel.description.assign("Furtka");
        channel.time = 0;
        channel.transientMode = true;
        channel.doublePress = true;
    }
    const ChannelEntry changed = sheet.channels[0];

    sheet.resetChannel(2);

    const ChannelEntry& reset = sheet.channels[2];
    EXPECT_EQ(reset, ChannelEntry::factory());
    EXPECT_EQ(reset.description, ChannelDescriptionText{});
    EXPECT_EQ(channelModeText(reset, texts), "Monostabilny [0.5]");
    EXPECT_EQ(doublePressText(reset, texts), "Nie");
    EXPECT_EQ(sheet.channels[1], changed);
    EXPECT_EQ(sheet.channels[3], changed);
}

TEST_F(SettingsSheetTest, WindowTitleNamesTheCurrentFile) {
    struct Case {
        std::string_view fileName;
        std::string_view title;
    };
    constexpr Case kCases[] = {
        {"", "Konfigor USB"},
        {"/home/jan/nastawy/brama.kvr", "Konfigor USB [brama.kvr]"},
        {"brama.kvr", "Konfigor USB [brama.kvr]"},
        {"/home/jan/100%s.kvr", "Konfigor USB [100%s.kvr]"},
        {"/home/jan/żuraw.kvr", "Konfigor USB [żuraw.kvr]"},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.fileName);
        sheet.fileName.assign(c.fileName);
        EXPECT_EQ(windowTitle(sheet), c.title);
    }
}

} // namespace
} // namespace konfigor
