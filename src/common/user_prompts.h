#pragma once

#include <string>

namespace konfigor {

// The user as the logic sees them: logic never opens a message box itself, it asks through
// this interface. The Qt layer shows real message boxes; tests answer from a script.
enum class PromptButtons { Ok, YesNo, YesNoCancel };
enum class PromptAnswer { Ok, Yes, No, Cancel };
// None: a plain message box without an icon, as some of the program's messages are.
enum class PromptIcon { Information, Warning, Error, Question, None };

struct Prompt {
    std::string caption;
    std::string text; // UTF-8
    PromptButtons buttons = PromptButtons::Ok;
    PromptAnswer defaultAnswer = PromptAnswer::Ok;
    PromptIcon icon = PromptIcon::Information;

    friend bool operator==(const Prompt&, const Prompt&) = default;
};

class UserPrompts {
public:
    virtual ~UserPrompts() = default;

    // Shows the prompt and waits for the answer. A message with only an OK button is answered
    // with Ok; closing a box answers Cancel where there is one, else No, as message boxes do.
    virtual PromptAnswer ask(const Prompt& prompt) = 0;
};

} // namespace konfigor
