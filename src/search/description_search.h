#pragma once

#include "search/scan_results.h"
#include "search/search_criteria.h"
#include "sheet/settings_sheet.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace konfigor {

class Configuration;
class HistoryCommands;
class SaveState;
class SearchWindows;
class SheetSession;
class SheetSurface;
class TextTable;
class UserPrompts;

// How the search command was started: by its tool button, or by the session after the load
// that follows connecting, which skips the opening questions.
enum class SearchStart { ByUser, AfterLoad };

// "Wyszukiwanie opisu do nastaw" (ToolBtnScan): finds the settings files that best match the
// sheet, lets the user choose one and merges its descriptions into the sheet. The save flags
// stay as they were: nothing is saved, and nothing goes to the receiver. Main thread only; the
// scan itself runs where the windows run it.
class DescriptionSearch {
public:
    struct Services {
        SettingsSheet& sheet;
        Configuration& configuration;
        SaveState& saveState;
        HistoryCommands& history;
        // The receiver image, whose copy locks the history's snapshot carries.
        SheetSession& session;
        UserPrompts& prompts;
        SheetSurface& surface;
        const TextTable& texts;
    };

    explicit DescriptionSearch(Services services) : s_(services) {}

    // The dialogs; the command does nothing until they are there.
    void setWindows(SearchWindows& windows) { windows_ = &windows; }
    // Threads the scan reads files on; 0 for one per processor core.
    void setScanWorkers(unsigned workers) { workers_ = workers; }

    void run(SearchStart start = SearchStart::ByUser);

    // The criteria dialog's state, kept for the program's life.
    const SearchCriteria& criteria() const { return criteria_; }
    // The results of the last search that scanned, sorted; kept until the next one.
    const std::vector<ScanResult>& results() const { return results_; }
    // The last file read, into a sheet of its own.
    const SettingsSheet& comparisonSheet() const { return comparison_; }

private:
    bool askOpeningQuestions();
    bool chooseEntries(std::vector<std::filesystem::path>& entries);
    bool scan(const std::vector<std::filesystem::path>& entries);
    std::optional<std::string> readChosenFile(const std::filesystem::path& path);
    void takeChosenFile(const std::filesystem::path& path);

    Services s_;
    SearchWindows* windows_ = nullptr;
    unsigned workers_ = 0;
    SearchCriteria criteria_;
    std::vector<ScanResult> results_;
    SettingsSheet comparison_;
};

} // namespace konfigor
