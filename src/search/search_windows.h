#pragma once

#include "search/description_merge.h"
#include "search/scan_results.h"
#include "search/search_criteria.h"
#include "search/settings_file_walk.h"
#include "search/settings_scan.h"

#include <cstddef>
#include <optional>
#include <vector>

namespace konfigor {

class SearchFolderList;

// The windows of the description search, as its logic drives them. The Qt layer shows the
// real dialogs; tests answer from a script. The replace question (TReplaceForm) comes with them.
class SearchWindows : public ReplaceQuestion {
public:
    // TScanSettingsForm, modal: the criteria confirmed with OK, or nothing.
    virtual std::optional<SearchCriteria> editCriteria(const SearchCriteria& current) = 0;
    // TFileBrowserForm, modal, over the list already opened from the configuration; the dialog
    // changes the list through its operations. True for OK.
    virtual bool chooseFolders(SearchFolderList& list) = 0;
    // Runs the scan off the user-interface thread under a progress dialog that shows the files
    // done and found and offers Cancel, the window staying responsive meanwhile. The scan's
    // outcome, or nothing when the user cancelled (the scan is stopped and waited for first).
    virtual std::optional<ScanOutcome> runScan(const SettingsScan& scan) = 0;
    // What the scan could not read, with the error texts, in one list after the scan.
    virtual void showSkipped(const std::vector<ScanSkip>& skipped) = 0;
    // TScanResultsForm, modal, over the sorted results: the row taken with OK, or nothing for
    // Cancel or Esc.
    virtual std::optional<std::size_t> chooseResult(const std::vector<ScanResult>& results) = 0;
    // The busy cursor over the main window while the search works; dialogs keep their own.
    virtual void setBusyCursor(bool busy) = 0;
};

} // namespace konfigor
