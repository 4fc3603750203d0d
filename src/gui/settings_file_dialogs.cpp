#include "gui/settings_file_dialogs.h"

#include <QFileDialog>
#include <QRegularExpression>

namespace konfigor {
namespace {

QObject* namedChild(QWidget* window, const char* name) {
    auto* child = new QObject(window);
    child->setObjectName(QString::fromLatin1(name));
    return child;
}

QString toQtPath(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
}

std::filesystem::path fromQtPath(const QString& path) {
    return std::filesystem::path(path.toStdString());
}

std::optional<ChosenFile> run(QFileDialog& dialog) {
    // The desktop's own dialog speaks the desktop's language; Qt's follows the program's.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return ChosenFile{.path = fromQtPath(dialog.selectedFiles().constFirst()),
                      .settingsFilterChosen =
                          dialog.nameFilters().indexOf(dialog.selectedNameFilter()) == 0};
}

} // namespace

SettingsFileDialogs::SettingsFileDialogs(QWidget* window)
    : window_(window), openDialog_(namedChild(window, "OpenDialog")),
      saveDialog_(namedChild(window, "SaveDialog")) {}

std::optional<ChosenFile>
SettingsFileDialogs::chooseFileToSave(const std::filesystem::path& folder,
                                      const std::filesystem::path& offered) {
    const std::filesystem::path start = offered.has_parent_path() ? offered : folder / offered;
    QFileDialog dialog(window_, QString(), toQtPath(start));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // Saving over the file just loaded is the usual case: no question about it.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setNameFilters(nameFiltersOf(saveDialog_->property("filter").toString()));
    return run(dialog);
}

std::optional<ChosenFile>
SettingsFileDialogs::chooseFileToOpen(const std::filesystem::path& folder) {
    QFileDialog dialog(window_, QString(), toQtPath(folder));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(nameFiltersOf(openDialog_->property("filter").toString()));
    return run(dialog);
}

QStringList nameFiltersOf(const QString& filter) {
    static const QRegularExpression patternsInDescription(QStringLiteral("\\s*\\([^)]*\\)\\s*$"));
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i];
        description.remove(patternsInDescription);
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        patterns.replace(QStringLiteral("*.*"), QStringLiteral("*"));
        filters << QStringLiteral("%1 (%2)").arg(description, patterns);
    }
    return filters;
}

} // namespace konfigor
