#pragma once

#include "sheet/settings_sheet.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace konfigor {

class TextTable;

// Reader and writer of settings files (.kvr): a little-endian sequence of tagged records that
// holds one whole sheet with its descriptions. Every failure comes back as one finished message
// (UTF-8) ending with the file's path; success comes back as nothing.
class SettingsFile {
public:
    static constexpr std::uint16_t kVersion = 2;

    // Where a read puts what it finds. The remote slots are zeroed first (copy lock and mark
    // included); the channels and the identifier change only through the records read.
    struct Destination {
        RemoteSlots& remotes;
        Channels& channels;
        IdentifierText& identifier;
        // Set when the file's version is newer than ours: it is still read, by the same rules.
        bool& newerVersion;
        // When given, receives the version the file's header names.
        std::uint16_t* version = nullptr;
    };

    explicit SettingsFile(const TextTable& texts) : texts_(texts) {}

    std::optional<std::string> read(const std::filesystem::path& path, Destination into) const;

    // Replaces the file only once the whole sheet is written and flushed: on any failure the
    // previous file stays as it was.
    std::optional<std::string> write(const std::filesystem::path& path, const RemoteSlots& remotes,
                                     const Channels& channels,
                                     const IdentifierText& identifier) const;

    // The same reading over bytes already in memory, for the description search and fuzzing.
    // `errorAtEnd` is the system error that cut the data short (0 for a clean end of file); the
    // message comes without the path.
    std::optional<std::string> parse(std::span<const std::uint8_t> bytes, int errorAtEnd,
                                     Destination into) const;

    // The file's bytes for a sheet: exactly what write() puts on disk.
    static std::vector<std::uint8_t> encode(const RemoteSlots& remotes, const Channels& channels,
                                            const IdentifierText& identifier);

private:
    const TextTable& texts_;
};

} // namespace konfigor
