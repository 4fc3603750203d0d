#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace konfigor {

// Where the program's data (language files, manuals) is looked for: the executable's own
// folder, then the installed data folder beside it (bin/../share/konfigor). The build tree
// mirrors that layout.
std::vector<std::filesystem::path>
programDataFolders(const std::filesystem::path& executableFolder);

// The language files found in the data folders. A file's language is its name up to the first
// ".", so "English.second.lng" offers "English" (whose file is "English.lng").
class LanguageCatalog {
public:
    explicit LanguageCatalog(std::vector<std::filesystem::path> folders);

    // In folder order, each folder's files by name; a name found twice is listed once.
    const std::vector<std::string>& names() const { return names_; }
    // The first folder's file of that language that exists, else where the first folder
    // would hold it (reading it then fails, which leaves the texts alone).
    std::filesystem::path fileFor(std::string_view name) const;

private:
    std::vector<std::filesystem::path> folders_;
    std::vector<std::string> names_;
};

} // namespace konfigor
