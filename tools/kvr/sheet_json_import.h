#pragma once

#include "sheet/settings_sheet.h"

#include <string>
#include <string_view>
#include <variant>

namespace konfigor::kvr {

// Why a JSON text was refused: the field at fault, as a path like "remotes[3].buttons[2]"
// (empty when the document as a whole is at fault), and what is wrong with it.
struct ImportError {
    std::string field;
    std::string reason;

    std::string message() const { return field.empty() ? reason : field + ": " + reason; }
};

// Reads a sheet from JSON as sheetToJson writes it. Slots not listed stay cleared and channels
// not listed keep factory settings. Anything that would be lost or changed on the way in (an
// unknown key, a value out of range, a text too long or outside code page 1250) is refused
// rather than adjusted. Never throws.
std::variant<SettingsSheet, ImportError> sheetFromJson(std::string_view json);

} // namespace konfigor::kvr
