#pragma once

#include "sheet/settings_sheet.h"

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <stop_token>
#include <string>
#include <vector>

namespace konfigor {

class TextTable;

struct BatchOutcome {
    // The reader's message for each file that could not be read, by the file's index.
    std::vector<std::optional<std::string>> errors;
    // Stopped before every file was read; the files not read have no error either.
    bool cancelled = false;
};

// Reads many settings files, each into a scratch sheet, on several threads at once, and hands
// every sheet read to `use` with the file's index. `use` runs on whichever thread read the
// file, for different files at the same time, so it must only touch what belongs to that
// index. Each file starts from factory channels, so a file without channel records gives the
// same sheet wherever it stands in the list. `progress` hears the number of files done, always
// on the calling thread. `workers` 0 means one per processor core, at most kMaxWorkers.
class SettingsFileBatch {
public:
    static constexpr unsigned kMaxWorkers = 8;

    using Use = std::function<void(std::size_t index, const SettingsSheet& read)>;
    using Progress = std::function<void(std::size_t done)>;

    SettingsFileBatch(const TextTable& texts, unsigned workers)
        : texts_(texts), workers_(workers) {}

    BatchOutcome read(std::span<const std::filesystem::path> files, const Use& use,
                      const Progress& progress = {}, std::stop_token stop = {}) const;

private:
    unsigned workerCount(std::size_t files) const;

    // The text table is only read: nothing replaces its texts while a search runs.
    const TextTable& texts_;
    unsigned workers_;
};

} // namespace konfigor
