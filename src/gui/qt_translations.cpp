#include "gui/qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace konfigor {

QtTranslations::QtTranslations() = default;

QtTranslations::~QtTranslations() {
    drop();
}

bool QtTranslations::use(const QLocale& language) {
    drop();
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(language, QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    QCoreApplication::installTranslator(translator.get());
    translator_ = std::move(translator);
    return true;
}

void QtTranslations::drop() {
    if (!translator_)
        return;
    QCoreApplication::removeTranslator(translator_.get());
    translator_.reset();
}

} // namespace konfigor
