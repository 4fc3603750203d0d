#pragma once

#include "sheet/settings_sheet.h"

#include <ostream>

namespace konfigor {
class TextTable;
}

namespace konfigor::kvr {

// The sheet as text tables for a terminal, under the main window's own column titles: the
// slots that hold a remote, the four channels, then the receiver identifier.
void printSheetTable(const SettingsSheet& sheet, const TextTable& texts, std::ostream& out);

} // namespace konfigor::kvr
