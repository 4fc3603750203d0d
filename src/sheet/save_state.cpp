#include "sheet/save_state.h"

#include "common/user_prompts.h"
#include "sheet/save_commands.h"
#include "sheet/sheet_surface.h"
#include "texts/text_table.h"
#include "texts/untranslated_texts.h"

namespace konfigor {
namespace {

struct Questions {
    Msg disk;
    Msg receiver;
};

Questions questionsOf(ReplacingCommand command) {
    switch (command) {
    case ReplacingCommand::ReceiverLoad:
        return {Msg::LoadReceiverUnsavedToDiskQuestion, Msg::LoadReceiverUnsavedToReceiverQuestion};
    case ReplacingCommand::FileLoad:
        return {Msg::LoadFileUnsavedToDiskQuestion, Msg::LoadFileUnsavedToReceiverQuestion};
    case ReplacingCommand::DescriptionSearch:
        return {Msg::SearchUnsavedToDiskQuestion, Msg::SearchUnsavedToReceiverQuestion};
    }
    return {Msg::UnsavedChangesToDiskQuestion, Msg::UnsavedChangesToReceiverQuestion};
}

bool sendsWholeSheetOnItsOwn(RemoteEdit edit) {
    return edit == RemoteEdit::Cut || edit == RemoteEdit::Paste ||
           edit == RemoteEdit::MarkedRemotesEdit;
}

} // namespace

void SaveState::setSavedToDisk(bool on) {
    savedToDisk_ = on;
    refreshStatusText();
}

void SaveState::setSavedToReceiver(bool on) {
    savedToReceiver_ = on;
    refreshStatusText();
}

std::string SaveState::statusText() const {
    if (savedToDisk_)
        return texts_.text(savedToReceiver_ ? Msg::ChangesSaved : Msg::ChangesNotSavedToReceiver);
    return texts_.text(savedToReceiver_ ? Msg::ChangesNotSavedToDisk : Msg::ChangesSavedNowhere);
}

void SaveState::apply(SaveEvent event) {
    switch (event) {
    case SaveEvent::Startup:
        closeAfterWrite_ = false;
        setFlags(true, true);
        return;
    case SaveEvent::Disconnection:
    case SaveEvent::SheetErased:
        setFlags(true, true);
        return;
    case SaveEvent::ReceiverLoaded:
        setFlags(false, true);
        return;
    case SaveEvent::FileLoaded:
        setFlags(true, false);
        return;
    case SaveEvent::SheetWrittenToReceiver:
        setSavedToReceiver(true);
        return;
    case SaveEvent::FileSaved:
        setSavedToDisk(true);
        return;
    case SaveEvent::ChannelEdited:
        setSavedToDisk(false);
        return;
    case SaveEvent::PinChanged:
    case SaveEvent::ConfigurationNotSent:
        setSavedToReceiver(false);
        return;
    }
}

void SaveState::apply(RemoteEdit edit, AutoWrite write) {
    setFlags(false, receiverFlagAfter(edit, write));
}

// Without automatic writing the receiver falls behind. With it, only the commands that send the
// whole sheet count as written once the write starts; a single remote that cannot be sent
// leaves the receiver behind, and the rest leave the flag as it was.
bool SaveState::receiverFlagAfter(RemoteEdit edit, AutoWrite write) const {
    if (write == AutoWrite::NotApplied)
        return false;
    if (sendsWholeSheetOnItsOwn(edit))
        return write == AutoWrite::Sent;
    if (edit == RemoteEdit::RemoteEnteredOrEdited && write == AutoWrite::NotSent)
        return false;
    return savedToReceiver_;
}

bool SaveState::askBeforeReplacing(ReplacingCommand command) {
    const Questions questions = questionsOf(command);
    if (!savedToDisk_) {
        const Answer answer = ask(questions.disk);
        if (answer == Answer::Cancel)
            return false;
        if (answer == Answer::Yes)
            commands_.runSaveToFile();
    }
    if (!savedToReceiver_) {
        const Answer answer = ask(questions.receiver);
        if (answer == Answer::Cancel)
            return false;
        if (answer == Answer::Yes)
            commands_.runSaveToReceiver();
    }
    return true;
}

bool SaveState::confirmUnsavedChanges() {
    if (!confirmDisk())
        return false;
    return savedToReceiver_ || confirmReceiver();
}

// Only a save that really happened lets the close go on.
bool SaveState::confirmDisk() {
    if (savedToDisk_)
        return true;
    closeAfterWrite_ = false;
    switch (ask(Msg::UnsavedChangesToDiskQuestion)) {
    case Answer::Cancel:
        return false;
    case Answer::No:
        return true;
    case Answer::Yes:
        commands_.runSaveToFile();
        return savedToDisk_;
    }
    return false;
}

bool SaveState::confirmReceiver() {
    closeAfterWrite_ = false;
    switch (ask(Msg::UnsavedChangesToReceiverQuestion)) {
    case Answer::Cancel:
        return false;
    case Answer::No:
        return true;
    case Answer::Yes:
        // A repeated confirmation, after the write, must not ask about the disk again.
        setSavedToDisk(true);
        commands_.runSaveToReceiver();
        if (commands_.isTransferDialogVisible()) {
            closeAfterWrite_ = true;
            return false;
        }
        return savedToReceiver_;
    }
    return false;
}

SaveState::Answer SaveState::ask(Msg question) {
    const Prompt prompt{.caption = std::string(untranslated(Untranslated::ProgramTitle)),
                        .text = texts_.text(question),
                        .buttons = PromptButtons::YesNoCancel,
                        .defaultAnswer = PromptAnswer::Cancel,
                        .icon = PromptIcon::Warning};
    switch (prompts_.ask(prompt)) {
    case PromptAnswer::Yes:
        return Answer::Yes;
    case PromptAnswer::No:
        return Answer::No;
    case PromptAnswer::Ok:
    case PromptAnswer::Cancel:
        break;
    }
    return Answer::Cancel;
}

void SaveState::setFlags(bool disk, bool receiver) {
    savedToDisk_ = disk;
    savedToReceiver_ = receiver;
    refreshStatusText();
}

void SaveState::refreshStatusText() {
    surface_.setStatusText(StatusPanel::SaveState, statusText());
}

} // namespace konfigor
