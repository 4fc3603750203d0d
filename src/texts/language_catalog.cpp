#include "texts/language_catalog.h"

#include <algorithm>

namespace konfigor {
namespace {

constexpr std::string_view kExtension = ".lng";

std::vector<std::string> namesIn(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    std::error_code error;
    std::filesystem::directory_iterator entries(folder, error);
    for (; !error && entries != std::filesystem::directory_iterator(); entries.increment(error)) {
        const std::string fileName = entries->path().filename().string();
        std::error_code typeError;
        if (!fileName.ends_with(kExtension) || !entries->is_regular_file(typeError))
            continue;
        names.push_back(fileName.substr(0, fileName.find('.')));
    }
    // The system's order differs between file systems; a menu should not.
    std::ranges::sort(names);
    return names;
}

} // namespace

std::vector<std::filesystem::path>
programDataFolders(const std::filesystem::path& executableFolder) {
    return {executableFolder, (executableFolder / ".." / "share" / "konfigor").lexically_normal()};
}

LanguageCatalog::LanguageCatalog(std::vector<std::filesystem::path> folders)
    : folders_(std::move(folders)) {
    for (const std::filesystem::path& folder : folders_) {
        for (std::string& name : namesIn(folder)) {
            if (!name.empty() && std::ranges::find(names_, name) == names_.end())
                names_.push_back(std::move(name));
        }
    }
}

std::filesystem::path LanguageCatalog::fileFor(std::string_view name) const {
    const std::string fileName = std::string(name) + std::string(kExtension);
    for (const std::filesystem::path& folder : folders_) {
        std::error_code error;
        if (std::filesystem::is_regular_file(folder / fileName, error))
            return folder / fileName;
    }
    return folders_.empty() ? std::filesystem::path(fileName) : folders_.front() / fileName;
}

} // namespace konfigor
