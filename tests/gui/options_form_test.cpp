#include "config/configuration.h"
#include "gui/main_form.h"
#include "gui/options_form.h"
#include "gui/widgets/toggle_button.h"
#include "session/app_core.h"
#include "support/recording_sound.h"
#include "support/scripted_prompts.h"
#include "support/session_fakes.h"
#include "support/temp_folder.h"

#include <functional>
#include <konfigor/version.h>
#include <vector>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QUrl>
#include <gtest/gtest.h>

namespace konfigor {
namespace {

using Path = std::filesystem::path;

// The real main window with its options dialog, help menu and update check; the URL opener
// records instead of starting a viewer or a browser.
class OptionsFormTest : public testing_support::TempFolderTest {
protected:
    OptionsFormTest() {
        std::filesystem::create_directories(path("data/manual"));
        writeText(path("config.txt"), "[Automatyzacja]\r\nAutopolaczenie=Nie\r\nLadujNastawyEprom="
                                      "Nie\r\nZapiszZmianyNatychmiast=Nie\r\n[Zdarzenia]\r\n"
                                      "PlikZdarzen=/tmp/events.txt\r\nIloscZdarzen=250\r\n"
                                      "[Dzwieki]\r\nRodzajDzwieku=0\r\n[Drukowanie]\r\n"
                                      "CzcionkaNazwa=Courier\r\nCzcionkaRozmiar=11\r\n");
        form = std::make_unique<TMainForm>(
            CommandLine{}, MainFormEnvironment{.prompts = &prompts,
                                               .portSource = &ports,
                                               .sound = &sound,
                                               .configPath = path("config.txt"),
                                               .dataFolders = std::vector{path("data")},
                                               .openUrl = [this](const QUrl& url) {
                                                   opened.push_back(url);
                                                   return true;
                                               }});
    }

    static void writeText(const Path& file, std::string_view text) {
        writeBytes(file, testing_support::Bytes(text.begin(), text.end()));
    }

    template <class Widget>
    Widget& control(const char* name) {
        Widget* found = form->optionsForm().findChild<Widget*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return *found;
    }
    QAction& menuItem(const char* name) {
        return *form->findChild<QAction*>(QString::fromLatin1(name));
    }
    // Opens "Opcje" modally, lets `change` work the open dialog, then presses the button.
    void runOptions(const std::function<void()>& change, const char* closingButton) {
        QTimer::singleShot(0, &form->optionsForm(), [&] {
            EXPECT_TRUE(form->optionsForm().isVisible());
            change();
            control<QPushButton>(closingButton).click();
        });
        menuItem("MenuOptions").trigger();
    }
    void changeEverything() {
        control<QCheckBox>("AutoConnectCB").click();
        control<QCheckBox>("CBAutoSave").click();
        control<QLineEdit>("FileEventsLogEdit").setText(QStringLiteral("/tmp/other.xls"));
        control<QLineEdit>("EditIloscZdarzen").setText(QStringLiteral("77"));
        control<QRadioButton>("RadioGroupLogSoundItem2").click();
        control<QLineEdit>("PrintFontSizeEdit").setText(QStringLiteral("14"));
    }
    std::string storedText() const {
        const Configuration stored = Configuration::load(path("config.txt"));
        return stored.ini().readString("Zdarzenia", "PlikZdarzen", "") + "|" +
               std::to_string(stored.eventCount()) + "|" + std::to_string(stored.soundKind()) +
               "|" + stored.printFontSize() + "|" + (stored.autoConnect() ? "T" : "N") +
               (stored.autosave() ? "T" : "N");
    }

