#pragma once

#include "search/search_criteria.h"
#include "sheet/settings_sheet.h"

namespace konfigor {

// How well a settings file's remotes and channels match the sheet under the criteria, in per
// cent: each criterion switched on counts one comparison per channel or compared slot, and one
// match where the field is equal. Nothing to compare gives 0.
double matchScore(const SettingsSheet& sheet, const RemoteSlots& fileRemotes,
                  const Channels& fileChannels, const SearchCriteria& criteria);

} // namespace konfigor
