#pragma once

#include "search/search_folder_list.h"
#include "search/search_windows.h"

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace konfigor::testing_support {

// The search's dialogs answered from a script. Every dialog shown is written down by name, so
// a test reads the command's path through them; the scan runs at once on the test's thread.
class ScriptedSearchWindows final : public SearchWindows {
public:
    std::optional<SearchCriteria> editCriteria(const SearchCriteria& current) override {
        shown.push_back("criteria");
        criteriaOffered = current;
        return criteriaAnswer ? criteriaAnswer(current) : std::optional<SearchCriteria>(current);
    }

    bool chooseFolders(SearchFolderList& list) override {
        shown.push_back("folders");
        listOnOpen = list.rows();
        if (folderChoice)
            return folderChoice(list);
        return true;
    }

    std::optional<ScanOutcome> runScan(const SettingsScan& scan) override {
        shown.push_back("scan");
        scanned = scan.request().entries;
        if (cancelScan)
            return std::nullopt;
        return scan.run();
    }

    void showSkipped(const std::vector<ScanSkip>& skipped) override {
        shown.push_back("skipped");
        skippedShown = skipped;
    }

    std::optional<std::size_t> chooseResult(const std::vector<ScanResult>& results) override {
        shown.push_back("results");
        resultsShown = results;
        if (beforeChoosing)
            beforeChoosing();
        return chosenRow;
    }

    ReplaceAnswer askReplace(const std::string& question) override {
        questions.push_back(question);
        if (replaceAnswers.empty()) {
            ADD_FAILURE() << "unexpected replace question: " << question;
            return ReplaceAnswer::None;
        }
        const ReplaceAnswer answer = replaceAnswers.front();
        replaceAnswers.pop_front();
        return answer;
    }

    void setBusyCursor(bool on) override { busy.push_back(on); }

    // The script. Without an answer the criteria are confirmed as offered.
    std::function<std::optional<SearchCriteria>(const SearchCriteria&)> criteriaAnswer;
    // What the user does in the folder chooser; true for OK. Without it: OK at once.
    std::function<bool(SearchFolderList&)> folderChoice;
    bool cancelScan = false;
    std::optional<std::size_t> chosenRow = 0;
    // While the results are shown, before one is chosen.
    std::function<void()> beforeChoosing;
    std::deque<ReplaceAnswer> replaceAnswers;

    // What happened.
    std::vector<std::string> shown;
    std::optional<SearchCriteria> criteriaOffered;
    std::vector<std::filesystem::path> listOnOpen;
    std::vector<std::filesystem::path> scanned;
    std::vector<ScanSkip> skippedShown;
    std::vector<ScanResult> resultsShown;
    std::vector<std::string> questions;
    std::vector<bool> busy;
};

} // namespace konfigor::testing_support
