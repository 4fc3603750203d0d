#include "common/user_prompts.h"
#include "sheet/save_commands.h"
#include "sheet/save_state.h"
#include "support/recording_sheet_surface.h"
#include "support/scripted_prompts.h"
#include "texts/text_table.h"
#include "texts/untranslated_texts.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

namespace konfigor {
namespace {

using testing_support::RecordingSheetSurface;
using testing_support::ScriptedPrompts;

constexpr std::string_view kNowhere = "Zmiany nie są nigdzie zapisane";
constexpr std::string_view kNotToDisk = "Zmiany nie zapisane na dysk";
constexpr std::string_view kNotToReceiver = "Zmiany nie zapisane na EEPROM";
constexpr std::string_view kSaved = "Zmiany zapisane";

constexpr std::string_view kDiskQuestion =
    "Nie zapisano zmian na dysk. Czy chcesz zapisać zmiany na dysk?";
constexpr std::string_view kReceiverQuestion =
    "Nie zapisano zmian do pamięci EEPROM. Czy chcesz zapisać zmiany do EEPROM?";

enum class FileSave { Saves, Cancelled };
enum class ReceiverWrite { Completes, GoesOnInBackground, Fails };

// The two save commands as the session runs them: they set the flags the way a real save
// does, or leave them when the user cancels or the write fails.
class FakeSaveCommands final : public SaveCommands {
public:
    void runSaveToFile() override {
        ++fileSaves;
        if (fileSave == FileSave::Saves)
            state->apply(SaveEvent::FileSaved);
    }
    void runSaveToReceiver() override {
        ++receiverSaves;
        if (receiverWrite == ReceiverWrite::Completes)
            state->apply(SaveEvent::SheetWrittenToReceiver);
        dialogVisible = receiverWrite == ReceiverWrite::GoesOnInBackground;
    }
    bool isTransferDialogVisible() const override { return dialogVisible; }

    SaveState* state = nullptr;
    FileSave fileSave = FileSave::Saves;
    ReceiverWrite receiverWrite = ReceiverWrite::Completes;
    bool dialogVisible = false;
    int fileSaves = 0;
    int receiverSaves = 0;
};

class SaveStateTest : public ::testing::Test {
protected:
    SaveStateTest() { commands.state = &state; }

    void startWith(bool disk, bool receiver) {
        state.setSavedToDisk(disk);
        state.setSavedToReceiver(receiver);
    }
    void script(const std::vector<PromptAnswer>& answers) {
        for (const PromptAnswer answer : answers)
            prompts.answer(answer);
    }
    // Every question is the main window's warning with Yes, No and Cancel, Cancel the default.
    std::vector<std::string> askedTexts() const {
        std::vector<std::string> shown;
        for (const Prompt& prompt : prompts.asked()) {
            EXPECT_EQ(prompt.caption, untranslated(Untranslated::ProgramTitle));
            EXPECT_EQ(prompt.buttons, PromptButtons::YesNoCancel);
            EXPECT_EQ(prompt.defaultAnswer, PromptAnswer::Cancel);
            EXPECT_EQ(prompt.icon, PromptIcon::Warning);
            shown.push_back(prompt.text);
        }
        return shown;
    }
    std::string shownStatus() const { return surface.statusText(StatusPanel::SaveState); }

