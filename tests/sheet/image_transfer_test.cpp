#include "link/receiver_memory.h"
#include "link/remote_record.h"
#include "sheet/image_transfer.h"
#include "sheet/settings_sheet.h"

#include <array>
#include <cstddef>
#include <cstdint>

#include <gtest/gtest.h>

namespace konfigor {
namespace {

constexpr std::uint32_t kBits28And29 = 0x3000'0000;
constexpr std::uint32_t kMulti = 0x4000'0000;
constexpr std::uint32_t kLock = RemoteRecord::kCopyLockBit;

// Remotes in the first, a middle and the last slot, and every channel mode.
SettingsSheet sampleSheet() {
    SettingsSheet sheet;
    RemoteEntry& first = sheet.remotes[0];
    first.serialWord = 123;
    first.codeCounter = 17;
    first.buttonMasks = {5, 2, 0, 8};
    first.copyLock = false;
    RemoteEntry& middle = sheet.remotes[350];
    middle.serialWord = kBits28And29 | kMulti | 0x00AB'CDEF;
    middle.codeCounter = 0xFFFF;
    middle.buttonMasks = {15, 15, 15, 15};
    RemoteEntry& last = sheet.remotes[703];
    last.serialWord = 0x0FFF'FFFF;
    last.codeCounter = 1;
    last.buttonMasks = {1, 0, 0, 0};

    sheet.channels[0] = {.time = 0, .transientMode = false, .doublePress = true};
    sheet.channels[1] = {.time = 5, .transientMode = true, .doublePress = false};
    sheet.channels[2] = {.time = 0xFFFF, .transientMode = false, .doublePress = false};
    sheet.channels[3] = {.time = 300, .transientMode = true, .doublePress = true};
    return sheet;
}

// A configuration page with every byte set, so that any byte the copy should leave shows.
ReceiverMemory memoryWithBusyConfiguration() {
    ReceiverMemory memory;
    std::array<std::uint8_t, ReceiverMemory::kPageSize> page0{};
    for (std::size_t i = 0; i < page0.size(); ++i)
        page0[i] = static_cast<std::uint8_t>(0xA0 + i);
    memory.setPage(0, page0);
    EXPECT_TRUE(memory.setPin("04071"));
    memory.setPinRequired(true);
    memory.setGlobalCopyLock(false);
    memory.setAdminCopyLock(true);
    return memory;
}

TEST(ImageTransfer, SheetSurvivesTheRoundTripThroughTheImage) {
    const SettingsSheet sheet = sampleSheet();
    ReceiverMemory memory;
    copySheetToImage(sheet, memory);
    SettingsSheet back;
    copyImageToSheet(memory, back);

    for (std::size_t slot = 0; slot < kRemoteSlotCount; ++slot)
        ASSERT_EQ(back.remotes[slot], sheet.remotes[slot]) << "slot " << slot;
    EXPECT_EQ(back.channels, sheet.channels);
}

TEST(ImageTransfer, RecordsGoToTheImageWithLockBitAndBothCounters) {
    const struct {
        std::size_t slot;
        RemoteRecord expected;
    } kCases[] = {
        {0, {.serialField = 123, .counter = 17, .counterCopy = 17, .buttonWord = 0x8025}},
        {350,
         {.serialField = kLock | kBits28And29 | kMulti | 0x00AB'CDEF,
          .counter = 0xFFFF,
          .counterCopy = 0xFFFF,
          .buttonWord = 0xFFFF}},
        // An empty slot goes out cleared but copy-locked.
        {1, {.serialField = kLock, .counter = 0, .counterCopy = 0, .buttonWord = 0}},
    };
    ReceiverMemory memory;
    for (std::size_t slot = 0; slot < kRemoteSlotCount; ++slot)
        memory.setRecord(slot, {.serialField = 999, .counter = 9, .counterCopy = 9});
    copySheetToImage(sampleSheet(), memory);

    for (const auto& c : kCases) {
        SCOPED_TRACE(c.slot);
        EXPECT_EQ(memory.record(c.slot), c.expected);
    }
}

TEST(ImageTransfer, ConfigurationBeyondTheChannelsStaysInTheImage) {
    ReceiverMemory memory = memoryWithBusyConfiguration();
    const ReceiverMemory before = memory;
    const SettingsSheet sheet = sampleSheet();
    copySheetToImage(sheet, memory);

    EXPECT_EQ(memory.pinText(), "04071");
    EXPECT_TRUE(memory.isPinRequired());
    EXPECT_FALSE(memory.isGlobalCopyLock());
    EXPECT_TRUE(memory.isAdminCopyLock());
    for (std::size_t channel = 0; channel < kChannelCount; ++channel) {
        SCOPED_TRACE(channel);
        EXPECT_EQ(memory.channelTime(channel), sheet.channels[channel].time);
        EXPECT_EQ(memory.isChannelMomentary(channel), sheet.channels[channel].transientMode);
        EXPECT_EQ(memory.isChannelDoublePress(channel), sheet.channels[channel].doublePress);
    }
    // Byte 0 holds the flags, byte 1 the channel modes, bytes 2-9 the four times.
    const auto page = memory.page(0);
    const auto old = before.page(0);
    EXPECT_EQ(page[0], old[0]);
    for (std::size_t i = 10; i < ReceiverMemory::kPageSize; ++i)
        EXPECT_EQ(page[i], old[i]) << "byte " << i;
}

TEST(ImageTransfer, ImageReplacesReceiverFieldsAndKeepsTheSheetsOwn) {
    ReceiverMemory memory;
    memory.setRecord(
        5, {.serialField = kMulti | 77, .counter = 3, .counterCopy = 4, .buttonWord = 0x0021});
    memory.setChannelTime(2, 0);
    memory.setChannelDoublePress(2, true);

    SettingsSheet sheet = sampleSheet();
    sheet.remotes[0].description.assign("Brama");
    sheet.remotes[0].marked = true;
    sheet.remotes[5].description.assign("Furtka");
    sheet.channels[2].description.assign("Szlaban");
    sheet.identifier.assign("Osiedle");
    copyImageToSheet(memory, sheet);

    // Slot 0 is empty in the receiver: emptied, description and mark kept.
    const RemoteEntry& emptied = sheet.remotes[0];
    EXPECT_TRUE(emptied.isEmpty());
    EXPECT_EQ(emptied.codeCounter, 0);
    EXPECT_EQ(emptied.description.view(), "Brama");
    EXPECT_TRUE(emptied.marked);

    // The first counter copy is the one that counts.
    const RemoteEntry& taken = sheet.remotes[5];
    EXPECT_EQ(taken.serialWord, kMulti | 77);
    EXPECT_FALSE(taken.copyLock);
    EXPECT_EQ(taken.codeCounter, 3);
    EXPECT_EQ(taken.buttonMasks, (std::array<std::uint16_t, 4>{1, 2, 0, 0}));
    EXPECT_EQ(taken.description.view(), "Furtka");

    EXPECT_EQ(sheet.channels[2].time, 0);
    EXPECT_TRUE(sheet.channels[2].doublePress);
    EXPECT_FALSE(sheet.channels[2].transientMode);
    EXPECT_EQ(sheet.channels[2].description.view(), "Szlaban");
    EXPECT_EQ(sheet.identifier.view(), "Osiedle");
}

} // namespace
} // namespace konfigor
