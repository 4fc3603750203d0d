#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

namespace konfigor {

class Configuration;
class Sound;
class TextTable;
class UserPrompts;
enum class Msg : std::uint16_t;

// The options dialog's values, as its controls hold them.
struct Options {
    // "Zdarzenia"
    std::filesystem::path eventLogFile;
    // 0 no sound, 1 the system beep, 2 the sound file.
    int soundKind = 1;
    std::filesystem::path soundFile;
    // "Drukowanie": stored as typed, the size too.
    std::string fontName;
    std::string fontSize;
    // "Automatyzacja"
    bool autoConnect = true;
    bool loadReceiver = true;
    bool openSearchAfterLoad = true;
    bool autosave = true;
    std::filesystem::path defaultSettingsFile;
    bool loadDefaultSettingsFile = false;
    bool registration = true;
    // The count edit's text; a text that is no number is stored as the default count.
    std::string eventCount = "5000";

    friend bool operator==(const Options&, const Options&) = default;
};

// The options as the configuration holds them, with the dialog's own defaults.
Options readOptions(const Configuration& configuration);
// The options as the dialog holds them once it has loaded the configuration, which are the live
// settings: of two start-up loads both stored as on, the default file's wins, and a file load
// without a file is off. The dialog's warning belongs to a click, not to start-up.
Options settledOptions(const Configuration& configuration);
// Writes every option into the configuration (not to disk).
void writeOptions(const Options& options, Configuration& configuration);
// The count edit's text as the number stored: the default count when it is not a number.
int eventCountOf(const std::string& text);

// The options dialog's rules: the two start-up loads exclude each other, the box after the
// receiver load follows it, the event-log controls follow their box, and the sound can be tried.
// The dialog's controls show values() and the enabled states.
class OptionsEditor {
public:
    using FileExists = std::function<bool(const std::filesystem::path&)>;

    OptionsEditor(UserPrompts& prompts, const TextTable& texts);

    const Options& values() const { return values_; }
    // The fields no rule watches: paths, sound kind, font, count.
    Options& fields() { return values_; }

    // Every control from the configuration; a box whose state changes runs its click rules, as
    // a click would.
    void load(const Configuration& configuration);
    // Every control into the configuration, then the configuration to disk.
    void save(Configuration& configuration) const;

    void setAutoConnect(bool on) { values_.autoConnect = on; }
    void setOpenSearchAfterLoad(bool on) { values_.openSearchAfterLoad = on; }
    void setAutosave(bool on) { values_.autosave = on; }
    // Clicks on the three boxes with rules.
    void clickLoadReceiver(bool checked);
    void clickLoadDefaultSettingsFile(bool checked);
    void clickRegistration(bool checked);
    // The default settings file was chosen in the file dialog.
    void defaultSettingsFileChosen(const std::filesystem::path& file);

    bool openSearchAfterLoadEnabled() const { return openSearchEnabled_; }
    bool eventLogControlsEnabled() const { return eventLogControlsEnabled_; }

    // "Trying the sound": the chosen kind, falling back to the beep when the file is missing.
    void trySound(Sound& sound, const FileExists& exists);

private:
    void warn(Msg text) const;

    UserPrompts& prompts_;
    const TextTable& texts_;
    // As the dialog is designed: every box unchecked, so the dependent controls are disabled.
    Options values_{.autoConnect = false,
                    .loadReceiver = false,
                    .openSearchAfterLoad = false,
                    .autosave = false,
                    .registration = false};
    bool openSearchEnabled_ = false;
    bool eventLogControlsEnabled_ = false;
};

} // namespace konfigor
