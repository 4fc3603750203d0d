#pragma once

#include "session/file_dialogs.h"

#include <QObject>

namespace konfigor {

// The main window's OpenDialog and SaveDialog as Qt file dialogs. Each is a child object named
// after its control, so that the language texts give it its filter ("description|pattern|...").
class SettingsFileDialogs final : public FileDialogs {
public:
    explicit SettingsFileDialogs(QWidget* window);

    std::optional<ChosenFile> chooseFileToSave(const std::filesystem::path& folder,
                                               const std::filesystem::path& offered) override;
    std::optional<ChosenFile> chooseFileToOpen(const std::filesystem::path& folder) override;

private:
    QWidget* window_;
    QObject* openDialog_;
    QObject* saveDialog_;
};

// "Pliki nastaw (*.kvr)|*.kvr|Wszystkie pliki (*.*)|*.*" as Qt name filters; "*.*" matches every
// file, as it does on Windows.
QStringList nameFiltersOf(const QString& filter);

} // namespace konfigor
