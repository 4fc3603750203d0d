#pragma once

#include "link/receiver_memory.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>

namespace konfigor {

// The link's mirror of the receiver's memory. The worker writes it in reaction to reports while
// the main thread copies the sheet in and out and changes single settings, so every access
// goes through one lock. Slots are 0-703, pages 0-220.
class ReceiverImage {
public:
    // One slot as the link reads it back: bit 30 (multi) stays in the serial number, bit 31 is
    // the copy lock.
    struct Record {
        std::uint32_t serialNumber = 0;
        bool copyLock = false;
        std::uint16_t counter = 0;
        std::uint16_t buttonWord = 0;

        // The first counter copy counts; writing gives both copies the same value.
        static Record of(const RemoteRecord& raw);
        RemoteRecord toRemoteRecord() const;

        friend bool operator==(const Record&, const Record&) = default;
    };
    using Page = std::array<std::uint8_t, ReceiverMemory::kPageSize>;

    ReceiverImage();

    Record readRecord(std::size_t slot) const;
    void writeRecord(std::size_t slot, const Record& record);
    // A stored remote's press refreshes its counter, but only when the slot still holds the
    // serial word the report names.
    void refreshCounter(std::size_t slot, std::uint32_t serialWord, std::uint16_t counter);

    Page page(std::size_t pageNumber) const;
    void setPage(std::size_t pageNumber, const Page& data);
    // The configuration probe takes only the PIN and its required bit from page 0; the bit can
    // be set this way, never cleared.
    void takeProbeAnswer(const Page& page0);

    // Zeroes every remote record; with channel defaults the channels go back to 0.5 s without
    // momentary mode or double press. PIN, its flag and the locks stay.
    void clear(bool channelDefaults);

    // Anything else: the whole memory under the lock. Keep the callbacks short; they must not
    // call back into the image.
    template <class Reader>
    auto read(Reader&& reader) const {
        const std::lock_guard lock(mutex_);
        return reader(static_cast<const ReceiverMemory&>(memory_));
    }
    template <class Updater>
    auto update(Updater&& updater) {
        const std::lock_guard lock(mutex_);
        return updater(memory_);
    }

private:
    mutable std::mutex mutex_;
    ReceiverMemory memory_;
};

} // namespace konfigor
