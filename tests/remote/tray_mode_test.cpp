#include "remote/tray_mode.h"

#include <functional>
#include <optional>
#include <ostream>

#include <gtest/gtest.h>

namespace konfigor {
namespace {

using enum ShellStep;

struct TrayCase {
    friend void PrintTo(const TrayCase& shown, std::ostream* out) { *out << shown.name; }
    const char* name;
    // What happened before, then the event under test; its steps are compared.
    std::function<std::optional<ShellSteps>(TrayMode&)> events;
    std::optional<ShellSteps> expected;
};

class TrayModeTest : public testing::TestWithParam<TrayCase> {};

TEST_P(TrayModeTest, Steps) {
    TrayMode mode;
    EXPECT_EQ(GetParam().events(mode), GetParam().expected);
}

// The session's switches of the receiver controls: (on, during a transfer, window shown).
const TrayCase kSessionCases[] = {
    {"ShowButtonDownShows", [](TrayMode& m) { return m.showButtonToggled(true); },
     ShellSteps{ShowFloating}},
    {"ShowButtonUpCloses", [](TrayMode& m) { return m.showButtonToggled(false); },
     ShellSteps{CloseFloating}},
    {"DisconnectionClosesTheShownWindow",
     [](TrayMode& m) { return m.receiverControlsEnabled(false, false, true); },
     ShellSteps{CloseFloating}},
    {"ReconnectionShowsItAgain",
     [](TrayMode& m) {
         m.receiverControlsEnabled(false, false, true);
         return m.receiverControlsEnabled(true, false, false);
     },
     ShellSteps{ShowFloating}},
    {"ReconnectionWithTheWindowClosedShowsNothing",
     [](TrayMode& m) {
         m.receiverControlsEnabled(false, false, false);
         return m.receiverControlsEnabled(true, false, false);
     },
     ShellSteps{}},
    {"ClosedByTheUserAfterComingBackStaysClosed",
     [](TrayMode& m) {
         m.receiverControlsEnabled(false, false, true);
         m.receiverControlsEnabled(true, false, false);
         m.showButtonToggled(false);
         return m.receiverControlsEnabled(true, false, false);
     },
     ShellSteps{}},
    {"ATransferLeavesTheWindowUsable",
     [](TrayMode& m) {
         // Neither closed when the transfer starts nor shown again when it ends.
         ShellSteps steps = m.receiverControlsEnabled(false, true, true);
         const ShellSteps after = m.receiverControlsEnabled(true, false, true);
         steps.insert(steps.end(), after.begin(), after.end());
         return steps;
     },
     ShellSteps{}},
};
INSTANTIATE_TEST_SUITE_P(Session, TrayModeTest, testing::ValuesIn(kSessionCases));

// Closing the main window: (floating window shown, tray available).
const TrayCase kClosingCases[] = {
    {"HidesToTheTrayWhileTheRemoteShows",
     [](TrayMode& m) { return m.hideToTrayInsteadOfClosing(true, true); },
     ShellSteps{ShowTrayIcon, HideMainWindow, RaiseFloating}},
    {"ClosesWithoutATray", [](TrayMode& m) { return m.hideToTrayInsteadOfClosing(true, false); },
     std::nullopt},
    {"ClosesWithoutTheRemote",
     [](TrayMode& m) { return m.hideToTrayInsteadOfClosing(false, true); }, std::nullopt},
    {"TheRemoteGoesWithTheMainWindow", [](TrayMode& m) { return m.mainWindowClosing(true); },
     ShellSteps{CloseFloating, HideTrayIcon}},
    {"QuitClosesTheRemoteFirst", [](TrayMode& m) { return m.quitChosen(true); },
     ShellSteps{CloseFloating, ReleaseShowButton, CloseMainWindow}},
    {"QuitWithoutTheRemote", [](TrayMode& m) { return m.quitChosen(false); },
     ShellSteps{CloseMainWindow}},
};
INSTANTIATE_TEST_SUITE_P(Closing, TrayModeTest, testing::ValuesIn(kClosingCases));

// The shared menu and the tray icon.
const TrayCase kMenuCases[] = {
    {"CloseFromTheTrayEndsTheProgram",
     [](TrayMode& m) {
         m.menuOpened(MenuOrigin::TrayIcon);
         return m.closeChosen(false);
     },
     ShellSteps{CloseFloating, ReleaseShowButton, CloseMainWindow}},
    {"CloseFromTheTrayWithTheMainWindowShown",
     [](TrayMode& m) {
         m.menuOpened(MenuOrigin::TrayIcon);
         return m.closeChosen(true);
     },
     ShellSteps{CloseFloating, ReleaseShowButton, CloseMainWindow}},
    {"CloseFromTheRemoteWithTheMainWindowShown",
     [](TrayMode& m) {
         m.menuOpened(MenuOrigin::FloatingWindow);
         return m.closeChosen(true);
     },
     ShellSteps{CloseFloating, ReleaseShowButton}},
    {"CloseFromTheRemoteInTrayModeShowsTheMainWindowFirst",
     [](TrayMode& m) {
         m.menuOpened(MenuOrigin::FloatingWindow);
         return m.closeChosen(false);
     },
     ShellSteps{CloseFloating, ReleaseShowButton, ShowMainWindow, CloseMainWindow}},
    {"AClickOnTheTrayIconMakesItTheMenusOrigin",
     [](TrayMode& m) {
         m.menuOpened(MenuOrigin::FloatingWindow);
         m.trayIconClicked(TrayClick::Middle);
         return m.closeChosen(true);
     },
     ShellSteps{CloseFloating, ReleaseShowButton, CloseMainWindow}},
    {"CloseForgetsAWindowTheSessionClosed",
     [](TrayMode& m) {
         m.receiverControlsEnabled(false, false, true);
         m.menuOpened(MenuOrigin::TrayIcon);
         m.closeChosen(false);
         return m.receiverControlsEnabled(true, false, false);
     },
     ShellSteps{}},
    {"ShowMainWindow", [](TrayMode& m) { return m.showMainChosen(); },
     ShellSteps{ShowMainWindow, HideTrayIcon}},
    {"LeftClickRaisesTheRemote", [](TrayMode& m) { return m.trayIconClicked(TrayClick::Left); },
     ShellSteps{RaiseFloating}},
    {"RightClickOnlyOpensTheMenu", [](TrayMode& m) { return m.trayIconClicked(TrayClick::Right); },
     ShellSteps{}},
    {"DoubleClickShowsTheMainWindowAndKeepsTheIcon",
     [](TrayMode& m) { return m.trayIconClicked(TrayClick::Double); }, ShellSteps{ShowMainWindow}},
    {"DeactivationRaisesAShownRemote", [](TrayMode& m) { return m.applicationDeactivated(true); },
     ShellSteps{RaiseFloating}},
    {"DeactivationWithoutTheRemote", [](TrayMode& m) { return m.applicationDeactivated(false); },
     ShellSteps{}},
};
INSTANTIATE_TEST_SUITE_P(Menu, TrayModeTest, testing::ValuesIn(kMenuCases));

} // namespace
} // namespace konfigor
