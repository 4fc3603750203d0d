#pragma once

#include "search/search_windows.h"

#include <QObject>

class QWidget;

namespace konfigor {

class TFileBrowserForm;
class TReplaceForm;
class TScanResultsForm;
class TScanSettingsForm;
class TextTable;

// The description search's dialogs on the desktop. They are created once, as children of the
// main window, and reused; the scan runs on a thread of its own under a progress dialog.
class QtSearchWindows : public QObject, public SearchWindows {
    Q_OBJECT

public:
    QtSearchWindows(QWidget& window, const TextTable& texts);
    ~QtSearchWindows() override;

    std::optional<SearchCriteria> editCriteria(const SearchCriteria& current) override;
    bool chooseFolders(SearchFolderList& list) override;
    std::optional<ScanOutcome> runScan(const SettingsScan& scan) override;
    void showSkipped(const std::vector<ScanSkip>& skipped) override;
    std::optional<std::size_t> chooseResult(const std::vector<ScanResult>& results) override;
    ReplaceAnswer askReplace(const std::string& question) override;
    void setBusyCursor(bool busy) override;

    TScanSettingsForm& criteriaForm() { return *criteriaForm_; }
    TFileBrowserForm& folderForm() { return *folderForm_; }
    TScanResultsForm& resultsForm() { return *resultsForm_; }
    TReplaceForm& replaceForm() { return *replaceForm_; }

Q_SIGNALS:
    // On the user-interface thread, each time the progress dialog shows new counts.
    void scanProgressShown(std::size_t done, std::size_t found);

private:
    QWidget& window_;
    const TextTable& texts_;
    TScanSettingsForm* criteriaForm_ = nullptr;
    TFileBrowserForm* folderForm_ = nullptr;
    TScanResultsForm* resultsForm_ = nullptr;
    TReplaceForm* replaceForm_ = nullptr;
    bool busy_ = false;
};

} // namespace konfigor
