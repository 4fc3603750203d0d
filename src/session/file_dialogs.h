#pragma once

#include <filesystem>
#include <optional>

namespace konfigor {

// A settings file the user chose, and whether the settings-file filter ("*.kvr") was the chosen
// one rather than all files.
struct ChosenFile {
    std::filesystem::path path;
    bool settingsFilterChosen = true;
};

// The open and save dialogs of settings files. Nothing comes back when the user cancels.
class FileDialogs {
public:
    virtual ~FileDialogs() = default;

    // Does not ask before replacing an existing file: saving over the file just loaded is the
    // usual case.
    virtual std::optional<ChosenFile> chooseFileToSave(const std::filesystem::path& folder,
                                                       const std::filesystem::path& offered) = 0;
    virtual std::optional<ChosenFile> chooseFileToOpen(const std::filesystem::path& folder) = 0;
};

} // namespace konfigor
