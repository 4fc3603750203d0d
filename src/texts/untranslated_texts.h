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
    HistorySwapName,           // the one history name no language file replaces
    DialogTitle,               // caption of the dialogs' message boxes
    ConnectedWithVersion,      // "Połączony z ZOR", "wersja odbiornika", major, minor
    ConnectedWithVersionMulti, // the same for a multi receiver
    DemoPortName,              // the demo mode's software receiver in the port list
    WarningOkButton,           // the warning window has no language-file lines

    // A relay time above what the receiver's 16 bits hold.
    ChannelTimeTooLong,
    // Characters the sheet's code page has no byte for.
    ChannelDescriptionNotStorable,
    // The channel editor's groups have no language-file lines.
    ChannelDescriptionGroup,
    ChannelTimeGroup,
    RemotePositionGroup, // the remote editor's groups have no language-file lines
    RemoteSerialGroup,
    RemoteCopyLockGroup,
    RemoteMultiCaption,
    // The description search's windows: texts with no language-file lines.
    ScanChannelOptionsGroup,
    ScanRemoteOptionsGroup,
    ScanExtraOptionsGroup,
    SearchDialogOkButton,
    SearchDialogCancelButton,
    AvailableFoldersTitle,
    ChosenFoldersTitle,
    AddFolderButton,
    RemoveFolderButton,
    ScanProgressLabel, // files read, files found
    ScanSkippedText,   // how many could not be read
    ScanSkippedFolder, // folder, the system's text
    // The report window's PDF export has no language-file lines.
    ReportSavePdf,
    ReportPdfFilter,
    ReportPdfNotWritten,
    // The options dialog's groups and the labels without language-file lines.
    OptionsAutomationGroup,
    OptionsEventsGroup,
    OptionsPrintGroup,
    OptionsRegistrationCaption,
    OptionsEventCountLabel,
    OptionsFontLabel,
    OptionsFontSizeLabel,
    // The About window has no language-file lines.
    AboutCaption,
    AboutVersion, // the four version numbers
    AboutReceivers,
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
        "Konfigor",
        "%s (%s %i.%i)",
        "%s (%s %i.%i MULTI)",
        "Symulowany odbiornik ZOR (demo)",
        "&OK",
        "Czas działania przekaźnika nie może przekraczać 6553,5 sek.",
        "Opis kanału zawiera znaki, których nie można zapisać w arkuszu.",
        "Opis kanału",
        "Czas działania przekaźnika (dokładność 0,1 sek.)",
        "Numer porządkowy pilota",
        "Numer seryjny",
        "Blokada kopiow",
        "Multi",
        "Opcje skanowania kanałów",
        "Opcje skanowania pilotów",
        "Dodatkowe opcje",
        "&OK",
        "&Anuluj",
        "Dostępne katalogi",
        "Wybrane katalogi",
        "&Dodaj >>",
        "<< &Usuń",
        "Sprawdzono plików: %u z %u znalezionych",
        "Nie udało się odczytać plików lub katalogów: %u. Zostały pominięte.",
        "Katalog %s: %s",
        "Zapisz PDF",
        "Dokument PDF (*.pdf)",
        "Nie udało się zapisać pliku PDF.",
        "Automatyzacja",
        "Zdarzenia",
        "Opcje drukowania",
        "Zapisuj zdarzenia do pliku",
        "Maksymalna ilość zdarzeń",
        "Czcionka",
        "Rozmiar",
        "O programie",
        " ver. %u.%u.%u.%u ",
        "Program do konfiguracji odbiorników radiowych KVR ZOR przez interfejs USB.",
    };
} // namespace detail

constexpr std::string_view untranslated(Untranslated id) {
    return detail::kUntranslatedTexts[static_cast<std::size_t>(id)];
}

} // namespace konfigor
