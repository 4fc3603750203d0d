#include "search/search_folder_list.h"

#include "common/user_prompts.h"
#include "config/configuration.h"
#include "texts/text_table.h"
#include "texts/untranslated_texts.h"

#include <algorithm>
#include <set>

namespace konfigor {
namespace {

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// Alphabetical as texts, not component by component as paths compare.
bool before(const std::filesystem::path& a, const std::filesystem::path& b) {
    return a.string() < b.string();
}

} // namespace

void SearchFolderList::open(const std::vector<std::filesystem::path>& stored) {
    rows_.clear();
    for (const std::filesystem::path& path : stored)
        add(path);
}

void SearchFolderList::open(const Configuration& configuration) {
    open(configuration.searchFolders());
}

SearchFolderList::AddOutcome SearchFolderList::add(const std::filesystem::path& path) {
    const std::string added = path.string();
    // Every listed text would lie within an empty one: a damaged configuration must not empty
    // the list.
    if (added.empty())
        return AddOutcome::Ignored;
    for (const std::filesystem::path& row : rows_) {
        const std::string listed = row.string();
        if (listed == added)
            return AddOutcome::AlreadyListed;
        if (contains(added, listed)) {
            warn(texts_.format(Msg::FolderInsideListedFolder, listed));
            return AddOutcome::InsideListedFolder;
        }
    }
    const auto removed = std::erase_if(
        rows_, [&](const std::filesystem::path& row) { return contains(row.string(), added); });
    rows_.insert(std::upper_bound(rows_.begin(), rows_.end(), path, before), path);
    if (removed > 0)
        warn(texts_.format(Msg::ListedFoldersRemoved, added));
    return AddOutcome::Added;
}

void SearchFolderList::remove(std::span<const std::size_t> rows) {
    const std::set<std::size_t> selected(rows.begin(), rows.end());
    std::vector<std::filesystem::path> kept;
    for (std::size_t row = 0; row < rows_.size(); ++row) {
        if (!selected.contains(row))
            kept.push_back(rows_[row]);
    }
    rows_ = std::move(kept);
}

void SearchFolderList::store(Configuration& configuration) const {
    configuration.setSearchFolders(rows_);
}

void SearchFolderList::warn(std::string text) {
    prompts_.ask({.caption = std::string(untranslated(Untranslated::DialogTitle)),
                  .text = std::move(text),
                  .buttons = PromptButtons::Ok,
                  .defaultAnswer = PromptAnswer::Ok,
                  .icon = PromptIcon::Warning});
}

} // namespace konfigor
