#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace konfigor {

// Built-in texts that no language file replaces: names, formats and the one history name the
// fixed order leaves out; they stay as they are in every language.
enum class Untranslated : std::size_t {
    ProgramTitle,            // main window caption and the caption of its message boxes
    TitleWithFile,           // main window caption while a settings file is current
    MultiRemotePrefix,       // in front of a multi remote's serial number
    FileErrorWithSystemText, // the error, the approximate-description label, the system's text
    SaveNamePattern,         // year, month, day, hour, minute, second
    SettingsFileExtension,
    HistorySwapName,           // the one history name no language file replaces
    DialogTitle,               // caption of the dialogs' message boxes
    ConnectedWithVersion,      // "Połączony z ZOR", "wersja odbiornika", major, minor
    ConnectedWithVersionMulti, // the same for a multi receiver
    WarningOkButton,           // the warning window's and the About window's button
    AboutVersion,              // the four version numbers
    Count
};

namespace detail {
inline constexpr std::array<std::string_view, static_cast<std::size_t>(Untranslated::Count)>
    kUntranslatedTexts{
        "Konfigor USB",
        "%s [%s]",
        "(M) ",
        "%s\n%s%s",
        "%04u-%02u-%02u_%02u_%02u_%02u.kvr",
        ".kvr",
        "Zmiana pilotów miejscami",
        "Konfigor",
        "%s (%s %i.%i)",
        "%s (%s %i.%i MULTI)",
        "&OK",
        " ver. %u.%u.%u.%u ",
    };
} // namespace detail

constexpr std::string_view untranslated(Untranslated id) {
    return detail::kUntranslatedTexts[static_cast<std::size_t>(id)];
}

} // namespace konfigor
