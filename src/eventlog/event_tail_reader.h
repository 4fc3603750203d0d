#pragma once

#include "eventlog/event_record.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string_view>
#include <vector>

namespace konfigor {

// The newest events of a log, found by reading it backwards from its end.
struct TailScan {
    std::vector<EventRecord> events; // oldest first
    // The scan stopped because it had found the events asked for.
    bool limitReached = false;
    // errno of a failed read, 0 when everything asked for could be read.
    int errorNumber = 0;
};

// Fills `into` with the bytes at `offset`; returns false, with errno set, when it cannot.
using TailReadAt = std::function<bool(std::uint64_t offset, std::span<char> into)>;

// No line we write comes near this; a longer one is not an event and is never kept whole.
inline constexpr std::size_t kMaxEventLineLength = 4096;

// Reads the longest run of event lines, at most `n`, at the end of a log of `size` bytes, in
// chunks from the end, so the cost depends on `n`, not on the log's size, and memory stays
// bounded by `n` events and a chunk whatever the bytes are. Empty lines are skipped; any other
// line that is not an event, a line longer than kMaxEventLineLength included, ends the scan. The
// first line (the header's) is never read as an event. A last line without its LF is a cut
// write: when it is not an event it is skipped instead of hiding everything before it.
TailScan scanNewestEvents(std::uint64_t size, const TailReadAt& readAt, std::size_t n);

// The same over bytes in memory.
TailScan scanNewestEvents(std::string_view bytes, std::size_t n);

} // namespace konfigor
