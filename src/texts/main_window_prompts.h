#pragma once

#include "common/user_prompts.h"
#include "texts/text_lines.h"

#include <string>

namespace konfigor {

class TextTable;

// An error message box of the main window, titled "Konfigor USB".
void showMainWindowError(UserPrompts& prompts, const std::string& text);
void showMainWindowError(UserPrompts& prompts, const TextTable& texts, Msg message);

// A Yes/No question of the main window, No the default unless said; true for Yes.
bool askMainWindowYesNo(UserPrompts& prompts, const std::string& text,
                        PromptAnswer defaultAnswer = PromptAnswer::No);

} // namespace konfigor
