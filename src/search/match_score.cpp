#include "search/match_score.h"

#include <cstddef>

namespace konfigor {
namespace {

struct Tally {
    std::size_t matches = 0;
    std::size_t comparisons = 0;

    void count(bool enabled, bool equal) {
        if (!enabled)
            return;
        ++comparisons;
        if (equal)
            ++matches;
    }
};

void compareChannel(const ChannelEntry& sheet, const ChannelEntry& file,
                    const SearchCriteria& criteria, Tally& tally) {
    // Descriptions compare as texts: whatever follows the terminator does not count.
    tally.count(criteria.channelDescriptions, sheet.description.sameText(file.description));
    tally.count(criteria.channelTimes, sheet.time == file.time);
}

void compareSlot(const RemoteEntry& sheet, const RemoteEntry& file, const SearchCriteria& criteria,
                 Tally& tally) {
    if (criteria.skipEmptySlots && sheet.isEmpty() && file.isEmpty())
        return;
    tally.count(criteria.remoteDescriptions, sheet.description.sameText(file.description));
    tally.count(criteria.serialWords, sheet.serialWord == file.serialWord);
    tally.count(criteria.codeCounters, sheet.codeCounter == file.codeCounter);
    tally.count(criteria.buttonMasks, sheet.buttonMasks == file.buttonMasks);
    tally.count(criteria.copyLocks, sheet.copyLock == file.copyLock);
}

} // namespace

double matchScore(const SettingsSheet& sheet, const RemoteSlots& fileRemotes,
                  const Channels& fileChannels, const SearchCriteria& criteria) {
    Tally tally;
    for (std::size_t channel = 0; channel < kChannelCount; ++channel)
        compareChannel(sheet.channels[channel], fileChannels[channel], criteria, tally);
    for (std::size_t slot = 0; slot < kRemoteSlotCount; ++slot)
        compareSlot(sheet.remotes[slot], fileRemotes[slot], criteria, tally);
    if (tally.comparisons == 0)
        return 0.0;
    return static_cast<double>(tally.matches) / static_cast<double>(tally.comparisons) * 100.0;
}

} // namespace konfigor
