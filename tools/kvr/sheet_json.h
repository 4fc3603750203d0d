#pragma once

#include "kvr/slot_selection.h"
#include "sheet/settings_sheet.h"

#include <cstdint>
#include <string>

namespace konfigor::kvr {

// The sheet as one line of compact JSON, texts in UTF-8, keys in a fixed order so that exports
// of the same sheet compare equal as text. `version` is the format version of the file the
// sheet came from. sheetFromJson reads it back.
std::string sheetToJson(const SettingsSheet& sheet, std::uint16_t version, SlotSelection selection);

} // namespace konfigor::kvr
