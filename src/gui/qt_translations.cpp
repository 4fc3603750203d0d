#include "gui/qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace konfigor {

QLocale localeForLanguage(std::string_view name) {
    const QString wanted = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
    for (int value = QLocale::C + 1; value <= QLocale::LastLanguage; ++value) {
        const auto language = static_cast<QLocale::Language>(value);
        const QLocale locale(language);
        if (locale.language() != language)
            continue;
        if (QLocale::languageToString(language).compare(wanted, Qt::CaseInsensitive) == 0 ||
            locale.nativeLanguageName().compare(wanted, Qt::CaseInsensitive) == 0)
            return locale;
    }
    return QLocale::c();
}

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
