#include "texts/keyed_texts.h"

#include <algorithm>
#include <array>

namespace konfigor {
namespace {

constexpr std::size_t kCount = static_cast<std::size_t>(Keyed::Count);

// In the order of Keyed, which the checks below hold to.
constexpr std::array<KeyedLine, kCount> kLines{{
    {Keyed::MenuCheckUpdates, "TMainForm.MainMenuUpdate", "TMainForm", "MainMenuUpdate",
     "Sprawdź aktualizacje"},
    {Keyed::ChannelDescriptionGroup, "TEditChannelForm.GroupBoxDescription", "TEditChannelForm",
     "GroupBoxDescription", "Opis kanału"},
    {Keyed::ChannelTimeGroup, "TEditChannelForm.GroupBoxTime", "TEditChannelForm", "GroupBoxTime",
     "Czas działania przekaźnika (dokładność 0,1 sek.)"},
    {Keyed::RemotePositionGroup, "TEditRemoteForm.GroupPosition", "TEditRemoteForm",
     "GroupPosition", "Numer porządkowy pilota"},
    {Keyed::RemoteSerialGroup, "TEditRemoteForm.GroupSerial", "TEditRemoteForm", "GroupSerial",
     "Numer seryjny"},
    {Keyed::RemoteCopyLockGroup, "TEditRemoteForm.GroupCopyLock", "TEditRemoteForm",
     "GroupCopyLock", "Blokada kopiow"},
    {Keyed::RemoteMultiCaption, "TEditRemoteForm.CheckBoxMulti", "TEditRemoteForm", "CheckBoxMulti",
     "Multi"},
    {Keyed::ScanChannelOptionsGroup, "TScanSettingsForm.GroupBoxChannels", "TScanSettingsForm",
     "GroupBoxChannels", "Opcje skanowania kanałów"},
    {Keyed::ScanRemoteOptionsGroup, "TScanSettingsForm.GroupBoxRemotes", "TScanSettingsForm",
     "GroupBoxRemotes", "Opcje skanowania pilotów"},
    {Keyed::ScanExtraOptionsGroup, "TScanSettingsForm.GroupBoxExtra", "TScanSettingsForm",
     "GroupBoxExtra", "Dodatkowe opcje"},
    {Keyed::AvailableFoldersTitle, "TFileBrowserForm.LabelTree", "TFileBrowserForm", "LabelTree",
     "Dostępne katalogi"},
    {Keyed::ChosenFoldersTitle, "TFileBrowserForm.LabelList", "TFileBrowserForm", "LabelList",
     "Wybrane katalogi"},
    {Keyed::AddFolderButton, "TFileBrowserForm.ButtonAdd", "TFileBrowserForm", "ButtonAdd",
     "&Dodaj >>"},
    {Keyed::RemoveFolderButton, "TFileBrowserForm.ButtonDel", "TFileBrowserForm", "ButtonDel",
     "<< &Usuń"},
    {Keyed::ReportSavePdf, "TRaportForm.ToolButtonSavePdf", "TRaportForm", "ToolButtonSavePdf",
     "Zapisz PDF"},
    {Keyed::OptionsAutomationGroup, "TOptionsForm.GroupBoxAutomation", "TOptionsForm",
     "GroupBoxAutomation", "Automatyzacja"},
    {Keyed::OptionsEventsGroup, "TOptionsForm.GroupBoxEvents", "TOptionsForm", "GroupBoxEvents",
     "Zdarzenia"},
    {Keyed::OptionsPrintGroup, "TOptionsForm.GroupBoxPrinting", "TOptionsForm", "GroupBoxPrinting",
     "Opcje drukowania"},
    {Keyed::OptionsRegistrationCaption, "TOptionsForm.CheckBoxZapisywanieZdarzen", "TOptionsForm",
     "CheckBoxZapisywanieZdarzen", "Zapisuj zdarzenia do pliku"},
    {Keyed::OptionsEventCountLabel, "TOptionsForm.LabelIloscZdarzen", "TOptionsForm",
     "LabelIloscZdarzen", "Maksymalna ilość zdarzeń"},
    {Keyed::OptionsFontLabel, "TOptionsForm.LabelPrintFont", "TOptionsForm", "LabelPrintFont",
     "Czcionka"},
    {Keyed::OptionsFontSizeLabel, "TOptionsForm.LabelPrintFontSize", "TOptionsForm",
     "LabelPrintFontSize", "Rozmiar"},
    {Keyed::AboutCaption, "TAboutForm", "TAboutForm", "", "O programie"},
    {Keyed::AboutReceivers, "TAboutForm.LabelReceivers", "TAboutForm", "LabelReceivers",
     "Program do konfiguracji odbiorników radiowych KVR ZOR przez interfejs USB."},
    {Keyed::ChannelTimeTooLong, "ChannelTimeTooLong", "", "",
     "Czas działania przekaźnika nie może przekraczać 6553,5 sek."},
    {Keyed::ChannelDescriptionNotStorable, "ChannelDescriptionNotStorable", "", "",
     "Opis kanału zawiera znaki, których nie można zapisać w arkuszu."},
    {Keyed::DemoPortName, "DemoPortName", "", "", "Symulowany odbiornik ZOR (demo)"},
    {Keyed::SearchDialogOkButton, "SearchDialogOkButton", "", "", "&OK"},
    {Keyed::SearchDialogCancelButton, "SearchDialogCancelButton", "", "", "&Anuluj"},
    {Keyed::ScanProgressLabel, "ScanProgressLabel", "", "",
     "Sprawdzono plików: %u z %u znalezionych"},
    {Keyed::ScanSkippedText, "ScanSkippedText", "", "",
     "Nie udało się odczytać plików lub katalogów: %u. Zostały pominięte."},
    {Keyed::ScanSkippedFolder, "ScanSkippedFolder", "", "", "Katalog %s: %s"},
    {Keyed::ReportPdfFilter, "ReportPdfFilter", "", "", "Dokument PDF (*.pdf)"},
    {Keyed::ReportPdfNotWritten, "ReportPdfNotWritten", "", "", "Nie udało się zapisać pliku PDF."},
}};

constexpr bool inOrder() {
    for (std::size_t i = 0; i < kLines.size(); ++i)
        if (static_cast<std::size_t>(kLines[i].id) != i)
            return false;
    return true;
}
static_assert(inOrder(), "keyed lines follow the order of Keyed");

} // namespace

std::span<const KeyedLine> keyedLines() {
    return kLines;
}

const KeyedLine& keyedLine(Keyed id) {
    return kLines[static_cast<std::size_t>(id)];
}

std::optional<Keyed> keyedByKey(std::string_view key) {
    const auto found =
        std::ranges::find(kLines, key, [](const KeyedLine& line) { return line.key; });
    if (found == kLines.end())
        return std::nullopt;
    return found->id;
}

} // namespace konfigor