    TextTable texts;
    ScriptedPrompts prompts;
    RecordingSheetSurface surface;
    FakeSaveCommands commands;
    SaveState state{texts, prompts, surface, commands};
};

TEST_F(SaveStateTest, StatusTextAfterEachFlagEvent) {
    using Act = std::function<void(SaveState&)>;
    auto event = [](SaveEvent e) -> Act { return [e](SaveState& s) { s.apply(e); }; };
    auto edit = [](RemoteEdit e, AutoWrite w) -> Act {
        return [e, w](SaveState& s) { s.apply(e, w); };
    };
    struct Case {
        std::string_view what;
        bool disk;
        bool receiver;
        Act act;
        std::string_view text;
    };
    const Case cases[] = {
        {"start-up", false, false, event(SaveEvent::Startup), kSaved},
        {"disconnection", false, false, event(SaveEvent::Disconnection), kSaved},
        {"receiver loaded", true, false, event(SaveEvent::ReceiverLoaded), kNotToDisk},
        {"sheet written", false, false, event(SaveEvent::SheetWrittenToReceiver), kNotToDisk},
        {"file loaded", false, true, event(SaveEvent::FileLoaded), kNotToReceiver},
        {"file saved", false, false, event(SaveEvent::FileSaved), kNotToReceiver},
        {"erase", false, false, event(SaveEvent::SheetErased), kSaved},
        {"channel edited", true, true, event(SaveEvent::ChannelEdited), kNotToDisk},
        {"PIN changed", true, true, event(SaveEvent::PinChanged), kNotToReceiver},
        {"configuration not sent", true, true, event(SaveEvent::ConfigurationNotSent),
         kNotToReceiver},
        {"delete, no autosave", true, true, edit(RemoteEdit::DeleteOne, AutoWrite::NotApplied),
         kNowhere},
        {"delete one, not sent", true, true, edit(RemoteEdit::DeleteOne, AutoWrite::NotSent),
         kNotToDisk},
        {"delete several, sent", true, false, edit(RemoteEdit::DeleteSeveral, AutoWrite::Sent),
         kNowhere},
        {"compaction, sent", true, true, edit(RemoteEdit::Compaction, AutoWrite::Sent), kNotToDisk},
        {"swap, not sent", true, true, edit(RemoteEdit::Swap, AutoWrite::NotSent), kNotToDisk},
        {"cut, sent", true, false, edit(RemoteEdit::Cut, AutoWrite::Sent), kNotToDisk},
        {"paste, not sent", true, true, edit(RemoteEdit::Paste, AutoWrite::NotSent), kNowhere},
        {"marked remotes edited, sent", false, false,
         edit(RemoteEdit::MarkedRemotesEdit, AutoWrite::Sent), kNotToDisk},
        {"remote entered, sent", true, true,
         edit(RemoteEdit::RemoteEnteredOrEdited, AutoWrite::Sent), kNotToDisk},
        {"remote entered, not sent", true, true,
         edit(RemoteEdit::RemoteEnteredOrEdited, AutoWrite::NotSent), kNowhere},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        startWith(c.disk, c.receiver);
        c.act(state);
        EXPECT_EQ(shownStatus(), c.text);
        EXPECT_EQ(state.statusText(), c.text);
    }
}

TEST_F(SaveStateTest, AskBeforeReplacingWithEveryAnswer) {
    constexpr auto Yes = PromptAnswer::Yes;
    constexpr auto No = PromptAnswer::No;
    constexpr auto Cancel = PromptAnswer::Cancel;
    const std::string disk(kDiskQuestion);
    const std::string receiver(kReceiverQuestion);
    struct Case {
        std::string_view what;
        ReplacingCommand command;
        bool disk;
        bool receiver;
        std::vector<PromptAnswer> answers;
        std::vector<std::string> asked;
        int fileSaves;
        int receiverSaves;
        bool goOn;
    };
    const Case cases[] = {
        {"all saved", ReplacingCommand::ReceiverLoad, true, true, {}, {}, 0, 0, true},
        {"disk Cancel", ReplacingCommand::FileLoad, false, false, {Cancel}, {disk}, 0, 0, false},
        {"disk Yes", ReplacingCommand::DescriptionSearch, false, true, {Yes}, {disk}, 1, 0, true},
        {"disk No", ReplacingCommand::ReceiverLoad, false, true, {No}, {disk}, 0, 0, true},
        {"receiver Cancel",
         ReplacingCommand::FileLoad,
         true,
         false,
         {Cancel},
         {receiver},
         0,
         0,
         false},
        {"receiver Yes",
         ReplacingCommand::DescriptionSearch,
         true,
         false,
         {Yes},
         {receiver},
         0,
         1,
         true},
        {"receiver No", ReplacingCommand::ReceiverLoad, true, false, {No}, {receiver}, 0, 0, true},
        {"disk No, receiver Cancel",
         ReplacingCommand::FileLoad,
         false,
         false,
         {No, Cancel},
         {disk, receiver},
         0,
         0,
         false},
        {"disk Yes, receiver Yes",
         ReplacingCommand::ReceiverLoad,
         false,
         false,
         {Yes, Yes},
         {disk, receiver},
         1,
         1,
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        prompts = ScriptedPrompts();
        commands = FakeSaveCommands();
        commands.state = &state;
        startWith(c.disk, c.receiver);
        script(c.answers);

        EXPECT_EQ(state.askBeforeReplacing(c.command), c.goOn);
        EXPECT_EQ(askedTexts(), c.asked);
        EXPECT_EQ(commands.fileSaves, c.fileSaves);
        EXPECT_EQ(commands.receiverSaves, c.receiverSaves);
    }
}

TEST_F(SaveStateTest, ConfirmUnsavedChangesWithEveryAnswer) {
    constexpr auto Yes = PromptAnswer::Yes;
    constexpr auto No = PromptAnswer::No;
    constexpr auto Cancel = PromptAnswer::Cancel;
    const std::string disk(kDiskQuestion);
    const std::string receiver(kReceiverQuestion);
    struct Case {
        std::string_view what;
        bool disk;
        bool receiver;
        std::vector<PromptAnswer> answers;
        FileSave fileSave;
        ReceiverWrite receiverWrite;
        std::vector<std::string> asked;
        bool goOn;
        bool closeAfterWrite;
        std::string_view text;
    };
    constexpr auto Saves = FileSave::Saves;
    constexpr auto Completes = ReceiverWrite::Completes;
    const Case cases[] = {
        {"all saved", true, true, {}, Saves, Completes, {}, true, false, kSaved},
        {"disk Cancel", false, true, {Cancel}, Saves, Completes, {disk}, false, false, kNotToDisk},
        {"disk No", false, true, {No}, Saves, Completes, {disk}, true, false, kNotToDisk},
        {"disk Yes, saved", false, true, {Yes}, Saves, Completes, {disk}, true, false, kSaved},
        {"disk Yes, save cancelled",
         false,
         false,
         {Yes},
         FileSave::Cancelled,
         Completes,
         {disk},
         false,
         false,
         kNowhere},
        {"disk No, receiver Cancel",
         false,
         false,
         {No, Cancel},
         Saves,
         Completes,
         {disk, receiver},
         false,
         false,
         kNowhere},
        {"receiver No",
         true,
         false,
         {No},
         Saves,
         Completes,
         {receiver},
         true,
         false,
         kNotToReceiver},
        {"disk No, receiver Yes, written",
         false,
         false,
         {No, Yes},
         Saves,
         Completes,
         {disk, receiver},
         true,
         false,
         kSaved},
        {"receiver Yes, write goes on",
         true,
         false,
         {Yes},
         Saves,
         ReceiverWrite::GoesOnInBackground,
         {receiver},
         false,
         true,
         kNotToReceiver},
        {"disk No, receiver Yes, write fails",
         false,
         false,
         {No, Yes},
         Saves,
         ReceiverWrite::Fails,
         {disk, receiver},
         false,
         false,
         kNotToReceiver},
        {"disk Yes, receiver Yes",
         false,
         false,
         {Yes, Yes},
         Saves,
         Completes,
         {disk, receiver},
         true,
         false,
         kSaved},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        prompts = ScriptedPrompts();
        commands.fileSave = c.fileSave;
        commands.receiverWrite = c.receiverWrite;
        commands.dialogVisible = false;
        startWith(c.disk, c.receiver);
        script(c.answers);

        EXPECT_EQ(state.confirmUnsavedChanges(), c.goOn);
        EXPECT_EQ(askedTexts(), c.asked);
        EXPECT_EQ(state.closeAfterWrite(), c.closeAfterWrite);
        EXPECT_EQ(shownStatus(), c.text);
        // The next question clears the flag again.
        if (c.closeAfterWrite) {
            prompts = ScriptedPrompts();
            prompts.answer(Cancel);
            EXPECT_FALSE(state.confirmUnsavedChanges());
            EXPECT_FALSE(state.closeAfterWrite());
        }
    }
}

} // namespace
} // namespace konfigor
