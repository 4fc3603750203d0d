#include "gui/channel_grid.h"
#include "gui/edit_channel_form.h"
#include "gui/edit_remote_form.h"
#include "gui/editor_windows.h"
#include "gui/event_grid.h"
#include "gui/event_loop_wait.h"
#include "gui/main_form.h"
#include "gui/missing_features.h"
#include "gui/remote_grid.h"
#include "gui/widgets/toggle_button.h"
#include "remote/virtual_remote.h"
#include "session/app_core.h"
#include "sim/receiver_simulator.h"
#include "sim/simulator_thread.h"
#include "support/scripted_prompts.h"
#include "support/session_fakes.h"
#include "support/temp_folder.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QShortcutEvent>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

namespace konfigor {
namespace {

using testing_support::FakeFileDialogs;
using testing_support::FixedPortSource;
using testing_support::ScriptedPrompts;
using testing_support::waitFor;

// The real main window against the software receiver on a pseudo-terminal, its own timers
// driving the session.
class MainFormSessionTest : public testing_support::TempFolderTest {
protected:
    MainFormSessionTest() {
        simulator.setBaudRate(0); // the line's time is not what is tested here
        simulator.storeRemote(
            0, ReceiverImage::Record{.serialNumber = 1048613, .counter = 5, .buttonWord = 0x0021}
                   .toRemoteRecord());
        simulator.storeRemote(
            3, ReceiverImage::Record{.serialNumber = 0x4000'0000u | 77}.toRemoteRecord());
        // No automatic connect, so that the test clicks "Połącz" itself.
        // No description search after the load: it would open its dialogs.
        writeText(path("config.txt"), "[Automatyzacja]\r\nAutopolaczenie=Nie\r\n"
                                      "OtworzOknoWyszukiwaniaPlikowNastaw=Nie\r\n");
        form = std::make_unique<TMainForm>(
            CommandLine{.extraPorts = {QString::fromStdString(thread.portPath())}},
            MainFormEnvironment{.prompts = &prompts,
                                .fileDialogs = &fileDialogs,
                                .portSource = &ports,
                                .configPath = path("config.txt")});
    }

    static void writeText(const std::filesystem::path& file, const std::string& text) {
        writeBytes(file, testing_support::Bytes(text.begin(), text.end()));
    }

    QString cellText(int row, int column) {
        QAbstractItemModel* model = form->remoteGrid().model();
        return model->data(model->index(row - 1, column)).toString();
    }

    ReceiverSimulator simulator;
    SimulatorThread thread{simulator, {.console = true}};
    ScriptedPrompts prompts;
    FakeFileDialogs fileDialogs;
    FixedPortSource ports;
    std::unique_ptr<TMainForm> form;
};

TEST_F(MainFormSessionTest, ConnectLoadSaveReloadAndDisconnect) {
    form->show();
    const MainFormControls& c = form->controls();
    EXPECT_EQ(c.comboBoxPorts->count(), 1);

    c.buttonConnect->click();
    ASSERT_TRUE(waitFor([&] {
        return form->statusPanel(0) == QStringLiteral("Połączony z ZOR (wersja odbiornika 2.7)");
    })) << form->statusPanel(0).toStdString();
    ASSERT_TRUE(waitFor([&] { return form->core().sheet().remotes[3].serialWord != 0; }));
    EXPECT_EQ(c.buttonConnect->text(), QStringLiteral("Rozłącz"));
    EXPECT_EQ(cellText(1, 1), QStringLiteral("1048613"));
    EXPECT_EQ(cellText(4, 1), QStringLiteral("(M) 77"));

    fileDialogs.fileToSave = ChosenFile{.path = path("brama")};
    c.toolBtnSaveFile->click();
    EXPECT_TRUE(std::filesystem::exists(path("brama.kvr")));
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Konfigor USB [brama.kvr]"));

    // Loaded back while connected, the file goes to the receiver as well.
    simulator.memory().clearRecords();
    fileDialogs.fileToOpen = ChosenFile{.path = path("brama.kvr")};
    c.toolBtnLoadFile->click();
    EXPECT_EQ(cellText(1, 1), QStringLiteral("1048613"));
    ASSERT_TRUE(waitFor([&] { return form->core().saveState().savedToReceiver(); }));
    EXPECT_TRUE(form->core().saveState().savedToDisk());

    prompts.answer(PromptAnswer::Yes);
    c.buttonConnect->click();
    EXPECT_FALSE(form->link().isRunning());
    EXPECT_EQ(form->statusPanel(0), QStringLiteral("Rozłączono"));
    EXPECT_EQ(c.buttonConnect->text(), QStringLiteral("Połącz"));
    EXPECT_TRUE(cellText(1, 1).isEmpty()) << "the sheet is cleared";
    EXPECT_TRUE(prompts.allAnswersUsed());
}

TEST_F(MainFormSessionTest, PressesAppearInTheEventsGridAndTheArchiveToggleRebuildsIt) {
    form->show();
    const MainFormControls& c = form->controls();
    c.buttonConnect->click();
    ASSERT_TRUE(waitFor([&] { return form->core().sheet().remotes[3].serialWord != 0; }));
    form->core().sheet().remotes[0].description.assignUtf8("Brama wjazdowa");
    c.pageControl->setCurrentWidget(c.tabSheetLogs);
    StringGridLogs& grid = form->eventGrid();
    const auto cell = [&grid](int row, int column) {
        return grid.model()->data(grid.model()->index(row - 1, column)).toString();
    };

    ASSERT_EQ(thread.command("press 1048613 1"), "ok");
    ASSERT_TRUE(waitFor([&] { return grid.model()->rowCount() == 1 && !cell(1, 3).isEmpty(); }));
    EXPECT_EQ(cell(1, 2), QStringLiteral("1"));
    EXPECT_EQ(cell(1, 3), QStringLiteral("Brama wjazdowa"));
    EXPECT_EQ(cell(1, 8), QStringLiteral("1048613"));

    ASSERT_TRUE(waitFor([&] { return c.buttonRemote[1]->isEnabled(); }));
    QTest::mousePress(c.buttonRemote[1], Qt::LeftButton);
    QTest::mouseRelease(c.buttonRemote[1], Qt::LeftButton);
    ASSERT_EQ(grid.model()->rowCount(), 2);
    EXPECT_TRUE(cell(2, 2).isEmpty()) << "the virtual remote has no position";
    EXPECT_TRUE(cell(2, 8).isEmpty());
    EXPECT_EQ(grid.currentRow(), 2) << "following new events";
    ASSERT_TRUE(waitFor([&] { return c.timerLogFlash->isActive(); }));

    // Up: this session's two events, read back from the file; down again: the same, since the
    // log held nothing before.
    c.buttonZdarzeniaArchiwalne->click();
    EXPECT_FALSE(c.buttonZdarzeniaArchiwalne->isPressed());
    EXPECT_EQ(grid.model()->rowCount(), 2);
    EXPECT_EQ(cell(1, 3), QStringLiteral("Brama wjazdowa"));
    EXPECT_EQ(form->configuration().showArchivedEvents(), false);
    EXPECT_EQ(form->focusWidget(), &grid);
}

// What a control without its feature could change: its own state, the status panels, the
// windows on show.
struct Observed {
    bool checked = false;
    QStringList panels;
    QList<QWidget*> windows;
    bool operator==(const Observed&) const = default;
    friend void PrintTo(const Observed& seen, std::ostream* out) {
        *out << "checked " << seen.checked << ", panels [" << seen.panels.join('|').toStdString()
             << "], " << seen.windows.size() << " windows on show";
    }
};

Observed observe(const TMainForm& form, const QObject& control) {
    Observed seen;
    if (const auto* button = qobject_cast<const QAbstractButton*>(&control))
        seen.checked = button->isChecked();
    else if (const auto* action = qobject_cast<const QAction*>(&control))
        seen.checked = action->isChecked();
    for (int panel = 0; panel < TMainForm::kStatusPanelCount; ++panel)
        seen.panels << form.statusPanel(panel);
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible())
            seen.windows << window;
    }
    return seen;
}

void clickOn(QObject& control) {
    if (auto* button = qobject_cast<QAbstractButton*>(&control))
        button->click();
    else if (auto* action = qobject_cast<QAction*>(&control))
        action->trigger();
}

TEST_F(MainFormSessionTest, ControlsWithoutTheirFeatureStayDisabledWhenConnected) {
    form->show();
    form->controls().buttonConnect->click();
    ASSERT_TRUE(waitFor([&] { return form->core().sheet().remotes[3].serialWord != 0; }));
    ASSERT_TRUE(waitFor([&] { return form->controls().toolBtnLoadChip->isEnabled(); }))
        << "the load after connecting is over";
    // The pop-up menu's preparation enables entering on an empty row and editing on a remote.
    for (const int row : {1, 2}) {
        form->remoteGrid().setCurrentRow(row);
        form->preparePopupMenu();
    }

    for (const std::string_view name : controlsWithoutFeature()) {
        SCOPED_TRACE(name);
        const auto found = form->findChildren<QObject*>(QString::fromLatin1(name));
        ASSERT_EQ(found.size(), 1);
        QObject& control = *found.front();
        const auto* widget = qobject_cast<const QWidget*>(&control);
        const auto* action = qobject_cast<const QAction*>(&control);
        ASSERT_TRUE(widget || action) << "a control the user can click";
        EXPECT_FALSE(widget ? widget->isEnabled() : action->isEnabled());

        const Observed before = observe(*form, control);
        clickOn(control);
        QCoreApplication::processEvents();
        EXPECT_EQ(observe(*form, control), before);
    }
}

// Enter and a double click open the remote editor on the grid's current row, and the channel
// editor on the channel grid's.
TEST_F(MainFormSessionTest, EnterAndADoubleClickOpenTheEditors) {
    form->show();
    form->controls().buttonConnect->click();
    ASSERT_TRUE(waitFor([&] { return form->core().sheet().remotes[3].serialWord != 0; }));
    ASSERT_TRUE(waitFor([&] { return form->controls().toolBtnLoadChip->isEnabled(); }));
    StringGridRemote& grid = form->remoteGrid();
    grid.setCurrentRow(1);
    TEditRemoteForm& remoteEditor = form->editors().remoteForm();

    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(&grid, &enter);
    ASSERT_TRUE(remoteEditor.isVisible());
    EXPECT_EQ(remoteEditor.windowTitle(), QStringLiteral("Edycja pilota..."));
    remoteEditor.reject();

    const QPoint at = grid.visualRect(grid.model()->index(3, 2)).center();
    QMouseEvent doubleClick(QEvent::MouseButtonDblClick, at, grid.viewport()->mapToGlobal(at),
                            Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(grid.viewport(), &doubleClick);
    ASSERT_TRUE(remoteEditor.isVisible());
    EXPECT_EQ(remoteEditor.findChild<QLineEdit*>(QStringLiteral("RemoteNoEdit"))->text(),
              QStringLiteral("4"));
    remoteEditor.reject();

    StringGridChannels& channels = form->channelGrid();
    channels.setCurrentRow(2);
    QApplication::sendEvent(&channels, &enter);
    TEditChannelForm& channelEditor = form->editors().channelForm();
    ASSERT_TRUE(channelEditor.isVisible());
    EXPECT_EQ(channelEditor.findChild<QLabel*>(QStringLiteral("LabelChannel"))->text(),
              QStringLiteral("Edycja kanału 2"));
    channelEditor.reject();
}

// A receiver protected by a PIN: the PIN window comes once, the controls open with the right
// digits, and "Kod PIN" switches the requirement off through its window.
TEST_F(MainFormSessionTest, APinProtectedReceiverOpensWithItsPinAndKodPinChangesIt) {
    thread.stop();
    ReceiverSimulator protectedReceiver;
    protectedReceiver.setBaudRate(0);
    ASSERT_TRUE(protectedReceiver.memory().setPin("00123"));
    protectedReceiver.memory().setPinRequired(true);
    SimulatorThread protectedThread(protectedReceiver);
    testing_support::FakePinDialogs pins;
    pins.pins = {"00123"};
    pins.newPins = {PinDialogs::NewPin{.required = false}};
    TMainForm window(
        CommandLine{.extraPorts = {QString::fromStdString(protectedThread.portPath())}},
        MainFormEnvironment{.prompts = &prompts,
                            .fileDialogs = &fileDialogs,
                            .portSource = &ports,
                            .pinDialogs = &pins,
                            .configPath = path("config.txt")});
    window.show();
    const MainFormControls& c = window.controls();
    c.buttonConnect->click();
    ASSERT_TRUE(waitFor([&] { return pins.pinAsks == 1 && c.toolBtnLoadChip->isEnabled(); }));
    EXPECT_TRUE(c.buttonPin->isEnabled());
    EXPECT_TRUE(c.buttonPin->isPressed());

    c.buttonPin->click();
    EXPECT_EQ(pins.requiredShown, std::vector<bool>{true});
    EXPECT_FALSE(c.buttonPin->isPressed()) << "the requirement is off";
    EXPECT_TRUE(c.toolBtnLoadChip->isEnabled());
}

// The virtual remote's buttons on the main window: a mouse press holds the button until its
// release; Alt+digit holds it until a key goes up; a focused button
// held with the space bar is one press however long the key repeats.
TEST_F(MainFormSessionTest, VirtualButtonsHoldWhileTheirInputHolds) {
    form->show();
    QApplication::setActiveWindow(form.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    const MainFormControls& c = form->controls();
    c.buttonConnect->click();
    ASSERT_TRUE(waitFor([&] { return c.toolBtnLoadChip->isEnabled(); }));
    ASSERT_TRUE(c.buttonRemote[1]->isEnabled());
    const VirtualRemote& remote = form->core().virtualRemote();

    QTest::mousePress(c.buttonRemote[1], Qt::LeftButton);
    EXPECT_EQ(remote.heldButton(), 2);
    QTest::mouseRelease(c.buttonRemote[1], Qt::LeftButton);
    EXPECT_EQ(remote.heldButton(), 0);

    // Alt+3 as Qt delivers an accelerator: the key is offered to the focus widget, then the
    // button gets its shortcut event while the digit is down. (The offscreen platform's key
    // path does not try accelerators, so the test hands the shortcut over itself.)
    QKeyEvent altThree(QEvent::ShortcutOverride, Qt::Key_3, Qt::AltModifier, QStringLiteral("3"));
    QApplication::sendEvent(c.buttonRemote[1], &altThree);
    QShortcutEvent accelerator(QKeySequence(Qt::ALT | Qt::Key_3), 0);
    QApplication::sendEvent(c.buttonRemote[2], &accelerator);
    EXPECT_EQ(remote.heldButton(), 3);
    QTest::keyRelease(c.buttonRemote[1], Qt::Key_3, Qt::AltModifier);
    EXPECT_EQ(remote.heldButton(), 0);

    c.buttonRemote[0]->setFocus();
    QTest::keyPress(c.buttonRemote[0], Qt::Key_Space);
    QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "), true);
    QApplication::sendEvent(c.buttonRemote[0], &repeat);
    EXPECT_EQ(remote.heldButton(), 1);
    QTest::keyRelease(c.buttonRemote[0], Qt::Key_Space);
    EXPECT_EQ(remote.heldButton(), 0);
}

TEST_F(MainFormSessionTest, ClosingWritesTheWindowIntoTheConfiguration) {
    form->show();
    form->resize(900, 720);
    EXPECT_TRUE(form->close());
    const Configuration written = Configuration::load(path("config.txt"));
    EXPECT_EQ(written.windowBounds().width, 900);
    EXPECT_EQ(written.windowBounds().height, 720);
    EXPECT_FALSE(written.maximised());
    EXPECT_FALSE(written.autoConnect()) << "what was read is kept";
}

TEST_F(MainFormSessionTest, BoundsBelowZeroAreNotRestoredAndAMaximisedCloseKeepsTheFilesBounds) {
    writeText(path("config.txt"), "[Interfejs]\r\nLeft=-1200\r\nTop=40\r\nWidth=850\r\n"
                                  "Height=-1\r\nZakladka=1\r\n[Automatyzacja]\r\n"
                                  "Autopolaczenie=Nie\r\n");
    TMainForm restored(CommandLine{}, MainFormEnvironment{.prompts = &prompts,
                                                          .fileDialogs = &fileDialogs,
                                                          .portSource = &ports,
                                                          .configPath = path("config.txt")});
    EXPECT_GE(restored.x(), 0) << "a monitor left of the main one is gone";
    EXPECT_EQ(restored.y(), 40);
    EXPECT_EQ(restored.width(), 850);
    EXPECT_EQ(restored.height(), 704) << "the designed height stays";
    EXPECT_EQ(restored.controls().pageControl->currentIndex(), 1);

    restored.show();
    restored.setWindowState(Qt::WindowMaximized);
    EXPECT_TRUE(restored.close());
    const Configuration written = Configuration::load(path("config.txt"));
    EXPECT_TRUE(written.maximised());
    EXPECT_EQ(written.windowBounds().left, -1200) << "what the file had stays";
    EXPECT_EQ(written.windowBounds().width, 850);
}

} // namespace
} // namespace konfigor
