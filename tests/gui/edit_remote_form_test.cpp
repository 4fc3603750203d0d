#include "gui/edit_remote_form.h"
#include "gui/editor_windows.h"
#include "gui/event_loop_wait.h"
#include "gui/main_form.h"
#include "gui/remote_grid.h"
#include "gui/remote_scan_form.h"
#include "gui/widgets/toggle_button.h"
#include "session/app_core.h"
#include "sim/receiver_simulator.h"
#include "sim/simulator_thread.h"
#include "support/recording_sound.h"
#include "support/scripted_prompts.h"
#include "support/session_fakes.h"
#include "support/temp_folder.h"

#include <functional>

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <gtest/gtest.h>

namespace konfigor {
namespace {

using testing_support::waitFor;

constexpr std::uint32_t kNewRemote = 5000123;

// The real main window and remote editor against the software receiver on a pseudo-terminal,
// with a console to press remotes at it.
class EditRemoteFormTest : public testing_support::TempFolderTest {
protected:
    EditRemoteFormTest() {
        simulator.setBaudRate(0);
        simulator.storeRemote(
            0, ReceiverImage::Record{.serialNumber = 1048613, .counter = 5, .buttonWord = 0x0021}
                   .toRemoteRecord());
        writeBytes(path("config.txt"), toBytes("[Automatyzacja]\r\nAutopolaczenie=Nie\r\n"
                                               "OtworzOknoWyszukiwaniaPlikowNastaw=Nie\r\n"));
        form = std::make_unique<TMainForm>(
            CommandLine{.extraPorts = {QString::fromStdString(thread.portPath())}},
            MainFormEnvironment{.prompts = &prompts,
                                .fileDialogs = &fileDialogs,
                                .portSource = &ports,
                                .sound = &sound,
                                .configPath = path("config.txt")});
    }

    static testing_support::Bytes toBytes(std::string_view text) {
        return {text.begin(), text.end()};
    }

    void connectAndLoad() {
        form->show();
        form->controls().buttonConnect->click();
        ASSERT_TRUE(waitFor([&] { return form->core().sheet().remotes[0].serialWord != 0; }));
        ASSERT_TRUE(waitFor([&] { return form->controls().toolBtnLoadChip->isEnabled(); }));
    }

    // A press at the receiver, and the editor has heard it once the progress shows its line.
    void press(std::uint32_t serial, const QString& expectedLine) {
        ASSERT_EQ(thread.command("press " + std::to_string(serial) + " 1"), "ok");
        TRemoteScanForm& scan = editor().scanForm();
        ASSERT_TRUE(waitFor([&] { return scan.remoteLine() == expectedLine; }))
            << scan.remoteLine().toStdString();
    }

    TEditRemoteForm& editor() { return form->editors().remoteForm(); }
    template <class Widget>
    Widget* control(const char* name) {
        return editor().findChild<Widget*>(QString::fromLatin1(name));
    }

