#pragma once

#include "files/settings_file.h"
#include "sheet/settings_sheet.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <memory>
#include <random>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace konfigor::testing_support {

// Remotes with the serial words given, from slot 0 on, not copy-locked; every other slot
// cleared.
inline std::unique_ptr<SettingsSheet> sheetWith(std::initializer_list<std::uint32_t> serials) {
    auto sheet = std::make_unique<SettingsSheet>();
    std::size_t slot = 0;
    for (const std::uint32_t serial : serials) {
        sheet->remotes[slot].serialWord = serial;
        sheet->remotes[slot].copyLock = false;
        ++slot;
    }
    return sheet;
}

// A fresh folder of settings files and whatever else a test puts there, removed afterwards.
class SettingsTree {
public:
    SettingsTree() {
        std::random_device random;
        root_ = std::filesystem::temp_directory_path() /
                ("konfigor-search-" + std::to_string(random()) + std::to_string(random()));
        std::filesystem::create_directories(root_);
    }
    ~SettingsTree() {
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
    SettingsTree(const SettingsTree&) = delete;
    SettingsTree& operator=(const SettingsTree&) = delete;

    const std::filesystem::path& root() const { return root_; }
    std::filesystem::path path(const std::string& name) const { return root_ / name; }

    std::filesystem::path writeBytes(const std::string& name,
                                     const std::vector<std::uint8_t>& bytes) const {
        const std::filesystem::path file = path(name);
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        return file;
    }
    std::filesystem::path writeSheet(const std::string& name, const SettingsSheet& sheet) const {
        return writeBytes(name,
                          SettingsFile::encode(sheet.remotes, sheet.channels, sheet.identifier));
    }
    std::filesystem::path writeText(const std::string& name, std::string_view text) const {
        return writeBytes(name, std::vector<std::uint8_t>(text.begin(), text.end()));
    }

private:
    std::filesystem::path root_;
};

} // namespace konfigor::testing_support
