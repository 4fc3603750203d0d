#pragma once

#include "search/scan_results.h"
#include "search/search_criteria.h"
#include "search/settings_file_walk.h"
#include "sheet/settings_sheet.h"

#include <cstddef>
#include <filesystem>
#include <functional>
#include <stop_token>
#include <vector>

namespace konfigor {

class TextTable;

struct ScanProgress {
    std::size_t done = 0;  // files read and scored
    std::size_t found = 0; // files found so far

    friend bool operator==(const ScanProgress&, const ScanProgress&) = default;
};

using ScanProgressCallback = std::function<void(const ScanProgress&)>;

struct ScanRequest {
    // The chosen files and folders, in the order to search them.
    std::vector<std::filesystem::path> entries;
    // A copy: the scan runs off the user-interface thread while the window keeps its own.
    SettingsSheet sheet;
    SearchCriteria criteria;
    // Threads reading files; 0 for one per processor core.
    unsigned workers = 0;
};

struct ScanOutcome {
    // Highest score first; equal scores in the order the files were found.
    std::vector<ScanResult> results;
    // The folders not entered, then the files not read, each in the order found.
    std::vector<ScanSkip> skipped;
    // Stopped by the caller: the results and the skipped are then empty.
    bool cancelled = false;
};

// The description search's scan: finds the settings files among the chosen entries, reads and
// scores each against the sheet, and sorts the results. It reads nothing but its own request
// and the files, so it can run on any thread, and the outcome does not depend on the number of
// threads or on their timing. `progress` is called on the thread that runs the scan, after
// each file found and each file read.
class SettingsScan {
public:
    SettingsScan(ScanRequest request, const TextTable& texts)
        : request_(std::move(request)), texts_(texts) {}

    ScanOutcome run(const ScanProgressCallback& progress = {}, std::stop_token stop = {}) const;

    const ScanRequest& request() const { return request_; }

private:
    ScanRequest request_;
    const TextTable& texts_;
};

} // namespace konfigor