    ReceiverSimulator simulator;
    SimulatorThread thread{simulator, {.console = true}};
    testing_support::ScriptedPrompts prompts;
    testing_support::FakeFileDialogs fileDialogs;
    testing_support::FixedPortSource ports;
    testing_support::RecordingSound sound;
    std::unique_ptr<TMainForm> form;
};

TEST_F(EditRemoteFormTest, ANewRemotePressedThreeTimesIsStoredAndWrittenToTheReceiver) {
    connectAndLoad();
    if (!form->controls().toolBtnAutosave->isPressed())
        form->controls().toolBtnAutosave->click();
    ASSERT_TRUE(form->core().session().isAutosaveActive());
    form->remoteGrid().setCurrentRow(2);
    form->controls().toolButtonRemoteAdd->trigger();

    ASSERT_TRUE(editor().isVisible());
    EXPECT_EQ(editor().windowTitle(), QStringLiteral("Wpisywanie pilota..."));
    EXPECT_FALSE(control<QPushButton>("ButtonOk")->isEnabled());
    ASSERT_TRUE(waitFor([&] { return editor().scanForm().isVisible(); }));
    EXPECT_EQ(editor().scanForm().hint(),
              QStringLiteral("Aby dodać pilota wciśnij przycisk trzykrotnie"));

    const QString detected = QStringLiteral("Wykryto pilota o numerze 5000123");
    press(kNewRemote, detected);
    EXPECT_EQ(editor().scanForm().hint(), QStringLiteral("Wciśnij przycisk jeszcze dwa razy"));
    ASSERT_EQ(thread.command("press 5000123 1"), "ok");
    ASSERT_TRUE(waitFor([&] {
        return editor().scanForm().hint() == QStringLiteral("Wciśnij przycisk jeszcze raz");
    }));
    ASSERT_EQ(thread.command("press 5000123 1"), "ok");
    ASSERT_TRUE(waitFor([&] { return control<QPushButton>("ButtonOk")->isEnabled(); }));
    EXPECT_FALSE(editor().scanForm().isVisible());
    EXPECT_EQ(control<QLineEdit>("RemoteIdEdit")->text(), QStringLiteral("5000123"));
    EXPECT_EQ(sound.signals.size(), 3u) << "two presses and the acceptance";

    control<QCheckBox>("CheckBoxP1C2")->setChecked(true);
    control<QCheckBox>("CheckBoxCopyBlock")->setChecked(false);
    control<QLineEdit>("DescriptionEdit")->setText(QStringLiteral("Brama wjazdowa"));
    control<QPushButton>("ButtonOk")->click();

    const RemoteEntry& stored = form->core().sheet().remotes[1];
    EXPECT_EQ(stored.serialWord, kNewRemote);
    EXPECT_EQ(stored.buttonMasks, (std::array<std::uint16_t, 4>{3, 2, 4, 8}));
    EXPECT_FALSE(stored.copyLock);
    // "Dodaj następny pilot" was checked by the tool button: the next empty slot follows.
    ASSERT_TRUE(waitFor([&] { return editor().isVisible(); }));
    EXPECT_EQ(control<QLineEdit>("RemoteNoEdit")->text(), QStringLiteral("3"));
    EXPECT_EQ(form->remoteGrid().currentRow(), 3);
    EXPECT_TRUE(control<QCheckBox>("CheckBoxP1C2")->isChecked()) << "the chain keeps the boxes";
    control<QPushButton>("ButtonCancel")->click();
    EXPECT_FALSE(editor().isVisible());

    ASSERT_TRUE(
        waitFor([&] { return form->core().state().pendingOperation == PendingOperation::None; }));
    thread.stop();
    const RemoteRecord written = simulator.storedRemote(1);
    EXPECT_EQ(written.serialField, kNewRemote) << "no copy lock bit";
    EXPECT_EQ(written.buttonWord, 0x8423);
    EXPECT_TRUE(prompts.asked().empty());
}

TEST_F(EditRemoteFormTest, ARemoteAlreadyInTheReceiverIsRefused) {
    connectAndLoad();
    form->remoteGrid().setCurrentRow(2);
    form->controls().toolButtonRemoteAdd->trigger();
    ASSERT_TRUE(waitFor([&] { return editor().scanForm().isVisible(); }));
    press(1048613, QStringLiteral("Ten pilot jest już zapisany w pamięci EEPROM na pozycji 1"));
    control<QPushButton>("ButtonCancel")->click();
    EXPECT_FALSE(editor().scanForm().isVisible());
    EXPECT_TRUE(form->core().sheet().isEmpty(1));
}

TEST_F(EditRemoteFormTest, AddingOnARemoteWarnsAndOpensNothing) {
    connectAndLoad();
    form->remoteGrid().setCurrentRow(1);
    form->controls().toolButtonRemoteAdd->trigger();
    ASSERT_EQ(prompts.asked().size(), 1u);
    EXPECT_EQ(prompts.asked()[0].text, "Wybierz pusty wiersz w arkuszu do wpisania pilota");
    EXPECT_EQ(prompts.asked()[0].icon, PromptIcon::Warning);
    EXPECT_FALSE(editor().isVisible());
}

} // namespace
} // namespace konfigor
