#pragma once

#include "texts/language_catalog.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace konfigor {

class TextTable;

// The "Język" menu: the languages found, the one in use, and switching. The built-in Polish is
// offered first whenever any file is found, so the user can always come back to it; with no
// language file the menu has nothing to offer and is disabled.
class LanguageMenu {
public:
    static constexpr std::string_view kBuiltInLanguage = "Polski";

    // `current` is the configured language ("Interfejs" / "Language").
    LanguageMenu(LanguageCatalog catalog, std::string current);

    const std::vector<std::string>& items() const { return items_; }
    bool isEnabled() const { return !catalog_.names().empty(); }
    // The first item named like the current language, if any.
    std::optional<std::size_t> checkedItem() const;
    const std::string& current() const { return current_; }

    // At the first showing: the configured language's file, if there is one.
    bool applyAtStart(TextTable& texts) const;
    // The user chose an item: it becomes the current language and is checked even when its
    // file is gone (the texts then stay as they are). True when the texts changed.
    bool choose(std::size_t item, TextTable& texts);

private:
    bool apply(TextTable& texts) const;

    LanguageCatalog catalog_;
    std::vector<std::string> items_;
    std::string current_;
};

} // namespace konfigor
