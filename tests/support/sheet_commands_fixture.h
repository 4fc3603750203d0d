#pragma once

#include "sheet/history.h"
#include "sheet/history_commands.h"
#include "sheet/save_commands.h"
#include "sheet/save_state.h"
#include "sheet/settings_sheet.h"
#include "support/fake_sheet_session.h"
#include "support/recording_sheet_surface.h"
#include "support/scripted_prompts.h"
#include "texts/text_table.h"

#include <gtest/gtest.h>

namespace konfigor::testing_support {

// Save commands that do nothing: these tests watch the flags, not the saving.
class NoSaveCommands final : public SaveCommands {
public:
    void runSaveToFile() override {}
    void runSaveToReceiver() override {}
    bool isTransferDialogVisible() const override { return false; }
};

// A sheet with the real history and save state around it, as the main window keeps them, and
// fakes for the user, the window and the receiver session; started as the program starts.
class SheetCommandsFixture : public ::testing::Test {
protected:
    SheetCommandsFixture() {
        history.resetAtStartup();
        saveState.apply(SaveEvent::Startup);
    }

    TextTable texts;
    SettingsSheet sheet;
    History store;
    FakeSheetSession session;
    RecordingSheetSurface surface;
    ScriptedPrompts prompts;
    NoSaveCommands saveCommands;
    SaveState saveState{texts, prompts, surface, saveCommands};
    HistoryCommands history{store, sheet, session, surface, texts};
};

} // namespace konfigor::testing_support
