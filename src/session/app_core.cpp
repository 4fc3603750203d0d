#include "session/app_core.h"

#include "config/configuration.h"
#include "config/options.h"
#include "link/receiver_link.h"
#include "session/session_dialogs.h"

namespace konfigor {

AppCore::AppCore(Platform platform)
    : p_(std::move(platform)), saveState_(p_.texts, p_.prompts, p_.sheetSurface, commands_),
      historyCommands_(history_, sheet_, session_, p_.sheetSurface, p_.texts),
      ports_(
          p_.portSource, p_.fixedPorts,
          [this](bool present, const std::string& path) {
              session_.connectedPortListed(present, path);
          },
          p_.leadingPorts),
      bulk_({.link = p_.link,
             .sheet = sheet_,
             .state = state_,
             .options = options_,
             .saveState = saveState_,
             .saveCommands = commands_,
             .history = historyCommands_,
             .dialog = p_.transferDialog,
             .prompts = p_.prompts,
             .sheetSurface = p_.sheetSurface,
             .sessionSurface = p_.sessionSurface,
             .texts = p_.texts}),
      records_({.link = p_.link,
                .sheet = sheet_,
                .state = state_,
                .saveState = saveState_,
                .history = historyCommands_,
                .prompts = p_.prompts,
                .surface = p_.sheetSurface,
                .texts = p_.texts}),
      session_({.link = p_.link,
                .clock = p_.clock,
                .sheet = sheet_,
                .state = state_,
                .options = options_,
                .ports = ports_,
                .saveState = saveState_,
                .history = historyCommands_,
                .bulk = bulk_,
                .records = records_,
                .connecting = p_.connecting,
                .warning = p_.warning,
                .prompts = p_.prompts,
                .sheetSurface = p_.sheetSurface,
                .sessionSurface = p_.sessionSurface,
                .texts = p_.texts}),
      files_({.sheet = sheet_,
              .configuration = p_.configuration,
              .saveState = saveState_,
              .history = historyCommands_,
              .session = session_,
              .dialogs = p_.fileDialogs,
              .prompts = p_.prompts,
              .surface = p_.sheetSurface,
              .texts = p_.texts,
              .localTime = p_.localTime}),
      editor_(sheet_, {.history = historyCommands_,
                       .saveState = saveState_,
                       .session = session_,
                       .prompts = p_.prompts,
                       .surface = p_.sheetSurface,
                       .texts = p_.texts}),
      clipboard_(sheet_, p_.clipboard, p_.clock, p_.prompts, p_.texts, clipboardChanges_),
      remoteEditor_({.sheet = sheet_,
                     .history = historyCommands_,
                     .saveState = saveState_,
                     .session = session_,
                     .surface = p_.sheetSurface,
                     .sound = p_.sound,
                     .texts = p_.texts}),
      channelEditor_({.sheet = sheet_,
                      .history = historyCommands_,
                      .saveState = saveState_,
                      .session = session_,
                      .prompts = p_.prompts,
                      .surface = p_.sheetSurface,
                      .texts = p_.texts}),
      security_({.link = p_.link,
                 .session = session_,
                 .state = state_,
                 .saveState = saveState_,
                 .history = historyCommands_,
                 .records = records_,
                 .dialogs = p_.pinDialogs,
                 .prompts = p_.prompts,
                 .surface = p_.sheetSurface,
                 .texts = p_.texts}),
      eventLogView_({.log = eventsLog_,
                     .configuration = p_.configuration,
                     .surface = p_.eventLogSurface,
                     .sound = p_.sound,
                     .prompts = p_.prompts,
                     .texts = p_.texts}) {
    takeOptions();
    routeRemotePresses();
    session_.checkReceiverPin = [this] { security_.checkReceiverPin(); };
    bulk_.descriptionSearch = [this] { search_.run(SearchStart::AfterLoad); };
}

void AppCore::routeRemotePresses() {
    session_.unknownRemotePressed = [this](std::uint32_t serialWord, std::uint16_t counter, int) {
        if (remoteEditor_.isOpen())
            remoteEditor_.onUnknownRemote(serialWord, counter);
    };
    session_.remotePressed = [this](const RemotePress& press) {
        if (remoteEditor_.isOpen())
            remoteEditor_.onStoredRemote(press.slot);
        const EventRecord event =
            remotePressEvent(press, sheet_.remotes.at(press.slot).description.view(), {});
        eventLogView_.addEvent(event.position, event.description.view(), event.button,
                               event.channelMask, event.serialNumber);
    };
    virtualRemote_.setEventSink([this](const VirtualPressEvent& press) {
        eventLogView_.addEvent(
            press.position, press.description.view(), static_cast<std::uint8_t>(press.button),
            static_cast<std::uint8_t>(press.channelMask & 0xFF), press.serialNumber);
    });
}

void AppCore::start() {
    sheet_ = SettingsSheet();
    saveState_.apply(SaveEvent::Startup);
    historyCommands_.resetAtStartup();
    session_.refreshPorts();
    session_.enableReceiverControls(false);
    eventLogView_.start();
}

void AppCore::languageChanged() {
    session_.showInNewLanguage();
    saveState_.refreshStatusText();
    historyCommands_.refreshCaptions();
}

void AppCore::takeOptions() {
    const Options settled = settledOptions(p_.configuration);
    options_ = {.autoConnect = settled.autoConnect,
                .loadReceiverAfterConnect = settled.loadReceiver,
                .openSearchAfterLoad = settled.openSearchAfterLoad,
                .autosave = settled.autosave};
}

void AppCore::setAutosave(bool on) {
    options_.autosave = on;
    p_.configuration.setAutosave(on);
}

bool AppCore::Commands::isTransferDialogVisible() const {
    return core_.p_.transferDialog.isVisible();
}

} // namespace konfigor
