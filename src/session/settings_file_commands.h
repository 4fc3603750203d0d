#pragma once

#include <ctime>
#include <filesystem>
#include <functional>
#include <string>

namespace konfigor {

class Configuration;
class FileDialogs;
class HistoryCommands;
class SaveState;
class SheetSession;
class SheetSurface;
class TextTable;
class UserPrompts;
struct SettingsSheet;

// "Zapisz do pliku" and "Ładuj z pliku", the file named on the command line and the default
// settings file of the options at start-up. Main thread only.
class SettingsFileCommands {
public:
    struct Services {
        SettingsSheet& sheet;
        Configuration& configuration;
        SaveState& saveState;
        HistoryCommands& history;
        SheetSession& session;
        FileDialogs& dialogs;
        UserPrompts& prompts;
        SheetSurface& surface;
        const TextTable& texts;
        // The local time, for the name offered to a sheet without a file.
        std::function<std::tm()> localTime;
    };

    explicit SettingsFileCommands(Services services) : s_(std::move(services)) {}

    void saveToFile();
    void loadFromFile();
    // Loads without asking first: the command line's file, and the last step of loadFromFile.
    void loadNamedFile(const std::filesystem::path& path);
    // The default settings file of the options: read over the sheet as it is, nothing sent.
    void loadDefaultFileAtStartup(const std::filesystem::path& path);

    // The sheet's file as a whole path. The sheet's own field holds 259 bytes; a longer path is
    // kept here and stands for the field while the field still holds its shortened copy (undo
    // may have put another name there).
    std::string currentFileName() const;

private:
    bool read(const std::filesystem::path& path, bool* newerVersion);
    void takeFileName(const std::filesystem::path& path);
    void recordFileLoad();

    Services s_;
    std::string fullFileName_;
};

// The local time now, as the save dialog's offered name wants it.
std::tm localTimeNow();

} // namespace konfigor
