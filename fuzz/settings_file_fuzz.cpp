// Settings files come from anywhere: the reader must reject any byte sequence with a message,
// never crash, and whatever it accepts must survive being written and read again.
#include "files/settings_file.h"
#include "sheet/settings_sheet.h"
#include "texts/text_table.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

using konfigor::SettingsFile;
using konfigor::SettingsSheet;

struct Read {
    SettingsSheet& sheet;
    bool newerVersion = false;
    std::optional<std::string> failure;
};

// A sheet as a new session has it. The sheets live on the heap and are reused: allocating two
// per input would cost more than the parsing does.
SettingsSheet& freshSheet(int which) {
    static const auto blank = std::make_unique<const SettingsSheet>();
    static const std::unique_ptr<SettingsSheet> sheets[] = {std::make_unique<SettingsSheet>(),
                                                            std::make_unique<SettingsSheet>()};
    SettingsSheet& sheet = *sheets[which];
    sheet = *blank;
    return sheet;
}

Read parse(const SettingsFile& file, std::span<const std::uint8_t> bytes, SettingsSheet& into) {
    Read read{into, false, std::nullopt};
    read.failure = file.parse(
        bytes, 0,
        SettingsFile::Destination{into.remotes, into.channels, into.identifier, read.newerVersion});
    return read;
}

std::vector<std::uint8_t> encode(const SettingsSheet& sheet) {
    return SettingsFile::encode(sheet.remotes, sheet.channels, sheet.identifier);
}

[[noreturn]] void fail(const char* what, const std::string& detail) {
    std::fprintf(stderr, "settings_file_fuzz: %s: %s\n", what, detail.c_str());
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const konfigor::TextTable texts;
    const SettingsFile file(texts);

    const Read first = parse(file, {data, size}, freshSheet(0));
    if (first.failure) {
        if (first.failure->empty())
            fail("a failure without a message", "");
        return 0;
    }

    // What was read, written again, reads back without error and to the same sheet.
    const std::vector<std::uint8_t> written = encode(first.sheet);
    const Read second = parse(file, written, freshSheet(1));
    if (second.failure)
        fail("the writer's own bytes do not read back", *second.failure);
    if (second.newerVersion)
        fail("the writer's own bytes claim a newer version", "");
    if (encode(second.sheet) != written)
        fail("reading the writer's bytes changed the sheet", "");
    return 0;
}
