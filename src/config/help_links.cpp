#include "config/help_links.h"

namespace konfigor {

ManualLocation locateManual(const std::vector<std::filesystem::path>& dataFolders,
                            const Manual& manual, std::string_view languageName,
                            const std::function<bool(const std::filesystem::path&)>& exists) {
    std::string fileName(manual.baseName);
    if (manual.perLanguage) {
        fileName += '_';
        fileName += languageName;
    }
    fileName += ".pdf";
    for (const std::filesystem::path& folder : dataFolders) {
        std::filesystem::path candidate = folder / "manual" / fileName;
        if (exists(candidate))
            return {.path = std::move(candidate), .found = true};
    }
    const std::filesystem::path first =
        dataFolders.empty() ? std::filesystem::path() : dataFolders.front();
    return {.path = first / "manual" / fileName, .found = false};
}

std::string updatePageAddress(std::string_view host, const std::array<unsigned, 4>& version) {
    std::string address = "https://";
    address += host;
    address += "/update?lirka=";
    for (std::size_t part = 0; part < version.size(); ++part) {
        if (part > 0)
            address += '.';
        address += std::to_string(version[part]);
    }
    address += ' ';
    return address;
}

} // namespace konfigor
