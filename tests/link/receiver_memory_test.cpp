#include "link/receiver_memory.h"

#include <functional>
#include <vector>

#include <gtest/gtest.h>

namespace konfigor {
namespace {

constexpr RemoteRecord kRecord{
    .serialField = 0xC412'3456, .counter = 0x789A, .counterCopy = 0xBCDE, .buttonWord = 0xF0E1};

TEST(ReceiverMemory, RecordBytesLieInTheirPlanes) {
    for (const std::size_t slot : {std::size_t{0}, std::size_t{5}, std::size_t{703}}) {
        SCOPED_TRACE(slot);
        ReceiverMemory memory;
        memory.setRecord(slot, kRecord);
        const auto plain = kRecord.toBytes();
        std::size_t nonZero = 0;
        for (const std::uint8_t byte : memory.bytes())
            nonZero += byte != 0 ? 1 : 0;
        EXPECT_EQ(nonZero, plain.size());
        for (std::size_t plane = 0; plane < plain.size(); ++plane)
            EXPECT_EQ(memory.bytes()[32 + 704 * plane + slot], plain[plane]) << plane;
        EXPECT_EQ(memory.record(slot), kRecord);
    }
}

TEST(ReceiverMemory, PagesCoverTheWholeMemory) {
    ReceiverMemory memory;
    memory.setRecord(703, kRecord);
    // Plane 9 ends the memory: slot 703's last byte is the last byte of page 220.
    EXPECT_EQ(memory.page(220).back(), 0xF0);
    std::array<std::uint8_t, 32> data{};
    data.fill(0x5A);
    memory.setPage(1, data);
    EXPECT_EQ(memory.record(0).serialField & 0xFF, 0x5A);
    EXPECT_THROW((void)memory.page(221), std::out_of_range);
    EXPECT_THROW((void)memory.record(704), std::out_of_range);
}

TEST(ReceiverMemory, WireNumbering) {
    EXPECT_EQ(ReceiverMemory::slotAddress(0), 32);
    EXPECT_EQ(ReceiverMemory::slotAddress(703), 735);
    EXPECT_EQ(ReceiverMemory::slotAtAddress(31), std::nullopt);
    EXPECT_EQ(ReceiverMemory::slotAtAddress(32), 0u);
    EXPECT_EQ(ReceiverMemory::slotAtAddress(735), 703u);
    EXPECT_EQ(ReceiverMemory::slotAtAddress(736), std::nullopt);
    EXPECT_EQ(ReceiverMemory::pageOnWire(220), 221);
    EXPECT_EQ(ReceiverMemory::pageFromWire(0), std::nullopt);
    EXPECT_EQ(ReceiverMemory::pageFromWire(1), 0u);
    EXPECT_EQ(ReceiverMemory::pageFromWire(221), 220u);
    EXPECT_EQ(ReceiverMemory::pageFromWire(222), std::nullopt);
}

struct ConfigBitCase {
    const char* name;
    std::function<void(ReceiverMemory&, bool)> set;
    std::function<bool(const ReceiverMemory&)> get;
    std::size_t offset;
    std::uint8_t bit;
};

TEST(ReceiverMemory, ConfigurationBitsChangeOnlyThemselves) {
    const std::vector<ConfigBitCase> cases = {
        {"PIN required", &ReceiverMemory::setPinRequired, &ReceiverMemory::isPinRequired, 0, 0x01},
        {"global copy lock", &ReceiverMemory::setGlobalCopyLock, &ReceiverMemory::isGlobalCopyLock,
         0, 0x02},
        {"admin copy lock", &ReceiverMemory::setAdminCopyLock, &ReceiverMemory::isAdminCopyLock, 0,
         0x40},
        {"channel 1 momentary", [](auto& m, bool on) { m.setChannelMomentary(0, on); },
         [](const auto& m) { return m.isChannelMomentary(0); }, 1, 0x01},
        {"channel 4 momentary", [](auto& m, bool on) { m.setChannelMomentary(3, on); },
         [](const auto& m) { return m.isChannelMomentary(3); }, 1, 0x08},
        {"channel 1 double press", [](auto& m, bool on) { m.setChannelDoublePress(0, on); },
         [](const auto& m) { return m.isChannelDoublePress(0); }, 1, 0x10},
        {"channel 4 double press", [](auto& m, bool on) { m.setChannelDoublePress(3, on); },
         [](const auto& m) { return m.isChannelDoublePress(3); }, 1, 0x80},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ReceiverMemory memory;
        std::array<std::uint8_t, 32> allSet{};
        allSet.fill(0xFF);
        memory.setPage(0, allSet);
        c.set(memory, false);
        EXPECT_FALSE(c.get(memory));
        EXPECT_EQ(memory.page(0)[c.offset], 0xFF ^ c.bit);
        c.set(memory, true);
        EXPECT_TRUE(c.get(memory));
        EXPECT_EQ(memory.page(0)[c.offset], 0xFF);
    }
}

TEST(ReceiverMemory, ChannelTimesAreLittleEndianWords) {
    ReceiverMemory memory;
    memory.setChannelTime(0, 0x1234);
    memory.setChannelTime(3, 65535);
    EXPECT_EQ(memory.page(0)[2], 0x34);
    EXPECT_EQ(memory.page(0)[3], 0x12);
    EXPECT_EQ(memory.page(0)[8], 0xFF);
    EXPECT_EQ(memory.page(0)[9], 0xFF);
    EXPECT_EQ(memory.channelTime(0), 0x1234);
    EXPECT_THROW(memory.setChannelTime(4, 1), std::out_of_range);
}

TEST(ReceiverMemory, PinDigitsRunBackwardsFromOffset14) {
    ReceiverMemory memory;
    ASSERT_TRUE(memory.setPin("01234"));
    const auto config = memory.page(0);
    EXPECT_EQ(config[14], 0);
    EXPECT_EQ(config[13], 1);
    EXPECT_EQ(config[10], 4);
    EXPECT_EQ(memory.pinText(), "01234");
    EXPECT_TRUE(memory.setPin("987654"));
    EXPECT_EQ(memory.pinText(), "98765");
    for (const char* bad : {"12a45", "1234", "", " 1234"}) {
        EXPECT_FALSE(memory.setPin(bad)) << bad;
        EXPECT_EQ(memory.pinText(), "98765");
    }
}

TEST(ReceiverMemory, ClearingKeepsWhatItShould) {
    ReceiverMemory memory;
    memory.setRecord(100, kRecord);
    memory.setPinRequired(true);
    ASSERT_TRUE(memory.setPin("55555"));
    memory.setChannelTime(2, 300);
    memory.setChannelMomentary(1, true);

    memory.resetChannels();
    EXPECT_EQ(memory.channelTime(2), 5);
    EXPECT_FALSE(memory.isChannelMomentary(1));
    EXPECT_EQ(memory.record(100), kRecord);

    memory.clearRecords();
    EXPECT_EQ(memory.record(100), RemoteRecord{});
    EXPECT_TRUE(memory.isPinRequired());
    EXPECT_EQ(memory.pinText(), "55555");
    EXPECT_EQ(memory.channelTime(0), 5);
}

} // namespace
} // namespace konfigor
