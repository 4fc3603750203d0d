#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string_view>

namespace konfigor {

// Texts the program shows that have no line in a language file's fixed order: captions of
// controls that order does not list, and messages of features it does not know. A language
// file may give them after its fixed lines, each as "key|text"; without them the built-in text
// stays. Message texts are read through TextTable; control captions are set by their window's
// control texts, again whenever the language changes.
enum class Keyed : std::size_t {
    // Controls.
    MenuCheckUpdates,
    ChannelDescriptionGroup,
    ChannelTimeGroup,
    RemotePositionGroup,
    RemoteSerialGroup,
    RemoteCopyLockGroup,
    RemoteMultiCaption,
    ScanChannelOptionsGroup,
    ScanRemoteOptionsGroup,
    ScanExtraOptionsGroup,
    AvailableFoldersTitle,
    ChosenFoldersTitle,
    AddFolderButton,
    RemoveFolderButton,
    ReportSavePdf, // also the title of the PDF file dialog
    OptionsAutomationGroup,
    OptionsEventsGroup,
    OptionsPrintGroup,
    OptionsRegistrationCaption,
    OptionsEventCountLabel,
    OptionsFontLabel,
    OptionsFontSizeLabel,
    AboutCaption,
    AboutReceivers,
    // Messages.
    ChannelTimeTooLong,            // a relay time above what the receiver's 16 bits hold
    ChannelDescriptionNotStorable, // characters the sheet's code page has no byte for
    DemoPortName,                  // the demo mode's software receiver in the port list
    SearchDialogOkButton,          // where the fixed order leaves the search windows' buttons empty
    SearchDialogCancelButton,
    ScanProgressLabel, // files read, files found
    ScanSkippedText,   // how many could not be read
    ScanSkippedFolder, // folder, the system's text
    ReportPdfFilter,
    ReportPdfNotWritten,
    Count
};

struct KeyedLine {
    Keyed id;
    // What a language file writes before the "|".
    std::string_view key;
    // For a control's caption, its window class and objectName (empty for the window's own
    // caption); both empty for a message.
    std::string_view windowClass;
    std::string_view control;
    std::string_view builtIn;
};

std::span<const KeyedLine> keyedLines();
const KeyedLine& keyedLine(Keyed id);
std::optional<Keyed> keyedByKey(std::string_view key);

// The longest keyed text, in characters, that a language file may give.
inline constexpr std::size_t kKeyedTextCapacity = 255;

} // namespace konfigor
