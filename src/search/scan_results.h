#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace konfigor {

// One settings file the search could read, with how well it matches the sheet, in per cent.
struct ScanResult {
    std::filesystem::path path;
    double score = 0.0;

    friend bool operator==(const ScanResult&, const ScanResult&) = default;
};

// Highest score first. Equal scores keep the order they come in, which is the order the files
// were found, so the same tree always lists the same way.
void sortByScore(std::vector<ScanResult>& results);

// The score as the results list shows it: "47.37 %", " 0.00 %".
std::string scoreText(double score);

} // namespace konfigor
