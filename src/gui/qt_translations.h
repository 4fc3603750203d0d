#pragma once

#include <memory>
#include <string_view>

class QLocale;
class QTranslator;

namespace konfigor {

// The locale of a language named in its own or in English words ("Polski", "English"); the C
// locale when Qt knows no such language.
QLocale localeForLanguage(std::string_view name);

// Qt's own texts (standard buttons, file dialogs) in the program's language, from the
// translations installed with Qt. One translator at a time, so a language switch swaps it.
class QtTranslations {
public:
    QtTranslations();
    ~QtTranslations();
    QtTranslations(const QtTranslations&) = delete;
    QtTranslations& operator=(const QtTranslations&) = delete;

    // False when Qt has no translation for the language; Qt's texts are then its English ones
    // rather than those of the language before.
    bool use(const QLocale& language);

private:
    void drop();

    std::unique_ptr<QTranslator> translator_;
};

} // namespace konfigor
