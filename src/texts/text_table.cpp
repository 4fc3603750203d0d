#include "texts/text_table.h"

#include "common/utf8.h"

#include <cassert>
#include <optional>
#include <utility>

namespace konfigor {

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
    if (!placeholdersMatch(candidate, line.builtIn)) {
        return false;
    }
    // The cut may fall inside a placeholder ("%5.1" of "%5.1f") or drop one: check again.
    const std::string_view kept = utf8::first(candidate, line.capacity);
    if (kept.size() != candidate.size() && !placeholdersMatch(kept, line.builtIn)) {
        return false;
    }
    messages_[messageIndex(id)] = kept;
    return true;
}

std::string TextTable::format(Msg id, std::initializer_list<FormatArg> args) const {
    if (std::optional<std::string> formatted = formatMessage(text(id), args)) {
        return *std::move(formatted);
    }
    if (std::optional<std::string> formatted = formatMessage(builtIn(id), args)) {
        return *std::move(formatted);
    }
    return text(id);
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
}

} // namespace konfigor
