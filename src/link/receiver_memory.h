#pragma once

#include "link/remote_record.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace konfigor {

// The receiver's memory as the page requests address it: 221 pages of 32 bytes. Page 0 is the
// configuration page; pages 1-220 hold the 704 remote records as ten planes of 704 bytes, plane
// k holding byte k of every slot's record. Slots are 0-703, channels 0-3.
class ReceiverMemory {
public:
    static constexpr std::size_t kPageSize = 32;
    static constexpr std::size_t kPageCount = 221;
    static constexpr std::size_t kSize = kPageSize * kPageCount;
    static constexpr std::size_t kSlotCount = 704;
    static constexpr std::size_t kPinLength = 5;

    using PageBytes = std::span<const std::uint8_t, kPageSize>;

    // On the wire a slot is named by the address of its first record byte counted from page 0,
    // and a page by its number plus 1.
    static constexpr std::uint16_t slotAddress(std::size_t slot) {
        return static_cast<std::uint16_t>(slot + kPageSize);
    }
    static std::optional<std::size_t> slotAtAddress(std::uint16_t address);
    static constexpr std::uint8_t pageOnWire(std::size_t pageNumber) {
        return static_cast<std::uint8_t>(pageNumber + 1);
    }
    static std::optional<std::size_t> pageFromWire(std::uint8_t wirePage);

    // Page and slot arguments out of range throw std::out_of_range.
    PageBytes page(std::size_t pageNumber) const;
    void setPage(std::size_t pageNumber, PageBytes data);

    RemoteRecord record(std::size_t slot) const;
    void setRecord(std::size_t slot, const RemoteRecord& record);
    // Zeroes pages 1-220; the configuration page stays.
    void clearRecords();

    bool isPinRequired() const;
    void setPinRequired(bool on);
    bool isGlobalCopyLock() const;
    void setGlobalCopyLock(bool on);
    bool isAdminCopyLock() const;
    void setAdminCopyLock(bool on);

    bool isChannelMomentary(std::size_t channel) const;
    void setChannelMomentary(std::size_t channel, bool on);
    bool isChannelDoublePress(std::size_t channel) const;
    void setChannelDoublePress(std::size_t channel, bool on);
    // Tenths of a second; 0 means bistable.
    std::uint16_t channelTime(std::size_t channel) const;
    void setChannelTime(std::size_t channel, std::uint16_t time);
    // Factory channels: 0.5 s, no momentary mode, no double press. Flags and PIN stay.
    void resetChannels();

    // The five digits, first digit first.
    std::string pinText() const;
    // Takes the first five characters; false, and nothing changed, unless all are digits.
    bool setPin(std::string_view text);

    std::span<const std::uint8_t, kSize> bytes() const { return bytes_; }

    friend bool operator==(const ReceiverMemory&, const ReceiverMemory&) = default;

private:
    std::uint8_t& configByte(std::size_t offset) { return bytes_[offset]; }
    std::uint8_t configByte(std::size_t offset) const { return bytes_[offset]; }
    bool configBit(std::size_t offset, std::uint8_t bit) const;
    void setConfigBit(std::size_t offset, std::uint8_t bit, bool on);

    std::array<std::uint8_t, kSize> bytes_{};
};

} // namespace konfigor
