#include "texts/language_menu.h"

#include "texts/language_file.h"
#include "texts/text_table.h"

#include <algorithm>

namespace konfigor {

LanguageMenu::LanguageMenu(LanguageCatalog catalog, std::string current)
    : catalog_(std::move(catalog)), current_(std::move(current)) {
    if (!isEnabled())
        return;
    const std::vector<std::string>& names = catalog_.names();
    if (std::ranges::find(names, kBuiltInLanguage) == names.end())
        items_.emplace_back(kBuiltInLanguage);
    items_.insert(items_.end(), names.begin(), names.end());
}

std::optional<std::size_t> LanguageMenu::checkedItem() const {
    const auto found = std::ranges::find(items_, current_);
    if (found == items_.end())
        return std::nullopt;
    return static_cast<std::size_t>(found - items_.begin());
}

bool LanguageMenu::applyAtStart(TextTable& texts) const {
    return !current_.empty() && apply(texts);
}

bool LanguageMenu::choose(std::size_t item, TextTable& texts) {
    if (item >= items_.size())
        return false;
    current_ = items_[item];
    return apply(texts);
}

bool LanguageMenu::apply(TextTable& texts) const {
    const std::filesystem::path file = catalog_.fileFor(current_);
    std::error_code error;
    // The built-in language without a file of its own: back to the built-in texts.
    if (current_ == kBuiltInLanguage && !std::filesystem::is_regular_file(file, error)) {
        texts.resetToBuiltIn();
        return true;
    }
    return applyLanguageFile(texts, file).has_value();
}

} // namespace konfigor
