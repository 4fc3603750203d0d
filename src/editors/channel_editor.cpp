#include "editors/channel_editor.h"

#include "common/codepage1250.h"
#include "common/user_prompts.h"
#include "link/receiver_image.h"
#include "sheet/history_change.h"
#include "sheet/history_commands.h"
#include "sheet/save_state.h"
#include "sheet/settings_sheet.h"
#include "sheet/sheet_session.h"
#include "sheet/sheet_surface.h"
#include "texts/text_table.h"

#include <charconv>
#include <limits>
#include <optional>
#include <string>
#include <system_error>

namespace konfigor {
namespace {

constexpr double kRoundingAddend = 0.050001;
// One past the largest count of tenths the receiver's 16 bits hold.
constexpr double kTenthsLimit = std::numeric_limits<std::uint16_t>::max() + 1.0;

bool isDigit(char32_t c) {
    return c >= U'0' && c <= U'9';
}

// The text with a point for the separator, or nothing when it is no plain decimal number.
std::optional<std::string> pointedDecimal(std::string_view text, char decimalSeparator) {
    std::string pointed;
    bool separatorSeen = false;
    bool digitSeen = false;
    for (const char c : text) {
        if (c == decimalSeparator && !separatorSeen) {
            separatorSeen = true;
            pointed += '.';
        } else if (isDigit(static_cast<unsigned char>(c))) {
            digitSeen = true;
            pointed += c;
        } else {
            return std::nullopt;
        }
    }
    if (!digitSeen)
        return std::nullopt;
    return pointed;
}

} // namespace

std::string formatChannelTime(std::uint16_t tenths, char decimalSeparator) {
    std::string text = std::to_string(tenths / 10);
    if (const int fraction = tenths % 10; fraction != 0) {
        text += decimalSeparator;
        text += static_cast<char>('0' + fraction);
    }
    return text;
}

ParsedChannelTime parseChannelTime(std::string_view text, char decimalSeparator) {
    using Status = ParsedChannelTime::Status;
    const auto pointed = pointedDecimal(text, decimalSeparator);
    if (!pointed)
        return {.status = Status::Unreadable};
    double seconds = 0.0;
    const char* end = pointed->data() + pointed->size();
    const auto [stop, error] = std::from_chars(pointed->data(), end, seconds);
    if (error == std::errc::result_out_of_range)
        return {.status = Status::TooLong};
    if (error != std::errc() || stop != end)
        return {.status = Status::Unreadable};
    // Half up to the tenth, with the receiver's own small push past the half.
    const double tenths = (seconds + kRoundingAddend) * 10.0;
    if (tenths >= kTenthsLimit)
        return {.status = Status::TooLong};
    return {.status = Status::Ok, .tenths = static_cast<std::uint16_t>(tenths)};
}

bool acceptsTimeCharacter(std::string_view currentText, char32_t typed, char decimalSeparator) {
    if (typed == U'\b' || isDigit(typed))
        return true;
    return typed == static_cast<unsigned char>(decimalSeparator) &&
           currentText.find(decimalSeparator) == std::string_view::npos;
}

bool fitsSheetCodePage(std::string_view utf8) {
    // A character without a byte, and malformed UTF-8, come back as '?'.
    return cp1250::toUtf8(cp1250::fromUtf8(utf8)) == utf8;
}

bool ChannelEditor::canOpen() const {
    return !s_.session.isOperationPending();
}

ChannelForm ChannelEditor::open(std::size_t channel, char decimalSeparator) const {
    const ChannelEntry& entry = s_.sheet.channels.at(channel);
    return {.heading = s_.texts.format(Msg::ChannelEditorHeading, static_cast<int>(channel + 1)),
            .description = entry.description.toUtf8(),
            .time = formatChannelTime(entry.time, decimalSeparator),
            .transientMode = entry.transientMode,
            .doublePress = entry.doublePress};
}

bool ChannelEditor::accept(std::size_t channel, const ChannelForm& form, char decimalSeparator) {
    ChannelEntry& entry = s_.sheet.channels.at(channel);
    const ParsedChannelTime time = parseChannelTime(form.time, decimalSeparator);
    switch (time.status) {
    case ParsedChannelTime::Status::Unreadable:
        return refuse(s_.texts.text(Msg::ChannelTimeInvalid));
    case ParsedChannelTime::Status::TooLong:
        return refuse(s_.texts.text(Keyed::ChannelTimeTooLong));
    case ParsedChannelTime::Status::Ok:
        break;
    }
    // The dialog refuses such characters as they are typed; a '?' in their place would be a
    // change nobody asked for.
    if (!fitsSheetCodePage(form.description))
        return refuse(s_.texts.text(Keyed::ChannelDescriptionNotStorable));

    const std::string description = cp1250::fromUtf8(form.description);
    entry.description.assign(
        std::string_view(description)
            .substr(0, static_cast<std::size_t>(kChannelDescriptionMaxLength)));
    entry.time = time.tenths;
    entry.transientMode = form.transientMode;
    entry.doublePress = form.doublePress;

    copyChannelsToImage();
    s_.history.recordChange(
        HistoryKind::ChannelEdit,
        ChannelEdit{.channel = static_cast<std::uint8_t>(channel), .entry = entry});
    // The session reports a request it could not send; the new values stay either way.
    if (s_.session.isAutosaveActive())
        s_.session.writeChannelSettings();
    // Refreshes the save-state texts as well, after the write request when there was one.
    s_.saveState.apply(SaveEvent::ChannelEdited);
    s_.surface.repaintGrids();
    return true;
}

bool ChannelEditor::refuse(std::string_view text) {
    s_.prompts.ask({.caption = s_.texts.text(Msg::ChannelTimeInvalidTitle),
                    .text = std::string(text),
                    .buttons = PromptButtons::Ok,
                    .icon = PromptIcon::None});
    return false;
}

// The receiver keeps all four channels in one configuration page, written whole.
void ChannelEditor::copyChannelsToImage() {
    s_.session.image().update([this](ReceiverMemory& memory) {
        for (std::size_t channel = 0; channel < kChannelCount; ++channel) {
            const ChannelEntry& entry = s_.sheet.channels[channel];
            memory.setChannelTime(channel, entry.time);
            memory.setChannelMomentary(channel, entry.transientMode);
            memory.setChannelDoublePress(channel, entry.doublePress);
        }
    });
}

} // namespace konfigor
