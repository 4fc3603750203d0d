#include "texts/main_window_prompts.h"

#include "texts/text_table.h"
#include "texts/untranslated_texts.h"

namespace konfigor {
namespace {

std::string mainTitle() {
    return std::string(untranslated(Untranslated::ProgramTitle));
}

} // namespace

void showMainWindowError(UserPrompts& prompts, const std::string& text) {
    prompts.ask({.caption = mainTitle(), .text = text, .icon = PromptIcon::Error});
}

void showMainWindowError(UserPrompts& prompts, const TextTable& texts, Msg message) {
    showMainWindowError(prompts, texts.text(message));
}

bool askMainWindowYesNo(UserPrompts& prompts, const std::string& text, PromptAnswer defaultAnswer) {
    return prompts.ask({.caption = mainTitle(),
                        .text = text,
                        .buttons = PromptButtons::YesNo,
                        .defaultAnswer = defaultAnswer,
                        .icon = PromptIcon::Question}) == PromptAnswer::Yes;
}

} // namespace konfigor
