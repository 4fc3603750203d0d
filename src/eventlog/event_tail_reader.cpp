#include "eventlog/event_tail_reader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace konfigor {
namespace {

constexpr std::size_t kChunkSize = 64 * 1024;
// The shortest text that parses as an event: "0-0-0\t0:0:0" and its LF.
constexpr std::size_t kShortestEventLine = 12;

bool isEmptyLine(std::string_view line) {
    return line.find_first_not_of('\r') == std::string_view::npos;
}

// One line being put together from the chunks, back to front.
class PendingLine {
public:
    void prepend(std::string_view piece) {
        if (overlong_ || piece.empty())
            return;
        if (text_.size() + piece.size() > kMaxEventLineLength) {
            overlong_ = true;
            text_.clear();
            return;
        }
        text_.insert(0, piece);
    }
    bool overlong() const { return overlong_; }
    std::string_view text() const { return text_; }
    void reset() {
        text_.clear();
        overlong_ = false;
    }

private:
    std::string text_;
    bool overlong_ = false;
};

class Collector {
public:
    Collector(std::size_t n, std::uint64_t size) : n_(n) {
        events_.reserve(
            static_cast<std::size_t>(std::min<std::uint64_t>(n, size / kShortestEventLine + 1)));
    }

    // False when the scan ends here.
    bool take(const PendingLine& line, bool cutLastLine) {
        if (!line.overlong() && isEmptyLine(line.text()))
            return true;
        const auto event = line.overlong() ? std::nullopt : parseEventLine(line.text());
        if (!event)
            return cutLastLine;
        events_.push_back(*event);
        return events_.size() < n_;
    }

    TailScan finish(int errorNumber) {
        TailScan scan;
        scan.limitReached = events_.size() == n_;
        std::reverse(events_.begin(), events_.end());
        scan.events = std::move(events_);
        scan.errorNumber = errorNumber;
        return scan;
    }

private:
    std::size_t n_;
    std::vector<EventRecord> events_;
};

} // namespace

TailScan scanNewestEvents(std::uint64_t size, const TailReadAt& readAt, std::size_t n) {
    Collector collector(n, size);
    if (n == 0)
        return collector.finish(0);
    std::vector<char> chunk(static_cast<std::size_t>(std::min<std::uint64_t>(kChunkSize, size)));
    PendingLine line;
    bool lastLine = true;
    std::uint64_t unread = size;
    while (unread > 0) {
        const auto length = static_cast<std::size_t>(std::min<std::uint64_t>(kChunkSize, unread));
        const std::uint64_t start = unread - length;
        errno = 0;
        if (!readAt(start, std::span(chunk.data(), length)))
            return collector.finish(errno != 0 ? errno : EIO);
        std::string_view rest(chunk.data(), length);
        for (std::size_t lf = rest.rfind('\n'); lf != std::string_view::npos;
             lf = rest.rfind('\n')) {
            line.prepend(rest.substr(lf + 1));
            // The text after the file's last LF is empty, or a write that was cut.
            if (!collector.take(line, lastLine))
                return collector.finish(0);
            line.reset();
            lastLine = false;
            rest = rest.substr(0, lf);
        }
        line.prepend(rest);
        // An overlong line before the last one ends the scan wherever it begins.
        if (line.overlong() && !lastLine)
            return collector.finish(0);
        unread = start;
    }
    // What is left is the first line, the header's: never an event.
    return collector.finish(0);
}

TailScan scanNewestEvents(std::string_view bytes, std::size_t n) {
    return scanNewestEvents(
        bytes.size(),
        [bytes](std::uint64_t offset, std::span<char> into) {
            if (offset > bytes.size() || into.size() > bytes.size() - offset) {
                errno = EIO;
                return false;
            }
            std::memcpy(into.data(), bytes.data() + offset, into.size());
            return true;
        },
        n);
}

} // namespace konfigor
