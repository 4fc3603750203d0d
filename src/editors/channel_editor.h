#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace konfigor {

class HistoryCommands;
class SaveState;
class SheetSession;
class SheetSurface;
class TextTable;
class UserPrompts;
struct SettingsSheet;

// The field lengths of the channel dialog, in characters.
inline constexpr int kChannelDescriptionMaxLength = 200;
inline constexpr int kChannelTimeMaxLength = 6;

// The time in seconds, shortest form: 5 gives "0,5" with ',', 120 gives "12", 0 gives "0".
std::string formatChannelTime(std::uint16_t tenths, char decimalSeparator);

struct ParsedChannelTime {
    enum class Status { Ok, Unreadable, TooLong };
    Status status = Status::Unreadable;
    std::uint16_t tenths = 0;
};

// Digits with at most one separator, rounded half up to the tenth. Anything else is unreadable;
// a time that rounds to more than the receiver's 6553.5 s is too long.
ParsedChannelTime parseChannelTime(std::string_view text, char decimalSeparator);

// Whether the time field takes a typed character: digits, backspace ('\b'), and the separator
// while the text does not hold one yet.
bool acceptsTimeCharacter(std::string_view currentText, char32_t typed, char decimalSeparator);

// Whether the sheet's code page holds every character of the UTF-8 text, so that storing it
// changes nothing.
bool fitsSheetCodePage(std::string_view utf8);

// What the channel dialog shows; the dialog hands the same back on OK. Texts are UTF-8.
struct ChannelForm {
    std::string heading;
    std::string description;
    std::string time;
    bool transientMode = false;
    bool doublePress = false;
};

// Edits one of the receiver's four channels: the sheet, the link's image of the receiver's
// configuration and, with automatic writing, the receiver itself. Channels are 0-3.
class ChannelEditor {
public:
    struct Services {
        SettingsSheet& sheet;
        HistoryCommands& history;
        SaveState& saveState;
        SheetSession& session;
        UserPrompts& prompts;
        SheetSurface& surface;
        const TextTable& texts;
    };

    explicit ChannelEditor(Services services) : s_(services) {}

    // Not while the receiver link waits for an operation's answer.
    bool canOpen() const;
    ChannelForm open(std::size_t channel, char decimalSeparator) const;
    // OK pressed: false keeps the dialog open, the user has been told why and nothing changed.
    bool accept(std::size_t channel, const ChannelForm& form, char decimalSeparator);

private:
    bool refuse(std::string_view text);
    void copyChannelsToImage();

    Services s_;
};

} // namespace konfigor
