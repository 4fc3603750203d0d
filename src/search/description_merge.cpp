#include "search/description_merge.h"

#include "common/user_prompts.h"
#include "texts/text_table.h"
#include "texts/untranslated_texts.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace konfigor {
namespace {

double seconds(std::uint16_t tenths) {
    return static_cast<double>(tenths) / 10.0;
}

bool sameRemote(const RemoteEntry& a, const RemoteEntry& b) {
    return a.serialWord == b.serialWord && a.buttonMasks == b.buttonMasks &&
           a.copyLock == b.copyLock;
}

// The file's slot in the sheet's place; the counter stays, and files hold no marks.
void takeFromFile(RemoteEntry& sheet, const RemoteEntry& file) {
    const std::uint16_t counter = sheet.codeCounter;
    sheet = file;
    sheet.codeCounter = counter;
    sheet.marked = false;
}

// Held by one of the slots before `slot`, which are already merged.
bool heldBefore(const RemoteSlots& sheet, std::size_t slot, std::uint32_t serialWord) {
    const auto end = sheet.begin() + static_cast<std::ptrdiff_t>(slot);
    return std::any_of(sheet.begin(), end,
                       [&](const RemoteEntry& remote) { return remote.serialWord == serialWord; });
}

} // namespace

void DescriptionMerge::merge(SettingsSheet& sheet, const RemoteSlots& fileRemotes,
                             const Channels& fileChannels) {
    mergeChannels(sheet.channels, fileChannels);
    mergeRemotes(sheet.remotes, fileRemotes);
}

void DescriptionMerge::mergeChannels(Channels& sheet, const Channels& file) {
    ReplaceAnswer answer = ReplaceAnswer::None;
    for (std::size_t channel = 0; channel < sheet.size(); ++channel) {
        bool endPhase = false;
        if (sheet[channel].time == file[channel].time ||
            askToReplace(channelQuestion(channel, sheet[channel], file[channel]), answer, endPhase))
            sheet[channel] = file[channel];
        if (endPhase)
            return;
    }
}

void DescriptionMerge::mergeRemotes(RemoteSlots& sheet, const RemoteSlots& file) {
    ReplaceAnswer answer = ReplaceAnswer::None;
    for (std::size_t slot = 0; slot < sheet.size(); ++slot) {
        const RemoteEntry& fromFile = file[slot];
        if (sheet[slot].isEmpty() && fromFile.isEmpty())
            continue;
        if (sameRemote(sheet[slot], fromFile)) {
            takeFromFile(sheet[slot], fromFile);
            continue;
        }
        if (!fromFile.isEmpty() && heldBefore(sheet, slot, fromFile.serialWord)) {
            warnDuplicate(slot);
            continue;
        }
        bool endPhase = false;
        if (askToReplace(remoteQuestion(slot, sheet[slot], fromFile), answer, endPhase))
            takeFromFile(sheet[slot], fromFile);
        if (endPhase)
            return;
    }
}

bool DescriptionMerge::askToReplace(const std::string& question, ReplaceAnswer& answerSoFar,
                                    bool& endPhase) {
    if (answerSoFar == ReplaceAnswer::YesToAll)
        return true;
    answerSoFar = question_.askReplace(question);
    switch (answerSoFar) {
    case ReplaceAnswer::Yes:
    case ReplaceAnswer::YesToAll:
        return true;
    case ReplaceAnswer::NoToAll:
        endPhase = true;
        return false;
    case ReplaceAnswer::None:
    case ReplaceAnswer::No:
        break;
    }
    return false;
}

std::string DescriptionMerge::channelQuestion(std::size_t channel, const ChannelEntry& sheet,
                                              const ChannelEntry& file) const {
    return texts_.format(Msg::ReplaceChannelQuestion, static_cast<int>(channel + 1),
                         seconds(sheet.time), seconds(file.time));
}

std::string DescriptionMerge::remoteQuestion(std::size_t slot, const RemoteEntry& sheet,
                                             const RemoteEntry& file) const {
    // The serial word as a signed number of all 32 bits, as the question has always shown it.
    const auto serial = [](const RemoteEntry& remote) {
        return static_cast<int>(static_cast<std::int32_t>(remote.serialWord));
    };
    const auto lock = [&](const RemoteEntry& remote, Msg yes, Msg no) {
        return texts_.text(remote.copyLock ? yes : no);
    };
    const std::string sheetLock = lock(sheet, Msg::SheetCopyLockYes, Msg::SheetCopyLockNo);
    const std::string fileLock = lock(file, Msg::FileCopyLockYes, Msg::FileCopyLockNo);
    std::array<std::string, kButtonCount> sheetButtons;
    std::array<std::string, kButtonCount> fileButtons;
    for (std::size_t button = 0; button < kButtonCount; ++button) {
        sheetButtons[button] = buttonChannels(sheet.buttonMasks[button]);
        fileButtons[button] = buttonChannels(file.buttonMasks[button]);
    }
    return texts_.format(Msg::ReplaceRemoteQuestion,
                         {static_cast<int>(slot + 1), serial(sheet), sheetLock, sheetButtons[0],
                          sheetButtons[1], sheetButtons[2], sheetButtons[3], serial(file), fileLock,
                          fileButtons[0], fileButtons[1], fileButtons[2], fileButtons[3]});
}

// "K1 K3 " for a button on channels 1 and 3; empty for one on none.
std::string DescriptionMerge::buttonChannels(std::uint16_t mask) const {
    std::string text;
    for (std::size_t channel = 0; channel < kChannelCount; ++channel) {
        if ((mask & (1u << channel)) != 0)
            text += texts_.format(Msg::ReplaceQuestionChannelItem, static_cast<int>(channel + 1));
    }
    return text;
}

void DescriptionMerge::warnDuplicate(std::size_t slot) {
    prompts_.ask({.caption = std::string(untranslated(Untranslated::ProgramTitle)),
                  .text = texts_.format(Msg::SkippingDuplicateRemote, static_cast<int>(slot + 1)),
                  .buttons = PromptButtons::Ok,
                  .defaultAnswer = PromptAnswer::Ok,
                  .icon = PromptIcon::Warning});
}

} // namespace konfigor
