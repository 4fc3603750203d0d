#pragma once

#include "eventlog/event_record.h"

#include <span>
#include <string>

namespace konfigor {
class TextTable;
}

namespace konfigor::kvr {

// Events as aligned columns under the event grid's titles, in UTF-8.
std::string eventsTable(std::span<const EventRecord> events, const TextTable& texts);

// Events as CSV with a header row, in UTF-8: the position as the file has it (-1 an unknown
// remote, -2 the virtual one), each channel's button number or nothing.
std::string eventsCsv(std::span<const EventRecord> events);

} // namespace konfigor::kvr
