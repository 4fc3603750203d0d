#include "texts/text_table.h"

#include "common/utf8.h"

#include <cassert>
#include <optional>
#include <utility>

namespace konfigor {
namespace {

// The translation as it is kept, cut to `capacity` characters; nothing when its placeholders
// differ from the built-in text's, also when only the cut made them differ (the cut may fall
// inside a placeholder, "%5.1" of "%5.1f", or drop one).
std::optional<std::string_view> accepted(std::string_view candidate, std::string_view builtIn,
                                         std::size_t capacity) {
    if (!placeholdersMatch(candidate, builtIn))
        return std::nullopt;
    const std::string_view kept = utf8::first(candidate, capacity);
    if (kept.size() != candidate.size() && !placeholdersMatch(kept, builtIn))
        return std::nullopt;
    return kept;
}

// The current text filled with `args`; should it not fit them, the built-in text, and failing
// that the current text unformatted.
std::string formatted(const std::string& current, std::string_view builtIn,
                      std::initializer_list<FormatArg> args) {
    if (std::optional<std::string> text = formatMessage(current, args))
        return *std::move(text);
    if (std::optional<std::string> text = formatMessage(builtIn, args))
        return *std::move(text);
    return current;
}

} // namespace

TextTable::TextTable() {
    resetToBuiltIn();
}

const std::string& TextTable::text(Msg id) const {
    return messages_[messageIndex(id)];
}

std::string_view TextTable::builtIn(Msg id) const {
    return messageLine(id).builtIn;
}

bool TextTable::replace(Msg id, std::string_view candidate) {
    const MessageLine& line = messageLine(id);
    const std::optional<std::string_view> kept = accepted(candidate, line.builtIn, line.capacity);
    if (kept)
        messages_[messageIndex(id)] = *kept;
    return kept.has_value();
}

std::string TextTable::format(Msg id, std::initializer_list<FormatArg> args) const {
    return formatted(text(id), builtIn(id), args);
}

const std::string& TextTable::text(Keyed id) const {
    return keyed_[static_cast<std::size_t>(id)];
}

bool TextTable::replace(Keyed id, std::string_view candidate) {
    const std::optional<std::string_view> kept =
        accepted(candidate, keyedLine(id).builtIn, kKeyedTextCapacity);
    if (kept)
        keyed_[static_cast<std::size_t>(id)] = *kept;
    return kept.has_value();
}

std::string TextTable::format(Keyed id, std::initializer_list<FormatArg> args) const {
    return formatted(text(id), keyedLine(id).builtIn, args);
}

const std::string& TextTable::controlText(std::size_t controlIndex) const {
    assert(controlIndex < controls_.size());
    return controls_[controlIndex];
}

void TextTable::setControlText(std::size_t controlIndex, std::string_view text) {
    assert(controlIndex < controls_.size());
    controls_[controlIndex] = text;
}

void TextTable::resetToBuiltIn() {
    const auto messages = messageLines();
    for (std::size_t i = 0; i < messages_.size(); ++i) {
        messages_[i] = messages[i].builtIn;
    }
    const auto controls = controlLines();
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        controls_[i] = controls[i].builtIn;
    }
    for (const KeyedLine& line : keyedLines())
        keyed_[static_cast<std::size_t>(line.id)] = line.builtIn;
}

} // namespace konfigor
