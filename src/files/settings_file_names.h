#pragma once

#include <ctime>
#include <filesystem>
#include <string>
#include <string_view>

namespace konfigor {

// The name offered when saving a sheet that has no file yet, from the local date and time:
// "2018-09-17_08_05_03.kvr".
std::string defaultSettingsFileName(const std::tm& localTime);

// Saving with the settings-file filter appends ".kvr" unless the name already ends in it, in
// any letter case; with the all-files filter the name is kept as typed.
std::filesystem::path withSettingsFileExtension(const std::filesystem::path& path,
                                                bool settingsFilterChosen);

// What of a UTF-8 path fits the sheet's fixed file-name field: the whole path, or its longest
// beginning that ends on a character boundary.
std::string_view fileNameFieldText(std::string_view path);

} // namespace konfigor
