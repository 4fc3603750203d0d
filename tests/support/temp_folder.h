#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace konfigor::testing_support {

using Bytes = std::vector<std::uint8_t>;

// A fresh folder per test, removed afterwards.
class TempFolderTest : public ::testing::Test {
protected:
    TempFolderTest() {
        std::random_device random;
        folder_ = std::filesystem::temp_directory_path() /
                  ("konfigor-test-" + std::to_string(random()) + std::to_string(random()));
        std::filesystem::create_directories(folder_);
    }
    ~TempFolderTest() override {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }

    std::filesystem::path path(const std::string& name) const { return folder_ / name; }

    static void writeBytes(const std::filesystem::path& file, const Bytes& bytes) {
        std::ofstream out(file, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
    }

    static Bytes readBytes(const std::filesystem::path& file) {
        std::ifstream in(file, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    std::vector<std::string> folderEntries() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder_))
            names.push_back(entry.path().filename().string());
        return names;
    }

    std::filesystem::path folder_;
};

} // namespace konfigor::testing_support
