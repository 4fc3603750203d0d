#pragma once

#include "kvr/slot_selection.h"
#include "sheet/settings_sheet.h"

#include <string>
#include <string_view>

namespace konfigor::kvr {

// The remotes as CSV for spreadsheets: a header row, then one row per listed slot. UTF-8, CRLF
// line ends, fields quoted as RFC 4180 asks.
std::string sheetToCsv(const SettingsSheet& sheet, SlotSelection selection);

// One field, quoted only when it holds a comma, a quote, CR or LF.
std::string csvField(std::string_view text);

} // namespace konfigor::kvr
