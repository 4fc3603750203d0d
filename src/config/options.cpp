#include "config/options.h"

#include "common/sound.h"
#include "common/user_prompts.h"
#include "config/configuration.h"
#include "texts/text_table.h"
#include "texts/untranslated_texts.h"

#include <array>
#include <charconv>

namespace konfigor {
namespace {

constexpr int kDefaultEventCount = 5000;
constexpr int kNoSound = 0;
constexpr int kBeep = 1;
constexpr int kSoundFile = 2;
// Longer and lower than an event's beep, so the trial is told apart.
constexpr std::array kTrialBeep{Tone{.frequencyHz = 1200, .durationMs = 400}};

} // namespace

Options readOptions(const Configuration& configuration) {
    Options options;
    options.eventLogFile = configuration.eventLogFile().value_or(configuration.logFilePath());
    options.soundFile = configuration.soundFile();
    options.soundKind = configuration.soundKind();
    options.fontName = configuration.printFontName();
    options.fontSize = configuration.printFontSize();
    options.autoConnect = configuration.autoConnect();
    options.loadReceiver = configuration.loadReceiverAfterConnect();
    options.openSearchAfterLoad = configuration.openSearchAfterLoad();
    options.autosave = configuration.autosave();
    options.defaultSettingsFile = configuration.defaultSettingsFile();
    options.loadDefaultSettingsFile = configuration.loadDefaultSettingsFile();
    options.registration = configuration.registration(true);
    options.eventCount = std::to_string(configuration.eventCount());
    return options;
}

Options settledOptions(const Configuration& configuration) {
    Options options = readOptions(configuration);
    if (options.loadDefaultSettingsFile) {
        options.loadReceiver = false;
        options.loadDefaultSettingsFile = !options.defaultSettingsFile.empty();
    }
    return options;
}

void writeOptions(const Options& options, Configuration& configuration) {
    configuration.setEventLogFile(options.eventLogFile);
    configuration.setSoundFile(options.soundFile);
    configuration.setSoundKind(options.soundKind);
    configuration.setPrintFontName(options.fontName);
    configuration.setPrintFontSize(options.fontSize);
    configuration.setAutoConnect(options.autoConnect);
    configuration.setLoadReceiverAfterConnect(options.loadReceiver);
    configuration.setOpenSearchAfterLoad(options.openSearchAfterLoad);
    configuration.setDefaultSettingsFile(options.defaultSettingsFile);
    configuration.setLoadDefaultSettingsFile(options.loadDefaultSettingsFile);
    configuration.setAutosave(options.autosave);
    configuration.setRegistration(options.registration);
    configuration.setEventCount(eventCountOf(options.eventCount));
}

int eventCountOf(const std::string& text) {
    int count = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, count);
    return error == std::errc() && stop == end && !text.empty() ? count : kDefaultEventCount;
}

OptionsEditor::OptionsEditor(UserPrompts& prompts, const TextTable& texts)
    : prompts_(prompts), texts_(texts) {}

void OptionsEditor::load(const Configuration& configuration) {
    const Options stored = readOptions(configuration);
    const std::filesystem::path defaultFile = values_.defaultSettingsFile;
    values_.eventLogFile = stored.eventLogFile;
    values_.soundFile = stored.soundFile;
    values_.soundKind = stored.soundKind;
    values_.fontName = stored.fontName;
    values_.fontSize = stored.fontSize;
    values_.autoConnect = stored.autoConnect;
    if (stored.loadReceiver != values_.loadReceiver)
        clickLoadReceiver(stored.loadReceiver);
    values_.openSearchAfterLoad = stored.openSearchAfterLoad;
    values_.autosave = stored.autosave;
    // An empty stored path leaves the edit as it stands.
    values_.defaultSettingsFile =
        stored.defaultSettingsFile.empty() ? defaultFile : stored.defaultSettingsFile;
    if (stored.loadDefaultSettingsFile != values_.loadDefaultSettingsFile)
        clickLoadDefaultSettingsFile(stored.loadDefaultSettingsFile);
    if (stored.registration != values_.registration)
        clickRegistration(stored.registration);
    values_.eventCount = stored.eventCount;
}

void OptionsEditor::save(Configuration& configuration) const {
    writeOptions(values_, configuration);
    configuration.save();
}

void OptionsEditor::clickLoadReceiver(bool checked) {
    values_.loadReceiver = checked;
    values_.loadDefaultSettingsFile = false;
    openSearchEnabled_ = checked;
}

void OptionsEditor::clickLoadDefaultSettingsFile(bool checked) {
    values_.loadDefaultSettingsFile = checked;
    values_.loadReceiver = false;
    openSearchEnabled_ = false;
    if (checked && values_.defaultSettingsFile.empty()) {
        warn(Msg::DefaultSettingsFileRequired);
        values_.loadDefaultSettingsFile = false;
    }
}

void OptionsEditor::clickRegistration(bool checked) {
    values_.registration = checked;
    eventLogControlsEnabled_ = checked;
}

void OptionsEditor::defaultSettingsFileChosen(const std::filesystem::path& file) {
    values_.defaultSettingsFile = file;
    if (!values_.loadReceiver)
        clickLoadDefaultSettingsFile(true);
}

void OptionsEditor::trySound(Sound& sound, const FileExists& exists) {
    switch (values_.soundKind) {
    case kNoSound:
        warn(Msg::SelectSoundToPlay);
        return;
    case kSoundFile:
        if (exists(values_.soundFile)) {
            sound.playFile(values_.soundFile);
            return;
        }
        warn(Msg::SoundFileMissing);
        values_.soundKind = kBeep;
        break;
    default:
        break;
    }
    sound.play(kTrialBeep);
}

void OptionsEditor::warn(Msg text) const {
    prompts_.ask({.caption = std::string(untranslated(Untranslated::DialogTitle)),
                  .text = texts_.text(text),
                  .icon = PromptIcon::Warning});
}

} // namespace konfigor
