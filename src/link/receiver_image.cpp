#include "link/receiver_image.h"

#include <algorithm>

namespace konfigor {
namespace {

constexpr std::uint32_t kCopyLockBit = RemoteRecord::kCopyLockBit;
constexpr std::size_t kPinFirstOffset = 10;
constexpr std::size_t kPinEndOffset = 15;
constexpr std::uint8_t kPinRequiredBit = 0x01;

} // namespace

ReceiverImage::ReceiverImage() {
    clear(true);
}

ReceiverImage::Record ReceiverImage::Record::of(const RemoteRecord& raw) {
    return {.serialNumber = raw.serialField & ~kCopyLockBit,
            .copyLock = (raw.serialField & kCopyLockBit) != 0,
            .counter = raw.counter,
            .buttonWord = raw.buttonWord};
}

RemoteRecord ReceiverImage::Record::toRemoteRecord() const {
    return {.serialField = (serialNumber & ~kCopyLockBit) | (copyLock ? kCopyLockBit : 0u),
            .counter = counter,
            .counterCopy = counter,
            .buttonWord = buttonWord};
}

ReceiverImage::Record ReceiverImage::readRecord(std::size_t slot) const {
    return Record::of(read([&](const ReceiverMemory& m) { return m.record(slot); }));
}

void ReceiverImage::writeRecord(std::size_t slot, const Record& record) {
    const RemoteRecord raw = record.toRemoteRecord();
    update([&](ReceiverMemory& m) { m.setRecord(slot, raw); });
}

void ReceiverImage::refreshCounter(std::size_t slot, std::uint32_t serialWord,
                                   std::uint16_t counter) {
    if (slot >= ReceiverMemory::kSlotCount)
        return;
    update([&](ReceiverMemory& m) {
        RemoteRecord raw = m.record(slot);
        if (!raw.isNamedBy(serialWord))
            return;
        raw.counter = counter;
        raw.counterCopy = counter;
        m.setRecord(slot, raw);
    });
}

ReceiverImage::Page ReceiverImage::page(std::size_t pageNumber) const {
    return read([&](const ReceiverMemory& m) {
        Page copy{};
        std::ranges::copy(m.page(pageNumber), copy.begin());
        return copy;
    });
}

void ReceiverImage::setPage(std::size_t pageNumber, const Page& data) {
    update([&](ReceiverMemory& m) { m.setPage(pageNumber, data); });
}

void ReceiverImage::takeProbeAnswer(const Page& page0) {
    update([&](ReceiverMemory& m) {
        Page current{};
        std::ranges::copy(m.page(0), current.begin());
        std::copy(page0.begin() + kPinFirstOffset, page0.begin() + kPinEndOffset,
                  current.begin() + kPinFirstOffset);
        current[0] = static_cast<std::uint8_t>(current[0] | (page0[0] & kPinRequiredBit));
        m.setPage(0, current);
    });
}

void ReceiverImage::clear(bool channelDefaults) {
    update([&](ReceiverMemory& m) {
        m.clearRecords();
        if (channelDefaults)
            m.resetChannels();
    });
}

} // namespace konfigor
