// The configuration file may have been edited by hand or cut short: parsing any bytes must not
// crash, and what was read, written again, must read back to the very same sections and keys.
#include "config/ini_file.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "ini_file_fuzz: %s\n", what);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const konfigor::IniFile first = konfigor::IniFile::parse(text);

    const std::string written = first.serialize();
    const konfigor::IniFile second = konfigor::IniFile::parse(written);
    if (second != first)
        fail("the written text reads back to other sections, keys or values");
    if (second.serialize() != written)
        fail("writing the text read back gives other text");

    // Every value read back through the lookups finds what the parse kept.
    for (const auto& section : first.sections()) {
        for (const auto& [key, value] : section.values) {
            if (second.readString(section.name, key, "") != value)
                fail("a lookup by name finds another value");
            (void)second.readInteger(section.name, key, 0);
        }
    }
    return 0;
}
