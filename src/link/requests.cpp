#include "link/requests.h"

#include "common/little_endian.h"
#include "link/remote_record.h"

#include <algorithm>

namespace konfigor::requests {
namespace {

constexpr std::uint8_t kChannelBits = 0x0F;

using SlotAddressBytes = std::array<std::uint8_t, 2>;

SlotAddressBytes slotAddressBytes(std::size_t slot) {
    SlotAddressBytes bytes{};
    little_endian::put(std::span(bytes), ReceiverMemory::slotAddress(slot));
    return bytes;
}

Frame bare(std::uint8_t letter) {
    return Frame::encode(letter, {});
}

} // namespace

Frame requestVersion() {
    return bare(frame_letter::kVersion);
}

Frame sendPing() {
    return bare(frame_letter::kPing);
}

Frame requestPage(std::size_t page) {
    const std::array payload{ReceiverMemory::pageOnWire(page)};
    return Frame::encode(frame_letter::kPage, payload);
}

Frame sendPage(std::size_t page, ReceiverMemory::PageBytes data) {
    std::array<std::uint8_t, ReceiverMemory::kPageSize + 1> payload{};
    std::ranges::copy(data, payload.begin());
    payload.back() = ReceiverMemory::pageOnWire(page);
    return Frame::encode(frame_letter::kPageWrite, payload);
}

Frame requestRecord(std::size_t slot) {
    return Frame::encode(frame_letter::kRecord, slotAddressBytes(slot));
}

Frame sendRecord(std::size_t slot, std::uint32_t serialNumber, std::uint16_t counter,
                 const std::array<std::uint16_t, 4>& buttonMasks, bool copyLock) {
    const std::uint32_t lockBit = copyLock ? RemoteRecord::kCopyLockBit : 0u;
    const RemoteRecord record{.serialField = (serialNumber & ~RemoteRecord::kCopyLockBit) | lockBit,
                              .counter = counter,
                              .counterCopy = counter,
                              .buttonWord = packButtonMasks(buttonMasks)};
    std::array<std::uint8_t, RemoteRecord::kSize + 2> payload{};
    std::ranges::copy(record.toBytes(), payload.begin());
    std::ranges::copy(slotAddressBytes(slot), payload.begin() + RemoteRecord::kSize);
    return Frame::encode(frame_letter::kRecordWrite, payload);
}

Frame sendPress(std::uint8_t channelBits) {
    const std::array payload{static_cast<std::uint8_t>(channelBits & kChannelBits)};
    return Frame::encode(frame_letter::kPress, payload);
}

Frame requestReset() {
    return bare(frame_letter::kReset);
}

Frame sendAnswer() {
    return bare(frame_letter::kAnswer);
}

Frame endConnection() {
    return bare(frame_letter::kEndConnection);
}

} // namespace konfigor::requests
