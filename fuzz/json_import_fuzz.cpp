// JSON for kvr import is typed or edited by hand: any text must be refused with a message naming
// what is wrong, never crash, and whatever is accepted must come back unchanged through an export.
#include "kvr/sheet_json.h"
#include "kvr/sheet_json_import.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <variant>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

using konfigor::SettingsSheet;
using konfigor::kvr::ImportError;

[[noreturn]] void fail(const char* what, const std::string& detail) {
    std::fprintf(stderr, "json_import_fuzz: %s: %s\n", what, detail.c_str());
    std::abort();
}

bool sameSheet(const SettingsSheet& a, const SettingsSheet& b) {
    return a.remotes == b.remotes && a.channels == b.channels && a.identifier == b.identifier;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto first = konfigor::kvr::sheetFromJson(text);
    if (const auto* error = std::get_if<ImportError>(&first)) {
        if (error->reason.empty())
            fail("a refusal without a reason", error->field);
        return 0;
    }

    const SettingsSheet& sheet = std::get<SettingsSheet>(first);
    const auto second = konfigor::kvr::sheetFromJson(
        konfigor::kvr::sheetToJson(sheet, 2, konfigor::kvr::SlotSelection::All));
    if (const auto* error = std::get_if<ImportError>(&second))
        fail("the export of an accepted sheet is refused", error->message());
    if (!sameSheet(std::get<SettingsSheet>(second), sheet))
        fail("the export of an accepted sheet reads back differently", "");
    return 0;
}
