#include "config/configuration.h"
#include "config/options.h"
#include "support/recording_sound.h"
#include "support/scripted_prompts.h"
#include "support/temp_folder.h"
#include "texts/text_table.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace konfigor {
namespace {

using Path = std::filesystem::path;

class OptionsTest : public testing_support::TempFolderTest {
protected:
    Path configPath() const { return path("Zentor/Konfigor/config.txt"); }
    Configuration withFile(std::string_view text) const {
        std::filesystem::create_directories(configPath().parent_path());
        writeBytes(configPath(), testing_support::Bytes(text.begin(), text.end()));
        return Configuration::load(configPath());
    }
    std::vector<std::string> warnings() const {
        std::vector<std::string> shown;
        for (const Prompt& prompt : prompts.asked()) {
            EXPECT_EQ(prompt.caption, "Konfigor");
            EXPECT_EQ(prompt.icon, PromptIcon::Warning);
            shown.push_back(prompt.text);
        }
        return shown;
    }

    TextTable texts;
    testing_support::ScriptedPrompts prompts;
    OptionsEditor editor{prompts, texts};
};

TEST_F(OptionsTest, WithoutConfigurationFileTheDialogShowsItsDefaults) {
    const Configuration config = Configuration::load(configPath());
    editor.load(config);
    const Options& shown = editor.values();
    EXPECT_TRUE(shown.autoConnect);
    EXPECT_TRUE(shown.loadReceiver);
    EXPECT_TRUE(shown.openSearchAfterLoad);
    EXPECT_TRUE(shown.autosave);
    EXPECT_FALSE(shown.loadDefaultSettingsFile);
    EXPECT_TRUE(shown.registration);
    EXPECT_EQ(shown.soundKind, 1);
    EXPECT_EQ(shown.fontName, "");
    EXPECT_EQ(shown.fontSize, "");
    EXPECT_EQ(shown.eventCount, "5000");
    EXPECT_EQ(shown.eventLogFile, configPath().parent_path() / "log.txt");
    EXPECT_TRUE(editor.openSearchAfterLoadEnabled());
    EXPECT_TRUE(editor.eventLogControlsEnabled());
    EXPECT_TRUE(prompts.asked().empty());
    EXPECT_FALSE(std::filesystem::exists(configPath()));
}

TEST_F(OptionsTest, TheTwoStartUpLoadsExcludeEachOther) {
    editor.load(Configuration::load(configPath()));
    editor.fields().defaultSettingsFile = "/data/default.kvr";

    editor.clickLoadDefaultSettingsFile(true);
    EXPECT_TRUE(editor.values().loadDefaultSettingsFile);
    EXPECT_FALSE(editor.values().loadReceiver);
    EXPECT_FALSE(editor.openSearchAfterLoadEnabled());

    editor.clickLoadReceiver(true);
    EXPECT_TRUE(editor.values().loadReceiver);
    EXPECT_FALSE(editor.values().loadDefaultSettingsFile);
    EXPECT_TRUE(editor.openSearchAfterLoadEnabled());

    // Unchecking either box still clears the other.
    editor.clickLoadReceiver(false);
    EXPECT_FALSE(editor.openSearchAfterLoadEnabled());
    editor.clickLoadDefaultSettingsFile(true);
    editor.clickLoadDefaultSettingsFile(false);
    EXPECT_FALSE(editor.values().loadReceiver);
    EXPECT_FALSE(editor.values().loadDefaultSettingsFile);
    EXPECT_TRUE(prompts.asked().empty());
}

TEST_F(OptionsTest, TheDefaultFileBoxWithoutAPathWarnsAndStaysUncheckedButClearsTheOther) {
    editor.load(Configuration::load(configPath()));
    editor.clickLoadDefaultSettingsFile(true);
    EXPECT_EQ(warnings(),
              std::vector<std::string>{"Należy podać nazwę pliku z nastawami domyślnymi"});
    EXPECT_FALSE(editor.values().loadDefaultSettingsFile);
    EXPECT_FALSE(editor.values().loadReceiver);
}

TEST_F(OptionsTest, ChoosingTheDefaultFileChecksItsBoxOnlyWithoutTheReceiverLoad) {
    struct Case {
        bool loadReceiver;
        bool expectFileBox;
    };
    for (const Case& c : {Case{true, false}, Case{false, true}}) {
        SCOPED_TRACE(c.loadReceiver);
        OptionsEditor options(prompts, texts);
        options.load(Configuration::load(configPath()));
        options.clickLoadReceiver(c.loadReceiver);
        options.defaultSettingsFileChosen("/data/chosen.kvr");
        EXPECT_EQ(options.values().defaultSettingsFile, Path("/data/chosen.kvr"));
        EXPECT_EQ(options.values().loadDefaultSettingsFile, c.expectFileBox);
        EXPECT_EQ(options.values().loadReceiver, c.loadReceiver);
    }
    EXPECT_TRUE(prompts.asked().empty());
}

TEST_F(OptionsTest, TheRegistrationBoxEnablesTheEventLogControls) {
    editor.load(Configuration::load(configPath()));
    editor.clickRegistration(false);
    EXPECT_FALSE(editor.eventLogControlsEnabled());
    editor.clickRegistration(true);
    EXPECT_TRUE(editor.eventLogControlsEnabled());
}

TEST_F(OptionsTest, LoadingRunsTheRulesOfEveryBoxThatChanges) {
    // Both loads stored: the later box wins, as a click on it would.
    editor.load(withFile("[Automatyzacja]\r\nLadujNastawyEprom=Tak\r\nLadujNastawyDomyslne=Tak\r\n"
                         "NastawyDomyslne=/data/d.kvr\r\n[Zdarzenia]\r\nRejestracja=Nie\r\n"));
    EXPECT_TRUE(editor.values().loadDefaultSettingsFile);
    EXPECT_FALSE(editor.values().loadReceiver);
    EXPECT_FALSE(editor.openSearchAfterLoadEnabled());
    EXPECT_FALSE(editor.eventLogControlsEnabled());
}

// What the program acts on at start-up is what the dialog shows after loading, so one stored
// combination can never both load the receiver and the default file.
TEST_F(OptionsTest, TheSettledStartUpLoadsAreThoseTheDialogShows) {
    struct Case {
        const char* stored;
        bool loadReceiver;
        bool loadDefaultFile;
    };
    const Case cases[] = {
        {"", true, false},
        {"LadujNastawyEprom=Tak\r\nLadujNastawyDomyslne=Tak\r\nNastawyDomyslne=/d.kvr\r\n", false,
         true},
        {"LadujNastawyEprom=Tak\r\nLadujNastawyDomyslne=Tak\r\n", false, false},
        {"LadujNastawyEprom=Nie\r\nLadujNastawyDomyslne=Tak\r\nNastawyDomyslne=/d.kvr\r\n", false,
         true},
        {"LadujNastawyEprom=Nie\r\nLadujNastawyDomyslne=Nie\r\nNastawyDomyslne=/d.kvr\r\n", false,
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        const Configuration config = withFile(std::string("[Automatyzacja]\r\n") + c.stored);
        const Options settled = settledOptions(config);
        EXPECT_EQ(settled.loadReceiver, c.loadReceiver);
        EXPECT_EQ(settled.loadDefaultSettingsFile, c.loadDefaultFile);
        OptionsEditor dialog(prompts, texts);
        dialog.load(config);
        EXPECT_EQ(dialog.values(), settled);
    }
}

TEST_F(OptionsTest, CancelReloadsAndLeavesTheConfigurationAlone) {
    Configuration config = withFile("[Dzwieki]\r\nRodzajDzwieku=2\r\nPlikDzwiekowy=/s/a.wav\r\n");
    editor.load(config);
    const Options before = editor.values();
    const std::string fileBefore = config.ini().readString("Dzwieki", "PlikDzwiekowy", "?");

    editor.fields().soundKind = 0;
    editor.fields().fontName = "Courier";
    editor.fields().eventCount = "12";
    editor.setAutoConnect(false);
    editor.clickRegistration(false);
    editor.clickLoadReceiver(false);
    editor.load(config); // closing without OK

    EXPECT_EQ(editor.values(), before);
    EXPECT_TRUE(editor.eventLogControlsEnabled());
    EXPECT_TRUE(editor.openSearchAfterLoadEnabled());
    EXPECT_EQ(config.ini().readString("Dzwieki", "PlikDzwiekowy", "?"), fileBefore);
    EXPECT_FALSE(config.ini().hasKey("Drukowanie", "CzcionkaNazwa"));
}

TEST_F(OptionsTest, SavedOptionsComeBackFromTheFile) {
    struct Case {
        const char* name;
        void (*change)(Options&);
        void (*check)(const Configuration&);
    };
    const Case cases[] = {
        {"paths and font",
         [](Options& o) {
             o.eventLogFile = "/var/log/kvr.xls";
             o.soundFile = "/snd/ding.wav";
             o.fontName = "Courier New";
             o.fontSize = "12";
         },
         [](const Configuration& c) {
             EXPECT_EQ(c.eventLogFile(), Path("/var/log/kvr.xls"));
             EXPECT_EQ(c.soundFile(), Path("/snd/ding.wav"));
             EXPECT_EQ(c.printFontName(), "Courier New");
             EXPECT_EQ(c.printFontSize(), "12");
         }},
        {"every box off, no sound",
         [](Options& o) {
             o.autoConnect = o.loadReceiver = o.openSearchAfterLoad = o.autosave = false;
             o.registration = false;
             o.soundKind = 0;
         },
         [](const Configuration& c) {
             EXPECT_FALSE(c.autoConnect());
             EXPECT_FALSE(c.loadReceiverAfterConnect());
             EXPECT_FALSE(c.openSearchAfterLoad());
             EXPECT_FALSE(c.autosave());
             EXPECT_FALSE(c.registration(true));
             EXPECT_EQ(c.soundKind(), 0);
         }},
        {"default file loaded at start",
         [](Options& o) {
             o.defaultSettingsFile = "/kvr/dom.kvr";
             o.loadDefaultSettingsFile = true;
             o.loadReceiver = false;
         },
         [](const Configuration& c) {
             EXPECT_EQ(c.defaultSettingsFile(), Path("/kvr/dom.kvr"));
             EXPECT_TRUE(c.loadDefaultSettingsFile());
             EXPECT_EQ(c.ini().readString("Automatyzacja", "LadujNastawyDomyslne", ""), "Tak");
         }},
        {"a count", [](Options& o) { o.eventCount = "250"; },
         [](const Configuration& c) { EXPECT_EQ(c.eventCount(), 250); }},
        {"a count that is no number", [](Options& o) { o.eventCount = "12a"; },
         [](const Configuration& c) { EXPECT_EQ(c.eventCount(), 5000); }},
        {"empty texts stay empty",
         [](Options& o) {
             o.eventLogFile.clear();
             o.eventCount.clear();
         },
         [](const Configuration& c) {
             EXPECT_EQ(c.eventLogFile(), Path());
             EXPECT_EQ(c.eventCount(), 5000);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(configPath());
        Configuration config = Configuration::load(configPath());
        OptionsEditor options(prompts, texts);
        options.load(config);
        c.change(options.fields());
        options.save(config);

        const Configuration reread = Configuration::load(configPath());
        c.check(reread);
        OptionsEditor shown(prompts, texts);
        shown.load(reread);
        Options expected = options.values();
        expected.eventCount = std::to_string(eventCountOf(expected.eventCount));
        EXPECT_EQ(shown.values(), expected);
    }
}

TEST_F(OptionsTest, TryingTheSoundPlaysTheChosenKind) {
    struct Case {
        int kind;
        bool fileExists;
        std::vector<std::string> warnings;
        std::size_t beeps;
        std::size_t files;
        int kindAfter;
    };
    const Case cases[] = {
        {0, true, {"Wybierz dźwięk do odtwarzania"}, 0, 0, 0},
        {1, false, {}, 1, 0, 1},
        {2, true, {}, 0, 1, 2},
        {2, false, {"Podany plik nie istnieje wybierz inny plik dźwiękowy"}, 1, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        testing_support::ScriptedPrompts own;
        testing_support::RecordingSound sound;
        OptionsEditor options(own, texts);
        options.fields().soundKind = c.kind;
        options.fields().soundFile = "/snd/a.wav";
        options.trySound(sound, [&](const Path& file) {
            EXPECT_EQ(file, Path("/snd/a.wav"));
            return c.fileExists;
        });
        std::vector<std::string> shown;
        for (const Prompt& prompt : own.asked())
            shown.push_back(prompt.text);
        EXPECT_EQ(shown, c.warnings);
        ASSERT_EQ(sound.signals.size(), c.beeps);
        if (c.beeps > 0) {
            EXPECT_EQ(sound.signals[0], (std::vector<Tone>{{1200, 400}}));
        }
        EXPECT_EQ(sound.files.size(), c.files);
        EXPECT_EQ(options.values().soundKind, c.kindAfter);
    }
}

} // namespace
} // namespace konfigor
