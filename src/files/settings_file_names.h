#pragma once

#include <ctime>
#include <filesystem>
#include <string>

namespace konfigor {

// The name offered when saving a sheet that has no file yet, from the local date and time:
// "2018-09-17_08_05_03.kvr".
std::string defaultSettingsFileName(const std::tm& localTime);

// Saving with the settings-file filter appends ".kvr" unless the name already ends in it, in
// any letter case; with the all-files filter the name is kept as typed.
std::filesystem::path withSettingsFileExtension(const std::filesystem::path& path,
                                                bool settingsFilterChosen);

} // namespace konfigor
