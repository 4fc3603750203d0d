#include "link/receiver_memory.h"

#include "common/little_endian.h"

#include <algorithm>
#include <stdexcept>

namespace konfigor {
namespace {

constexpr std::size_t kChannelCount = 4;
constexpr std::size_t kFlagsOffset = 0;
constexpr std::uint8_t kPinRequiredBit = 0x01;
constexpr std::uint8_t kGlobalCopyLockBit = 0x02;
constexpr std::uint8_t kAdminCopyLockBit = 0x40;
// Bits 0-3 momentary mode of channels 1-4, bits 4-7 their double press.
constexpr std::size_t kChannelModesOffset = 1;
constexpr std::size_t kChannelTimesOffset = 2;
// The first digit sits at the highest offset, the fifth at 10.
constexpr std::size_t kFirstPinDigitOffset = 14;
constexpr std::uint16_t kFactoryChannelTime = 5;

constexpr std::size_t kRecordsStart = ReceiverMemory::kPageSize;

std::size_t checkedChannel(std::size_t channel) {
    if (channel >= kChannelCount)
        throw std::out_of_range("channel out of range");
    return channel;
}

std::size_t checkedSlot(std::size_t slot) {
    if (slot >= ReceiverMemory::kSlotCount)
        throw std::out_of_range("slot out of range");
    return slot;
}

std::uint8_t channelBit(std::size_t channel, std::size_t shift) {
    return static_cast<std::uint8_t>(1u << (checkedChannel(channel) + shift));
}

std::size_t channelTimeOffset(std::size_t channel) {
    return kChannelTimesOffset + 2 * checkedChannel(channel);
}

std::size_t planeByte(std::size_t slot, std::size_t plane) {
    return kRecordsStart + plane * ReceiverMemory::kSlotCount + checkedSlot(slot);
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

std::optional<std::size_t> ReceiverMemory::slotAtAddress(std::uint16_t address) {
    if (address < kPageSize || address >= kPageSize + kSlotCount)
        return std::nullopt;
    return address - kPageSize;
}

std::optional<std::size_t> ReceiverMemory::pageFromWire(std::uint8_t wirePage) {
    if (wirePage == 0 || wirePage > kPageCount)
        return std::nullopt;
    return wirePage - 1u;
}

ReceiverMemory::PageBytes ReceiverMemory::page(std::size_t pageNumber) const {
    if (pageNumber >= kPageCount)
        throw std::out_of_range("page out of range");
    return PageBytes(bytes_.data() + pageNumber * kPageSize, kPageSize);
}

void ReceiverMemory::setPage(std::size_t pageNumber, PageBytes data) {
    if (pageNumber >= kPageCount)
        throw std::out_of_range("page out of range");
    std::ranges::copy(data, bytes_.begin() + static_cast<std::ptrdiff_t>(pageNumber * kPageSize));
}

RemoteRecord ReceiverMemory::record(std::size_t slot) const {
    RemoteRecord::Bytes plain{};
    for (std::size_t plane = 0; plane < RemoteRecord::kSize; ++plane)
        plain[plane] = bytes_[planeByte(slot, plane)];
    return RemoteRecord::fromBytes(plain);
}

void ReceiverMemory::setRecord(std::size_t slot, const RemoteRecord& record) {
    const RemoteRecord::Bytes plain = record.toBytes();
    for (std::size_t plane = 0; plane < RemoteRecord::kSize; ++plane)
        bytes_[planeByte(slot, plane)] = plain[plane];
}

void ReceiverMemory::clearRecords() {
    std::ranges::fill(std::span(bytes_).subspan(kRecordsStart), std::uint8_t{0});
}

bool ReceiverMemory::isPinRequired() const {
    return configBit(kFlagsOffset, kPinRequiredBit);
}
void ReceiverMemory::setPinRequired(bool on) {
    setConfigBit(kFlagsOffset, kPinRequiredBit, on);
}
bool ReceiverMemory::isGlobalCopyLock() const {
    return configBit(kFlagsOffset, kGlobalCopyLockBit);
}
void ReceiverMemory::setGlobalCopyLock(bool on) {
    setConfigBit(kFlagsOffset, kGlobalCopyLockBit, on);
}
bool ReceiverMemory::isAdminCopyLock() const {
    return configBit(kFlagsOffset, kAdminCopyLockBit);
}
void ReceiverMemory::setAdminCopyLock(bool on) {
    setConfigBit(kFlagsOffset, kAdminCopyLockBit, on);
}

bool ReceiverMemory::isChannelMomentary(std::size_t channel) const {
    return configBit(kChannelModesOffset, channelBit(channel, 0));
}
void ReceiverMemory::setChannelMomentary(std::size_t channel, bool on) {
    setConfigBit(kChannelModesOffset, channelBit(channel, 0), on);
}
bool ReceiverMemory::isChannelDoublePress(std::size_t channel) const {
    return configBit(kChannelModesOffset, channelBit(channel, kChannelCount));
}
void ReceiverMemory::setChannelDoublePress(std::size_t channel, bool on) {
    setConfigBit(kChannelModesOffset, channelBit(channel, kChannelCount), on);
}

std::uint16_t ReceiverMemory::channelTime(std::size_t channel) const {
    return little_endian::get<std::uint16_t>(
        std::span(bytes_).subspan(channelTimeOffset(channel), 2));
}
void ReceiverMemory::setChannelTime(std::size_t channel, std::uint16_t time) {
    little_endian::put(std::span(bytes_).subspan(channelTimeOffset(channel), 2), time);
}

void ReceiverMemory::resetChannels() {
    configByte(kChannelModesOffset) = 0;
    for (std::size_t channel = 0; channel < kChannelCount; ++channel)
        setChannelTime(channel, kFactoryChannelTime);
}

std::string ReceiverMemory::pinText() const {
    std::string text;
    for (std::size_t digit = 0; digit < kPinLength; ++digit)
        text += static_cast<char>('0' + configByte(kFirstPinDigitOffset - digit));
    return text;
}

bool ReceiverMemory::setPin(std::string_view text) {
    const std::string_view digits = text.substr(0, kPinLength);
    if (digits.size() < kPinLength || !std::ranges::all_of(digits, isDigit))
        return false;
    for (std::size_t digit = 0; digit < kPinLength; ++digit)
        configByte(kFirstPinDigitOffset - digit) = static_cast<std::uint8_t>(digits[digit] - '0');
    return true;
}

bool ReceiverMemory::configBit(std::size_t offset, std::uint8_t bit) const {
    return (configByte(offset) & bit) != 0;
}

void ReceiverMemory::setConfigBit(std::size_t offset, std::uint8_t bit, bool on) {
    std::uint8_t& byte = configByte(offset);
    byte = static_cast<std::uint8_t>(on ? (byte | bit) : (byte & ~bit));
}

} // namespace konfigor
