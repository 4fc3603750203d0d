#include "search/description_search.h"

#include "config/configuration.h"
#include "files/settings_file.h"
#include "files/settings_file_names.h"
#include "link/receiver_image.h"
#include "search/description_merge.h"
#include "search/search_folder_list.h"
#include "search/search_windows.h"
#include "search/settings_scan.h"
#include "sheet/history_commands.h"
#include "sheet/save_state.h"
#include "sheet/sheet_session.h"
#include "sheet/sheet_surface.h"
#include "texts/main_window_prompts.h"
#include "texts/text_table.h"
#include "texts/untranslated_texts.h"

namespace konfigor {
namespace {

// Shown from the moment the search starts working until the command ends, on every way out.
class BusyCursor {
public:
    explicit BusyCursor(SearchWindows& windows) : windows_(windows) {
        windows_.setBusyCursor(true);
    }
    ~BusyCursor() { release(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

    // Before a message box, which wants the normal cursor.
    void release() {
        if (shown_)
            windows_.setBusyCursor(false);
        shown_ = false;
    }

private:
    SearchWindows& windows_;
    bool shown_ = true;
};

} // namespace

void DescriptionSearch::run(SearchStart start) {
    if (windows_ == nullptr)
        return;
    if (start == SearchStart::ByUser && !askOpeningQuestions())
        return;
    const auto criteria = windows_->editCriteria(criteria_);
    if (!criteria)
        return;
    criteria_ = *criteria;
    std::vector<std::filesystem::path> entries;
    if (!chooseEntries(entries))
        return;

    BusyCursor busy(*windows_);
    if (!scan(entries))
        return;
    if (results_.empty()) {
        busy.release();
        s_.prompts.ask({.caption = std::string(untranslated(Untranslated::ProgramTitle)),
                        .text = s_.texts.text(Msg::NoFileScanned),
                        .icon = PromptIcon::Information});
        return;
    }
    const auto chosen = windows_->chooseResult(results_);
    if (!chosen || *chosen >= results_.size())
        return;
    const std::filesystem::path path = results_[*chosen].path;
    if (const auto error = readChosenFile(path)) {
        busy.release();
        showMainWindowError(s_.prompts, *error);
        return;
    }
    takeChosenFile(path);
}

// Unless started after a load: a sheet saved everywhere asks whether to go on at all; unsaved
// changes are offered for saving first.
bool DescriptionSearch::askOpeningQuestions() {
    if (s_.saveState.savedToDisk() && s_.saveState.savedToReceiver() &&
        !askMainWindowYesNo(s_.prompts, s_.texts.text(Msg::NoChangesSearchAnywayQuestion)))
        return false;
    return s_.saveState.askBeforeReplacing(ReplacingCommand::DescriptionSearch);
}

// The folder chooser over the stored list; its OK stores the list for the next search.
bool DescriptionSearch::chooseEntries(std::vector<std::filesystem::path>& entries) {
    SearchFolderList list(s_.texts, s_.prompts);
    list.open(s_.configuration);
    if (!windows_->chooseFolders(list))
        return false;
    list.store(s_.configuration);
    entries = list.rows();
    return true;
}

bool DescriptionSearch::scan(const std::vector<std::filesystem::path>& entries) {
    results_.clear();
    const SettingsScan scan(
        {.entries = entries, .sheet = s_.sheet, .criteria = criteria_, .workers = workers_},
        s_.texts);
    auto outcome = windows_->runScan(scan);
    if (!outcome || outcome->cancelled)
        return false;
    if (!outcome->skipped.empty())
        windows_->showSkipped(outcome->skipped);
    results_ = std::move(outcome->results);
    return true;
}

// Read again, since the file may have changed since the scan; a failure leaves the sheet as it
// was.
std::optional<std::string> DescriptionSearch::readChosenFile(const std::filesystem::path& path) {
    comparison_.channels.fill(ChannelEntry::factory());
    bool newerVersion = false;
    return SettingsFile(s_.texts).read(path, {.remotes = comparison_.remotes,
                                              .channels = comparison_.channels,
                                              .identifier = comparison_.identifier,
                                              .newerVersion = newerVersion});
}

void DescriptionSearch::takeChosenFile(const std::filesystem::path& path) {
    DescriptionMerge(s_.texts, s_.prompts, *windows_)
        .merge(s_.sheet, comparison_.remotes, comparison_.channels);
    s_.sheet.fileName.assign(fileNameFieldText(path.string()));
    s_.sheet.identifier = comparison_.identifier;
    s_.surface.showIdentifierAndTitle();
    s_.surface.repaintGrids();
    const SheetSnapshot snapshot = s_.session.image().read(
        [&](const ReceiverMemory& memory) { return takeSnapshot(s_.sheet, memory); });
    s_.history.recordChange(HistoryKind::DescriptionSearch, snapshotPayload(snapshot));
}

} // namespace konfigor
