#pragma once

#include "texts/keyed_texts.h"
#include "texts/message_format.h"
#include "texts/text_lines.h"

#include <array>
#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>

namespace konfigor {

// The texts the program shows now: the built-in Polish ones until a language file replaces
// them, one by one, through replace() and setControlText().
class TextTable {
public:
    TextTable();

    const std::string& text(Msg id) const;
    std::string_view builtIn(Msg id) const;

    // Takes a translation cut to the message's capacity in characters. Refuses it, keeping the
    // current text, when its placeholders differ from the built-in text's (the code passes the
    // arguments the built-in text asks for), also when only the cut made them differ.
    bool replace(Msg id, std::string_view candidate);

    // The current text filled with `args`. Should it not fit them, the built-in text is used, and
    // failing that the current text unformatted: a wrong text never stops the program.
    std::string format(Msg id, std::initializer_list<FormatArg> args) const;

    template <class... Args>
    std::string format(Msg id, const Args&... args) const {
        return format(id, {FormatArg(args)...});
    }

    // The texts a language file gives by key, with the same checks as messages.
    const std::string& text(Keyed id) const;
    bool replace(Keyed id, std::string_view candidate);
    std::string format(Keyed id, std::initializer_list<FormatArg> args) const;

    template <class... Args>
    std::string format(Keyed id, const Args&... args) const {
        return format(id, {FormatArg(args)...});
    }

    // Control texts by their index in controlLines().
    const std::string& controlText(std::size_t controlIndex) const;
    void setControlText(std::size_t controlIndex, std::string_view text);

    void resetToBuiltIn();

private:
    std::array<std::string, kMessageLineCount> messages_;
    std::array<std::string, kControlLineCount> controls_;
    std::array<std::string, static_cast<std::size_t>(Keyed::Count)> keyed_;
};

} // namespace konfigor
