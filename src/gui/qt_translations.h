#pragma once

#include <memory>

class QLocale;
class QTranslator;

namespace konfigor {

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
