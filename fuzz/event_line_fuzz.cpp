// Event log files may be cut short, edited by hand or be something else altogether: reading
// any bytes must not crash, and an event read, written again, must give a line that reads back
// whole and is written the same from then on.
#include "eventlog/event_record.h"
#include "eventlog/event_tail_reader.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "event_line_fuzz: %s\n", what);
    std::abort();
}

void checkWrittenAgain(const konfigor::EventRecord& record) {
    const std::string line = konfigor::formatEventLine(record);
    if (std::count(line.begin(), line.end(), '\t') != 8 ||
        line.find_first_of("\r\n") != line.size() - 2)
        fail("a written line does not hold exactly nine fields and one line end");
    const auto read = konfigor::parseEventLine(std::string_view(line).substr(0, line.size() - 1));
    if (!read)
        fail("a written line does not read back");
    if (konfigor::formatEventLine(*read) != line)
        fail("a line read back is written differently");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    if (const auto record = konfigor::parseEventLine(bytes))
        checkWrittenAgain(*record);

    // The same bytes as a whole file, read from the end for a number of events the first byte
    // picks.
    const std::size_t n = size == 0 ? 1 : data[0] % 50;
    const konfigor::TailScan scan = konfigor::scanNewestEvents(bytes, n);
    if (scan.events.size() > n || scan.errorNumber != 0)
        fail("the backwards reader returned more than asked for, or failed on memory");
    if (scan.limitReached != (scan.events.size() == n))
        fail("the backwards reader's limit flag is wrong");
    for (const konfigor::EventRecord& record : scan.events)
        checkWrittenAgain(record);
    return 0;
}
