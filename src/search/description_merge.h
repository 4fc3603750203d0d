#pragma once

#include "sheet/settings_sheet.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace konfigor {

class TextTable;
class UserPrompts;

// The answers of the replace question (TReplaceForm). None: closed without a button.
enum class ReplaceAnswer { None, Yes, YesToAll, No, NoToAll };

// The replace question with its four buttons "Tak", "Tak, wszystkie", "Nie", "Nie, wszystkie",
// "Nie" focused when it opens.
class ReplaceQuestion {
public:
    virtual ~ReplaceQuestion() = default;

    virtual ReplaceAnswer askReplace(const std::string& question) = 0;
};

// Takes a chosen settings file into the sheet: the channels, then the remotes. Entries that
// agree take the file's descriptions silently; differing ones are taken only when the user
// says so. Each phase has its own "to all" answer. A slot keeps the sheet's code counter
// whatever happens to it: the receiver's counter is newer than any file's.
class DescriptionMerge {
public:
    DescriptionMerge(const TextTable& texts, UserPrompts& prompts, ReplaceQuestion& question)
        : texts_(texts), prompts_(prompts), question_(question) {}

    void merge(SettingsSheet& sheet, const RemoteSlots& fileRemotes, const Channels& fileChannels);

    void mergeChannels(Channels& sheet, const Channels& file);
    void mergeRemotes(RemoteSlots& sheet, const RemoteSlots& file);

private:
    // Yes or No to one entry; sets `endPhase` for No to all and remembers Yes to all.
    bool askToReplace(const std::string& question, ReplaceAnswer& answerSoFar, bool& endPhase);
    std::string channelQuestion(std::size_t channel, const ChannelEntry& sheet,
                                const ChannelEntry& file) const;
    std::string remoteQuestion(std::size_t slot, const RemoteEntry& sheet,
                               const RemoteEntry& file) const;
    std::string buttonChannels(std::uint16_t mask) const;
    void warnDuplicate(std::size_t slot);

    const TextTable& texts_;
    UserPrompts& prompts_;
    ReplaceQuestion& question_;
};

} // namespace konfigor
