#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace konfigor {

// Built-in texts that no language-file line replaces: they stay as they are in every language.
enum class Untranslated : std::size_t {
    ProgramTitle,  // main window caption and the caption of its message boxes
    TitleWithFile, // main window caption while a settings file is current
    MenuHelpCheckUpdates,
    MultiRemotePrefix,       // in front of a multi remote's serial number
    FileErrorWithSystemText, // the error, the approximate-description label, the system's text
    SaveNamePattern,         // year, month, day, hour, minute, second
    SettingsFileExtension,
    HistorySwapName, // the one history name no language file replaces
    Count
};

namespace detail {
inline constexpr std::array<std::string_view, static_cast<std::size_t>(Untranslated::Count)>
    kUntranslatedTexts{
        "Konfigor USB",
        "%s [%s]",
        "Sprawdź aktualizacje",
        "(M) ",
        "%s\n%s%s",
        "%04u-%02u-%02u_%02u_%02u_%02u.kvr",
        ".kvr",
        "Zmiana pilotów miejscami",
    };
} // namespace detail

constexpr std::string_view untranslated(Untranslated id) {
    return detail::kUntranslatedTexts[static_cast<std::size_t>(id)];
}

} // namespace konfigor
