#include "session/settings_file_commands.h"

#include "config/configuration.h"
#include "files/settings_file.h"
#include "files/settings_file_names.h"
#include "link/receiver_image.h"
#include "session/file_dialogs.h"
#include "sheet/history_commands.h"
#include "sheet/image_transfer.h"
#include "sheet/save_state.h"
#include "sheet/settings_sheet.h"
#include "sheet/sheet_session.h"
#include "sheet/sheet_surface.h"
#include "texts/main_window_prompts.h"
#include "texts/text_table.h"

#include <chrono>

namespace konfigor {

void SettingsFileCommands::saveToFile() {
    const std::filesystem::path current(currentFileName());
    const std::filesystem::path offered =
        current.empty() ? std::filesystem::path(defaultSettingsFileName(s_.localTime())) : current;
    const auto chosen = s_.dialogs.chooseFileToSave(s_.configuration.settingsSaveFolder(), offered);
    if (!chosen)
        return;
    s_.configuration.setSettingsSaveFolder(chosen->path.parent_path());
    const std::filesystem::path path =
        withSettingsFileExtension(chosen->path, chosen->settingsFilterChosen);
    const SettingsFile file(s_.texts);
    if (const auto error =
            file.write(path, s_.sheet.remotes, s_.sheet.channels, s_.sheet.identifier)) {
        showMainWindowError(s_.prompts, *error);
        s_.saveState.refreshStatusText();
        return;
    }
    takeFileName(path);
    s_.saveState.apply(SaveEvent::FileSaved);
}

void SettingsFileCommands::loadFromFile() {
    if (!s_.saveState.askBeforeReplacing(ReplacingCommand::FileLoad))
        return;
    const auto chosen = s_.dialogs.chooseFileToOpen(s_.configuration.settingsLoadFolder());
    if (!chosen)
        return;
    s_.configuration.setSettingsLoadFolder(chosen->path.parent_path());
    loadNamedFile(chosen->path);
}

void SettingsFileCommands::loadNamedFile(const std::filesystem::path& path) {
    // Erased as by the erase command, channels included, before the file fills the sheet.
    s_.session.clearImage(true);
    s_.sheet.erase(true);

    bool newerVersion = false;
    if (!read(path, &newerVersion)) {
        // The erase emptied the identifier: the field must not keep showing the old one, or
        // the next save would write what the field no longer means.
        s_.surface.showIdentifierAndTitle();
        s_.surface.repaintGrids();
        return;
    }
    if (newerVersion)
        showMainWindowError(s_.prompts, s_.texts, Msg::FileVersionNewer);
    s_.session.image().update([&](ReceiverMemory& memory) { copySheetToImage(s_.sheet, memory); });
    takeFileName(path);
    s_.saveState.apply(SaveEvent::FileLoaded);
    s_.surface.repaintGrids();
    recordFileLoad();
    if (s_.session.isAutosaveActive())
        s_.session.writeSheetToReceiver();
}

void SettingsFileCommands::loadDefaultFileAtStartup(const std::filesystem::path& path) {
    if (!read(path, nullptr))
        return;
    takeFileName(path);
    s_.saveState.refreshStatusText();
    s_.surface.repaintGrids();
    recordFileLoad();
}

bool SettingsFileCommands::read(const std::filesystem::path& path, bool* newerVersion) {
    bool newer = false;
    IdentifierText identifier;
    const SettingsFile file(s_.texts);
    const auto error = file.read(path, {.remotes = s_.sheet.remotes,
                                        .channels = s_.sheet.channels,
                                        .identifier = identifier,
                                        .newerVersion = newer});
    if (error) {
        showMainWindowError(s_.prompts, *error);
        return false;
    }
    s_.sheet.identifier = identifier;
    if (newerVersion)
        *newerVersion = newer;
    return true;
}

std::string SettingsFileCommands::currentFileName() const {
    const std::string_view field = s_.sheet.fileName.view();
    return field == fileNameFieldText(fullFileName_) ? fullFileName_ : std::string(field);
}

void SettingsFileCommands::takeFileName(const std::filesystem::path& path) {
    fullFileName_ = path.string();
    s_.sheet.fileName.assign(fileNameFieldText(fullFileName_));
    s_.surface.showIdentifierAndTitle();
}

void SettingsFileCommands::recordFileLoad() {
    const SheetSnapshot snapshot = s_.session.image().read(
        [&](const ReceiverMemory& memory) { return takeSnapshot(s_.sheet, memory); });
    s_.history.recordChange(HistoryKind::FileLoad, snapshotPayload(snapshot));
}

std::tm localTimeNow() {
    const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm local{};
    localtime_r(&now, &local);
    return local;
}

} // namespace konfigor
