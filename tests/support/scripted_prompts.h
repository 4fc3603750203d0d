#pragma once

#include "common/user_prompts.h"

#include <deque>
#include <stdexcept>
#include <vector>

#include <gtest/gtest.h>

namespace konfigor::testing_support {

// Answers prompts from a script and records every one, so a test reads like the behaviour it
// checks: "asks X, answered No, nothing changed". A prompt with no answer scripted fails the
// test (an OK-only message is answered Ok without a script).
class ScriptedPrompts final : public UserPrompts {
public:
    ScriptedPrompts& answer(PromptAnswer next) {
        script_.push_back(next);
        return *this;
    }

    PromptAnswer ask(const Prompt& prompt) override {
        asked_.push_back(prompt);
        if (prompt.buttons == PromptButtons::Ok &&
            (script_.empty() || script_.front() != PromptAnswer::Ok))
            return PromptAnswer::Ok;
        if (script_.empty()) {
            ADD_FAILURE() << "unexpected prompt: " << prompt.text;
            return prompt.defaultAnswer;
        }
        const PromptAnswer next = script_.front();
        script_.pop_front();
        return next;
    }

    const std::vector<Prompt>& asked() const { return asked_; }
    bool allAnswersUsed() const { return script_.empty(); }

private:
    std::deque<PromptAnswer> script_;
    std::vector<Prompt> asked_;
};

} // namespace konfigor::testing_support
