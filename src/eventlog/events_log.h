#pragma once

#include "eventlog/event_record.h"
#include "eventlog/event_tail_reader.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace konfigor {

class TextTable;

// The events shown in the window and the log file they are appended to. Several copies of the
// program may write the same file: each line goes out whole, and a trim never loses a line
// another copy appends meanwhile (see events_log.cpp).
class EventsLog {
public:
    static constexpr std::size_t kDefaultArchiveSize = 5000;
    using Clock = std::function<EventTime()>;

    // `texts` must outlive the log; they give the header and the lines' channel fields.
    explicit EventsLog(const TextTable& texts, Clock clock = eventTimeNow);

    // Remembers the file and its header (code page 1250) for later appends and trims; a missing
    // file is created with the header. False only when the file can be neither read nor created.
    bool open(const std::filesystem::path& path, std::string header);

    // Keeps the event and, with `write`, appends its line to the file; a file that cannot be
    // written is passed over silently. False only when memory for the event cannot be had.
    bool add(bool write, const EventRecord& record);
    // The same, stamped with the clock's time.
    bool addNow(bool write, std::int32_t position, std::string_view descriptionCp1250,
                std::uint8_t button, std::uint8_t channelMask, std::uint32_t serialNumber);

    void clear();
    std::size_t count() const { return events_.size(); }
    const EventRecord& item(std::size_t index) const { return events_.at(index); }
    const std::vector<EventRecord>& events() const { return events_; }

    // Replaces the events by the newest `n` of the file, which becomes the file appended to (it
    // is created when missing). A file that cannot be opened loads nothing and changes nothing.
    // Returns the number loaded.
    std::size_t loadLast(const std::filesystem::path& path, std::size_t n);
    // As loadLast; then, when the file held at least `n` events, rewrites it atomically to the
    // header and the newest `n`. True when it was rewritten.
    bool loadLastAndTrim(const std::filesystem::path& path, std::size_t n);

    const std::filesystem::path& filePath() const { return path_; }
    const std::string& header() const { return header_; }

private:
    const TextTable& texts_;
    Clock clock_;
    std::vector<EventRecord> events_;
    std::filesystem::path path_;
    std::string header_;
};

// Appends one event line to the log at `path` (creating it with `header` when it is new or
// empty), under the log's lock. Returns 0 or the errno of what failed.
int appendEventLine(const std::filesystem::path& path, std::string_view line,
                    std::string_view header);

// The newest `n` events of the log at `path`, read under the log's shared lock without
// creating or changing anything; errorNumber tells why the file could not be read.
TailScan readNewestEvents(const std::filesystem::path& path, std::size_t n);

} // namespace konfigor
