#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace konfigor::kvr {

// Scores the settings files under the folders against a sheet, as the description search does
// with its default criteria.
struct MatchRequest {
    std::filesystem::path sheet;
    std::vector<std::filesystem::path> folders;
    bool json = false;
};

// Every settings file and position under the folders that holds a serial number.
struct FindRequest {
    std::uint32_t serialNumber = 0;
    std::vector<std::filesystem::path> folders;
    bool json = false;
};

// One side of a comparison: a settings file, or the receiver on a port.
struct DiffSide {
    std::string path;
    bool receiver = false;

    friend bool operator==(const DiffSide&, const DiffSide&) = default;
};

// Slot-by-slot differences of two sheets.
struct DiffRequest {
    std::array<DiffSide, 2> sides;
    // For a receiver that requires one; "-" reads it from standard input.
    std::optional<std::string> pin;
    bool json = false;
};

} // namespace konfigor::kvr
