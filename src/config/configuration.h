#pragma once

#include "config/ini_file.h"

#include <array>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace konfigor {

// The value of an environment variable, or nothing when it is not set. Injected so that tests
// never look at the real home folder.
using EnvironmentLookup = std::function<std::optional<std::string>(std::string_view name)>;

// The process's own environment.
std::optional<std::string> processEnvironment(std::string_view name);

// The main window's bounds as stored; each one is applied only when it is 0 or more.
struct WindowBounds {
    int left = -1;
    int top = -1;
    int width = -1;
    int height = -1;
    bool operator==(const WindowBounds&) const = default;
};

// The program's per-user configuration: a typed view over one in-memory INI file, read once at
// start-up and written back as a whole by save(). Every getter gives the key's default when the
// key is absent (or, for numbers, not a number). Paths are UTF-8 text.
class Configuration {
public:
    static constexpr int kButtonCount = 4;
    using ButtonMasks = std::array<int, kButtonCount>;

    // An empty configuration that belongs to no file (save() fails).
    Configuration() = default;

    // $XDG_CONFIG_HOME/Zentor/Konfigor/config.txt when that variable is an absolute path, else
    // $HOME/.config/Zentor/Konfigor/config.txt.
    static std::filesystem::path
    defaultPath(const EnvironmentLookup& environment = processEnvironment);

    // Reads the file; a missing or unreadable one gives the defaults. The path is remembered
    // for save().
    static Configuration load(const std::filesystem::path& path);
    // Writes the whole configuration back, creating the missing folders first. A failure is
    // not reported to the user; the previous file then stays as it was.
    bool save() const;

    const std::filesystem::path& path() const { return path_; }
    // The per-user event log: "log.txt" beside the configuration file.
    std::filesystem::path logFilePath() const;

    // The raw file, for reads and writes that no accessor below covers.
    IniFile& ini() { return ini_; }
    const IniFile& ini() const { return ini_; }

    // "Interfejs"
    std::string language() const;
    void setLanguage(std::string_view name);
    // 0 the settings sheet tab, 1 the events tab; other values leave the design-time page.
    int startPage() const;
    void setStartPage(int page);
    WindowBounds windowBounds() const;
    void setWindowBounds(const WindowBounds& bounds);
    bool maximised() const;
    void setMaximised(bool maximised);

    // "Katalogi": the folders last used to load and to save a settings file.
    std::filesystem::path settingsLoadFolder() const;
    void setSettingsLoadFolder(const std::filesystem::path& folder);
    std::filesystem::path settingsSaveFolder() const;
    void setSettingsSaveFolder(const std::filesystem::path& folder);

    // "Automatyzacja"
    bool autoConnect() const;
    void setAutoConnect(bool on);
    bool loadReceiverAfterConnect() const;
    void setLoadReceiverAfterConnect(bool on);
    bool openSearchAfterLoad() const;
    void setOpenSearchAfterLoad(bool on);
    bool autosave() const;
    void setAutosave(bool on);
    std::filesystem::path defaultSettingsFile() const;
    void setDefaultSettingsFile(const std::filesystem::path& file);
    bool loadDefaultSettingsFile() const;
    void setLoadDefaultSettingsFile(bool on);
    bool showArchivedEvents() const;
    void setShowArchivedEvents(bool on);

    // "Zdarzenia"
    // The stored event log path, or nothing when the key is absent.
    std::optional<std::filesystem::path> eventLogFile() const;
    // The stored path, or the per-user log.txt when the key is absent or empty.
    std::filesystem::path effectiveEventLogFile() const;
    void setEventLogFile(const std::filesystem::path& file);
    int eventCount() const;
    void setEventCount(int count);
    // Absent means "Nie" at start-up; the options dialog passes true as its own default.
    bool registration(bool whenAbsent = false) const;
    void setRegistration(bool on);
    bool scrollEvents() const;
    void setScrollEvents(bool on);

    // "Dzwieki": 0 no sound, 1 the system beep, 2 the sound file.
    int soundKind() const;
    void setSoundKind(int kind);
    std::filesystem::path soundFile() const;
    void setSoundFile(const std::filesystem::path& file);

    // "Drukowanie": stored as the options dialog shows them.
    std::string printFontName() const;
    void setPrintFontName(std::string_view name);
    std::string printFontSize() const;
    void setPrintFontSize(std::string_view size);

    // "Pilot"
    std::string virtualRemoteName() const;
    void setVirtualRemoteName(std::string_view name);
    // Button 1 first; 0 means "use the built-in mask".
    ButtonMasks virtualButtonMasks() const;
    void setVirtualButtonMasks(const ButtonMasks& masks);
    // Per cent: 20, 40, 60, 80 or 100.
    int virtualRemoteOpacity() const;
    void setVirtualRemoteOpacity(int percent);

    // "Pilot Wirtualny": nothing when absent (the caller then places the window relative to the
    // main window).
    std::optional<int> virtualRemoteLeft() const;
    std::optional<int> virtualRemoteTop() const;
    void setVirtualRemotePosition(int left, int top);

    // "WyszukiwanePliki": one entry per position 0 .. n-1, n being the number of entries in the
    // section; a missing number gives an empty entry.
    std::vector<std::filesystem::path> searchFolders() const;
    // Replaces the whole list.
    void setSearchFolders(const std::vector<std::filesystem::path>& folders);

private:
    std::filesystem::path path_;
    IniFile ini_;
};

} // namespace konfigor
