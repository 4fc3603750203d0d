#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace konfigor {

inline constexpr std::size_t kButtonCount = 4;
inline constexpr std::uint16_t kChannelMaskBits = 0x0F;

// One slot as the receiver stores it: the payload of the single-record requests and the ten
// plane bytes of a slot in the memory map. All fields little-endian.
struct RemoteRecord {
    static constexpr std::size_t kSize = 10;
    static constexpr std::uint32_t kCopyLockBit = 0x8000'0000;

    // Bits 0-27 serial number, bit 30 multi, bit 31 copy lock; bits 28-29 carried as received.
    std::uint32_t serialField = 0;
    std::uint16_t counter = 0;
    // The receiver keeps the counter twice; readers use the first copy only.
    std::uint16_t counterCopy = 0;
    // Button k+1's channel mask in bits 4k..4k+3.
    std::uint16_t buttonWord = 0;

    using Bytes = std::array<std::uint8_t, kSize>;

    Bytes toBytes() const;
    static RemoteRecord fromBytes(std::span<const std::uint8_t, kSize> bytes);

    friend bool operator==(const RemoteRecord&, const RemoteRecord&) = default;

    // Whether a press report's serial word names the remote stored here. The link refreshing the
    // counter and the window showing the press must agree: bits 0-30 (multi included) compare,
    // and a word with bit 31 set names no remote.
    bool isNamedBy(std::uint32_t reportedSerialWord) const {
        return (reportedSerialWord & kCopyLockBit) == 0 &&
               (serialField & ~kCopyLockBit) == reportedSerialWord;
    }
};

// The four masks packed into one word, button 1 in the lowest four bits, as the receiver and
// settings files hold them.
std::uint16_t packButtonMasks(const std::array<std::uint16_t, kButtonCount>& masks);
std::array<std::uint16_t, kButtonCount> unpackButtonMasks(std::uint16_t word);

} // namespace konfigor
