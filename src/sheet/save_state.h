#pragma once

#include "texts/text_lines.h"

#include <string>

namespace konfigor {

class SaveCommands;
class SheetSurface;
class TextTable;
class UserPrompts;

// Events that set the save flags the same way whether or not automatic writing applies.
enum class SaveEvent {
    Startup,
    Disconnection,
    ReceiverLoaded,
    SheetWrittenToReceiver,
    FileLoaded,
    FileSaved,
    SheetErased,
    ChannelEdited,
    PinChanged,
    ConfigurationNotSent,
};

// Commands that change remotes; with automatic writing they differ in what they send.
enum class RemoteEdit {
    DeleteOne,             // single-remote write
    DeleteSeveral,         // whole-sheet write
    Swap,                  // single-remote writes of both slots
    Compaction,            // whole-sheet write
    Cut,                   // whole-sheet write
    Paste,                 // whole-sheet write
    MarkedRemotesEdit,     // whole-sheet write
    RemoteEnteredOrEdited, // single-remote write
};

// What automatic writing did with a change.
enum class AutoWrite {
    NotApplied, // off, or no receiver connected
    Sent,       // the write was started or the request sent
    NotSent,
};

// The commands that replace the whole sheet; each asks with its own texts.
enum class ReplacingCommand { ReceiverLoad, FileLoad, DescriptionSearch };

// Whether the sheet is saved to a settings file and to the receiver, shown in the status bar
// and asked about before anything throws unsaved changes away.
class SaveState {
public:
    SaveState(const TextTable& texts, UserPrompts& prompts, SheetSurface& surface,
              SaveCommands& commands)
        : texts_(texts), prompts_(prompts), surface_(surface), commands_(commands) {}

    bool savedToDisk() const { return savedToDisk_; }
    bool savedToReceiver() const { return savedToReceiver_; }
    // A close or disconnect confirmation started a receiver write that is still running; the
    // session closes the main window when it sees the write complete.
    bool closeAfterWrite() const { return closeAfterWrite_; }
    // The close query sent the end of the connection and closes at the next tick.
    void setCloseAfterWrite(bool on) { closeAfterWrite_ = on; }

    void setSavedToDisk(bool on);
    void setSavedToReceiver(bool on);
    std::string statusText() const;
    void refreshStatusText();

    void apply(SaveEvent event);
    void apply(RemoteEdit edit, AutoWrite write);

    // Before a command replaces the sheet: true to go on, false to stop.
    bool askBeforeReplacing(ReplacingCommand command);
    // Before disconnecting or closing: true to go on, false for not now.
    bool confirmUnsavedChanges();

private:
    enum class Answer { Yes, No, Cancel };
    Answer ask(Msg question);
    void setFlags(bool disk, bool receiver);
    bool receiverFlagAfter(RemoteEdit edit, AutoWrite write) const;
    bool confirmDisk();
    bool confirmReceiver();

    const TextTable& texts_;
    UserPrompts& prompts_;
    SheetSurface& surface_;
    SaveCommands& commands_;
    bool savedToDisk_ = true;
    bool savedToReceiver_ = true;
    bool closeAfterWrite_ = false;
};

} // namespace konfigor
