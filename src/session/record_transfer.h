#pragma once

#include "texts/text_lines.h"

#include <cstddef>

namespace konfigor {

class HistoryCommands;
class ReceiverLink;
class SaveState;
class SheetSurface;
class TextTable;
class UserPrompts;
struct LinkMessage;
struct SessionState;
struct SettingsSheet;

// Single-record reads and writes and the write of the configuration page, and the receiver's
// answers to them. Main thread only.
class RecordTransfer {
public:
    struct Services {
        ReceiverLink& link;
        SettingsSheet& sheet;
        SessionState& state;
        SaveState& saveState;
        HistoryCommands& history;
        UserPrompts& prompts;
        SheetSurface& surface;
        const TextTable& texts;
    };

    explicit RecordTransfer(Services services) : s_(services) {}

    // False when the request could not be sent (the user has been told).
    bool writeRemoteRecord(std::size_t slot);
    void readRemoteRecord(std::size_t slot);
    // After the image's configuration page was changed.
    bool writeConfigurationPage();
    // The same page after a channel edit, with the channel editor's own texts.
    bool writeChannelSettings();

    // 'Y': the receiver took the write the session waits for.
    void onWriteAccepted();
    // The link gave the single request up: the operation the window waits for ends, loudly.
    void requestGivenUp();
    // 'L': the record asked for by readRemoteRecord.
    void onRecordRead(const LinkMessage& message);

private:
    void finish(Msg status);

    Services s_;
};

} // namespace konfigor
