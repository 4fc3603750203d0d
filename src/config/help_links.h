#pragma once

#include <array>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace konfigor {

// One manual of the help menu: its file's base name, and whether each language has its own.
struct Manual {
    std::string_view baseName;
    bool perLanguage = false;
};

inline constexpr Manual kSoftwareManual{"software", true};
inline constexpr Manual kReceiverManual{"hardware", true};
inline constexpr Manual kLumoManual{"lumo434", true};
inline constexpr Manual kInterfaceManual{"interface", false};
inline constexpr Manual kCloneToolManual{"clonetool", false};

// Where a manual is: <folder>/manual/<base>_<language>.pdf, or <base>.pdf for the shared ones,
// in the first data folder that has it.
struct ManualLocation {
    std::filesystem::path path;
    // False when no folder has it; path then names it in the first folder, for the error.
    bool found = false;
};

ManualLocation locateManual(const std::vector<std::filesystem::path>& dataFolders,
                            const Manual& manual, std::string_view languageName,
                            const std::function<bool(const std::filesystem::path&)>& exists);

// The maker's update page for this version, "https://<host>/update?lirka=a.b.c.d " (the page
// has always been asked with the trailing space).
std::string updatePageAddress(std::string_view host, const std::array<unsigned, 4>& version);

} // namespace konfigor
