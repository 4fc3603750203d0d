#pragma once

#include "common/fixed_text.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace konfigor {

class TextTable;

// A stored remote's press as the session reports it.
struct RemotePress {
    std::size_t slot = 0;
    int button = 0; // 1-4
    std::uint16_t channelMask = 0;
    std::uint32_t serialWord = 0;
};

// Local time of an event as plain numbers, so that tests and files never depend on the clock or
// the time zone. The day of week and milliseconds of the original record are never shown or
// written, so they are not kept.
struct EventTime {
    std::uint16_t year = 0;
    std::uint16_t month = 0;
    std::uint16_t day = 0;
    std::uint16_t hour = 0;
    std::uint16_t minute = 0;
    std::uint16_t second = 0;

    friend bool operator==(const EventTime&, const EventTime&) = default;
};

// "2018-09-17" and "14:03:05", as lines and the grid show them.
std::string formatEventDate(const EventTime& time);
std::string formatEventClock(const EventTime& time);

// The system clock's local time now.
EventTime eventTimeNow();

// One press of a remote, as the event log keeps it and writes it as one line.
struct EventRecord {
    static constexpr std::int32_t kUnknownRemote = -1;
    static constexpr std::int32_t kVirtualRemote = -2;

    EventTime time;
    // 1..704 for a stored remote's sheet position, or kUnknownRemote, kVirtualRemote.
    std::int32_t position = 0;
    DescriptionText description; // code page 1250
    std::uint8_t button = 0;     // 1..4
    // Bit k: channel k+1 is operated by the button.
    std::uint8_t channelMask = 0;
    // The remote's serial word; 0 for the virtual remote. Written as a signed number.
    std::uint32_t serialNumber = 0;

    friend bool operator==(const EventRecord& a, const EventRecord& b) {
        return a.time == b.time && a.position == b.position &&
               a.description.sameText(b.description) && a.button == b.button &&
               a.channelMask == b.channelMask && a.serialNumber == b.serialNumber;
    }
};

// The event of a press the receiver reported for the remote at `press.slot`, whose description
// (code page 1250) the caller takes from the sheet.
EventRecord remotePressEvent(const RemotePress& press, std::string_view descriptionCp1250,
                             EventTime time);

// One event line in code page 1250, ending in CR LF. The channel fields use the texts' formats.
// Tabs and line breaks in the description are written as spaces, so the line always reads back
// whole.
std::string formatEventLine(const EventRecord& record, const TextTable& texts);
// The same with the built-in texts.
std::string formatEventLine(const EventRecord& record);

// One line without its LF (CRs may remain). Fields are cut at every tab and every CR; the text
// after the last separator is ignored, so a line ending in LF alone gives serial number 0.
// Nothing when the date or the time does not read as three numbers.
std::optional<EventRecord> parseEventLine(std::string_view line);

// The three header lines of a new or trimmed log file, in code page 1250. The identifier and
// channel descriptions are UTF-8; line breaks in them become spaces.
std::string eventLogHeader(const TextTable& texts, std::string_view identifierUtf8 = {},
                           const std::array<std::string_view, 4>& channelsUtf8 = {});

} // namespace konfigor