    testing_support::ScriptedPrompts prompts;
    testing_support::RecordingSound sound;
    testing_support::FixedPortSource ports;
    std::vector<QUrl> opened;
    std::unique_ptr<TMainForm> form;
};

TEST_F(OptionsFormTest, TheDialogShowsTheStoredOptions) {
    EXPECT_FALSE(control<QCheckBox>("AutoConnectCB").isChecked());
    EXPECT_FALSE(control<QCheckBox>("LoadEpromSettingsCB").isChecked());
    EXPECT_TRUE(control<QCheckBox>("AfterEpromLoadOpenBrowseCB").isChecked());
    EXPECT_FALSE(control<QCheckBox>("CBAutoSave").isChecked());
    EXPECT_TRUE(control<QCheckBox>("CheckBoxZapisywanieZdarzen").isChecked());
    EXPECT_EQ(control<QLineEdit>("FileEventsLogEdit").text(), QStringLiteral("/tmp/events.txt"));
    EXPECT_EQ(control<QLineEdit>("EditIloscZdarzen").text(), QStringLiteral("250"));
    EXPECT_TRUE(control<QRadioButton>("RadioGroupLogSoundItem0").isChecked());
    EXPECT_EQ(control<QRadioButton>("RadioGroupLogSoundItem1").text(),
              QStringLiteral("Głośniczek systemowy"));
    EXPECT_EQ(control<QLineEdit>("PrintFontEdit").text(), QStringLiteral("Courier"));
    EXPECT_EQ(control<QLineEdit>("PrintFontSizeEdit").text(), QStringLiteral("11"));
    EXPECT_TRUE(menuItem("MenuOptions").isEnabled());
    // The file choosers take their filters from the text table.
    const struct {
        const char* dialog;
        const char* pattern;
    } choosers[] = {
        {"OpenDialogKvr", "*.kvr"}, {"OpenDialogEvents", "*.xls"}, {"OpenDialogSound", "*.wav"}};
    for (const auto& chooser : choosers) {
        SCOPED_TRACE(chooser.dialog);
        EXPECT_TRUE(control<QObject>(chooser.dialog)
                        .property("filter")
                        .toString()
                        .contains(QString::fromLatin1(chooser.pattern)));
    }
}

TEST_F(OptionsFormTest, OkSavesAndTheCoreTakesTheOptionsWhileCancelLeavesThem) {
    const std::string before = storedText();
    runOptions([&] { changeEverything(); }, "ButtonCancel");
    EXPECT_EQ(storedText(), before);
    EXPECT_FALSE(form->core().options().autoConnect);
    EXPECT_FALSE(form->controls().toolBtnAutosave->isPressed());
    EXPECT_EQ(control<QLineEdit>("EditIloscZdarzen").text(), QStringLiteral("250"));
    EXPECT_FALSE(control<QCheckBox>("AutoConnectCB").isChecked());

    runOptions([&] { changeEverything(); }, "ButtonOk");
    EXPECT_EQ(storedText(), "/tmp/other.xls|77|2|14|TT");
    EXPECT_TRUE(form->core().options().autoConnect);
    EXPECT_TRUE(form->core().options().autosave);
    EXPECT_TRUE(form->controls().toolBtnAutosave->isPressed());
    EXPECT_EQ(control<QLineEdit>("EditIloscZdarzen").text(), QStringLiteral("77"));
}

TEST_F(OptionsFormTest, TheStartUpLoadsExcludeEachOtherInTheDialog) {
    auto& receiverLoad = control<QCheckBox>("LoadEpromSettingsCB");
    auto& fileLoad = control<QCheckBox>("SettingsFileNameCB");
    auto& afterLoad = control<QCheckBox>("AfterEpromLoadOpenBrowseCB");
    receiverLoad.click();
    EXPECT_TRUE(afterLoad.isEnabled());

    // No file named: the warning, and both boxes end unchecked.
    fileLoad.click();
    ASSERT_EQ(prompts.asked().size(), 1u);
    EXPECT_EQ(prompts.asked()[0].text, "Należy podać nazwę pliku z nastawami domyślnymi");
    EXPECT_FALSE(fileLoad.isChecked());
    EXPECT_FALSE(receiverLoad.isChecked());
    EXPECT_FALSE(afterLoad.isEnabled());

    control<QLineEdit>("SettingsFileNameEdit").setText(QStringLiteral("/kvr/dom.kvr"));
    fileLoad.click();
    EXPECT_TRUE(fileLoad.isChecked());
    receiverLoad.click();
    EXPECT_FALSE(fileLoad.isChecked());
    EXPECT_TRUE(receiverLoad.isChecked());
    EXPECT_EQ(prompts.asked().size(), 1u);
}

TEST_F(OptionsFormTest, UncheckingTheEventFileGreysOutItsControls) {
    control<QCheckBox>("CheckBoxZapisywanieZdarzen").click();
    for (const char* name : {"LabelPlikZdarzen", "FileEventsLogEdit", "FileEventsLogButton",
                             "LabelIloscZdarzen", "EditIloscZdarzen"}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(control<QWidget>(name).isEnabled());
    }
    EXPECT_TRUE(control<QWidget>("RadioGroupLogSound").isEnabled());
}

TEST_F(OptionsFormTest, TheSoundButtonPlaysTheTrialBeep) {
    control<QRadioButton>("RadioGroupLogSoundItem1").click();
    control<QPushButton>("PlaySoundButton").click();
    ASSERT_EQ(sound.signals.size(), 1u);
    EXPECT_EQ(sound.signals[0], (std::vector<Tone>{{1200, 400}}));
}

TEST_F(OptionsFormTest, HelpOpensTheManualOrNamesTheMissingFile) {
    writeText(path("data/manual/software_Polski.pdf"), "%PDF");
    writeText(path("data/manual/interface.pdf"), "%PDF");
    struct Case {
        const char* item;
        const char* file;
        bool present;
    };
    const Case cases[] = {
        {"MainMenuHelpSoft", "software_Polski.pdf", true},
        {"MainMenuHelpInterface", "interface.pdf", true},
        {"MainMenuHelpReciever", "hardware_Polski.pdf", false},
        {"MainMenuHelpClone", "clonetool.pdf", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.item);
        opened.clear();
        const std::size_t promptsBefore = prompts.asked().size();
        menuItem(c.item).trigger();
        const Path file = path("data") / "manual" / c.file;
        if (c.present) {
            ASSERT_EQ(opened.size(), 1u);
            EXPECT_EQ(opened[0], QUrl::fromLocalFile(QString::fromStdString(file.string())));
            EXPECT_EQ(prompts.asked().size(), promptsBefore);
        } else {
            EXPECT_TRUE(opened.empty());
            ASSERT_EQ(prompts.asked().size(), promptsBefore + 1);
            const Prompt& error = prompts.asked().back();
            EXPECT_EQ(error.caption, "Błąd otwierania pliku pomocy");
            EXPECT_EQ(error.text, "Plik pomocy nie został odnaleziony. Sprawdź czy zainstalowany "
                                  "jest plik pomocy\n" +
                                      file.string());
        }
    }
    EXPECT_EQ(menuItem("MainMenuHelpSoft").shortcut(), QKeySequence(Qt::Key_F1));
}

TEST_F(OptionsFormTest, TheUpdateCheckOpensTheUpdatePageWithTheVersion) {
    menuItem("MainMenuUpdate").trigger();
    ASSERT_EQ(opened.size(), 1u);
    const QUrl& page = opened[0];
    EXPECT_EQ(page.scheme(), QStringLiteral("https"));
    EXPECT_EQ(page.host(), QString::fromLatin1(kUpdateHost));
    EXPECT_EQ(page.path(), QStringLiteral("/update"));
    // The page has always been asked with a space after the version.
    EXPECT_EQ(page.query(QUrl::FullyDecoded), QStringLiteral("lirka=%1.%2.%3.%4 ")
                                                  .arg(kVersionMajor)
                                                  .arg(kVersionMinor)
                                                  .arg(kVersionPatch)
                                                  .arg(kVersionBuild));
    EXPECT_TRUE(prompts.asked().empty());
}

TEST_F(OptionsFormTest, AboutShowsTheProgramAndItsVersionModally) {
    QString title;
    bool modal = false;
    QTimer::singleShot(0, form.get(), [&] {
        auto* about = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(about, nullptr);
        modal = about->objectName() == QStringLiteral("AboutForm");
        title = about->findChild<QLabel*>(QStringLiteral("LabelTitle"))->text();
        about->findChild<QPushButton*>(QStringLiteral("ButtonOk"))->click();
    });
    menuItem("MainMenuAbout").trigger();
    EXPECT_TRUE(modal);
    EXPECT_EQ(title, QStringLiteral("Konfigor USB ver. %1.%2.%3.%4 ")
                         .arg(kVersionMajor)
                         .arg(kVersionMinor)
                         .arg(kVersionPatch)
                         .arg(kVersionBuild));
}

} // namespace
} // namespace konfigor
