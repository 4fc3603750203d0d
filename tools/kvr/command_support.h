#pragma once

#include "files/settings_file.h"
#include "sheet/settings_sheet.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <string_view>

namespace konfigor {
class TextTable;
}

namespace konfigor::kvr {

// Helpers the file and the receiver commands share.

// The core's messages break lines the Windows way, as its message boxes always showed them.
std::string forTerminal(std::string_view message);

struct LoadedSheet {
    SettingsSheet sheet;
    std::uint16_t version = SettingsFile::kVersion;
};

// Reads a settings file; on failure the message is on `err` and nothing comes back.
std::optional<LoadedSheet> loadSheet(const std::filesystem::path& path, const TextTable& texts,
                                     std::ostream& err);

// Writes the sheet as a settings file; false, with the message on `err`, when that failed.
bool saveSheet(const SettingsSheet& sheet, const std::filesystem::path& path, std::ostream& err);

// Writes `bytes` atomically; false, with the message on `err`, when that failed.
bool writeBytesToFile(std::span<const std::uint8_t> bytes, const std::filesystem::path& path,
                      std::ostream& err);

} // namespace konfigor::kvr
