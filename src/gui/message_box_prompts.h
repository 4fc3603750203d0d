#pragma once

#include "common/user_prompts.h"

class QWidget;

namespace konfigor {

// The logic's questions and messages as real message boxes over the main window.
class MessageBoxPrompts final : public UserPrompts {
public:
    explicit MessageBoxPrompts(QWidget* parent) : parent_(parent) {}

    PromptAnswer ask(const Prompt& prompt) override;

private:
    QWidget* parent_;
};

} // namespace konfigor
