#include "editors/channel_editor.h"
#include "link/receiver_image.h"
#include "support/sheet_commands_fixture.h"
#include "texts/keyed_texts.h"

#include <string>
#include <variant>

#include <gtest/gtest.h>

namespace konfigor {
namespace {

constexpr char kComma = ',';

// --- the time field ---

TEST(ChannelTimeText, ShowsSecondsInTheShortestForm) {
    const struct {
        std::uint16_t tenths;
        char separator;
        const char* shown;
    } cases[] = {
        {0, kComma, "0"},          {5, kComma, "0,5"}, {120, kComma, "12"},  {25, kComma, "2,5"},
        {65535, kComma, "6553,5"}, {5, '.', "0.5"},    {1001, '.', "100.1"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(formatChannelTime(c.tenths, c.separator), c.shown) << c.tenths;
}

TEST(ChannelTimeText, ReadsTenthsRoundedHalfUp) {
    const struct {
        const char* text;
        std::uint16_t tenths;
    } cases[] = {
        {"0", 0},    {"2,5", 25},  {"1,25", 13}, {"0,04", 0},       {"0,05", 1},
        {"12", 120}, {",5", 5},    {"5,", 50},   {"6553,5", 65535}, {"6553,54", 65535},
        {"007", 70}, {"0,149", 1}, {"0,15", 2},
    };
    for (const auto& c : cases) {
        const ParsedChannelTime parsed = parseChannelTime(c.text, kComma);
        EXPECT_EQ(parsed.status, ParsedChannelTime::Status::Ok) << c.text;
        EXPECT_EQ(parsed.tenths, c.tenths) << c.text;
    }
}

TEST(ChannelTimeText, RefusesWhatIsNoTimeOrTooLong) {
    using Status = ParsedChannelTime::Status;
    const struct {
        std::string text;
        Status status;
    } cases[] = {
        {"", Status::Unreadable},      {",", Status::Unreadable},
        {"1,2,3", Status::Unreadable}, {"1.5", Status::Unreadable},
        {"abc", Status::Unreadable},   {"-1", Status::Unreadable},
        {" 1", Status::Unreadable},    {"1e3", Status::Unreadable},
        {"6553,6", Status::TooLong},   {"6553,55", Status::TooLong},
        {"999999", Status::TooLong},   {std::string(400, '9'), Status::TooLong},
    };
    for (const auto& c : cases)
        EXPECT_EQ(parseChannelTime(c.text, kComma).status, c.status) << c.text;
}

TEST(ChannelTimeText, TakesDigitsBackspaceAndOneSeparator) {
    const struct {
        const char* text;
        char32_t typed;
        char separator;
        bool accepted;
    } cases[] = {
        {"12", U'3', kComma, true}, {"", U'0', kComma, true},     {"12", U'\b', kComma, true},
        {"12", U',', kComma, true}, {"1,2", U',', kComma, false}, {"1", U'.', kComma, false},
        {"1", U'.', '.', true},     {"1.2", U'.', '.', false},    {"1", U'a', kComma, false},
        {"1", U'-', kComma, false}, {"1", U' ', kComma, false},   {"1", U'ą', kComma, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(acceptsTimeCharacter(c.text, c.typed, c.separator), c.accepted)
            << c.text << " + " << static_cast<unsigned>(c.typed);
}

TEST(ChannelDescriptionText, FitsTheCodePageOnlyWhenNothingWouldBeReplaced) {
    EXPECT_TRUE(fitsSheetCodePage(""));
    EXPECT_TRUE(fitsSheetCodePage("Brama wjazdowa – żółć? €"));
    EXPECT_FALSE(fitsSheetCodePage("Brama → garaż"));
    EXPECT_FALSE(fitsSheetCodePage("Światło 💡"));
    EXPECT_FALSE(fitsSheetCodePage("\xC5"));
}

// --- the editor ---

struct ImageChannel {
    std::uint16_t time = 0;
    bool momentary = false;
    bool doublePress = false;

    friend bool operator==(const ImageChannel&, const ImageChannel&) = default;
};

ImageChannel sheetChannel(const ChannelEntry& entry) {
    return {entry.time, entry.transientMode, entry.doublePress};
}

class ChannelEditorTest : public testing_support::SheetCommandsFixture {
protected:
    ChannelForm formWith(const char* time, bool transientMode = false, bool doublePress = false,
                         std::string description = "Brama") const {
        return {.description = std::move(description),
                .time = time,
                .transientMode = transientMode,
                .doublePress = doublePress};
    }
    ImageChannel imageChannel(std::size_t channel) {
        return session.image().read([channel](const ReceiverMemory& memory) {
            return ImageChannel{memory.channelTime(channel), memory.isChannelMomentary(channel),
                                memory.isChannelDoublePress(channel)};
        });
    }

    ChannelEditor editor{{sheet, history, saveState, session, prompts, surface, texts}};
};

TEST_F(ChannelEditorTest, OpenShowsTheChannelAsTheDialogShowsIt) {
    ChannelEntry& entry = sheet.channels[2];
    entry.description.assignUtf8("Oświetlenie ogrodu");
    entry.time = 5;
    entry.transientMode = true;
    entry.doublePress = true;
    const ChannelForm form = editor.open(2, kComma);
    EXPECT_EQ(form.heading, "Edycja kanału 3");
    EXPECT_EQ(form.description, "Oświetlenie ogrodu");
    EXPECT_EQ(form.time, "0,5");
    EXPECT_TRUE(form.transientMode);
    EXPECT_TRUE(form.doublePress);
    EXPECT_EQ(editor.open(0, '.').heading, "Edycja kanału 1");
}

TEST_F(ChannelEditorTest, OkStoresTheRoundedTimeTheGridShows) {
    const struct {
        const char* typed;
        std::uint16_t stored;
        const char* mode;
    } cases[] = {
        {"0", 0, "Bistabilny"},
        {"2,5", 25, "Monostabilny [2.5]"},
        {"1,25", 13, "Monostabilny [1.3]"},
        {"0,04", 0, "Bistabilny"},
        {"0,05", 1, "Monostabilny [0.1]"},
        {"6553,5", 65535, "Monostabilny [6553.5]"},
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(editor.accept(1, formWith(c.typed), kComma)) << c.typed;
        EXPECT_EQ(sheet.channels[1].time, c.stored) << c.typed;
        EXPECT_EQ(channelModeText(sheet.channels[1], texts), c.mode) << c.typed;
        EXPECT_EQ(imageChannel(1).time, c.stored) << c.typed;
    }
    EXPECT_TRUE(prompts.asked().empty());
}

TEST_F(ChannelEditorTest, RefusalKeepsTheDialogOpenAndChangesNothing) {
    const std::string invalidTime = "Należy podać czas z dokładnośćią do 0,1 sek.";
    const struct {
        const char* time;
        std::string description;
        std::string message;
    } cases[] = {
        {"", "Brama", invalidTime},
        {",", "Brama", invalidTime},
        {"1,2,3", "Brama", invalidTime},
        {"1.5", "Brama", invalidTime},
        {"6553,6", "Brama", std::string(keyedLine(Keyed::ChannelTimeTooLong).builtIn)},
        {"2", "Brama → garaż",
         std::string(keyedLine(Keyed::ChannelDescriptionNotStorable).builtIn)},
    };
    session.autosave = true;
    sheet.channels[1].description.assignUtf8("stary opis");
    const SettingsSheet before = sheet;
    const ImageChannel imageBefore = imageChannel(1);
    for (const auto& c : cases) {
        const std::size_t asked = prompts.asked().size();
        EXPECT_FALSE(editor.accept(1, formWith(c.time, true, true, c.description), kComma))
            << c.time;
        ASSERT_EQ(prompts.asked().size(), asked + 1) << c.time;
        const Prompt& prompt = prompts.asked().back();
        EXPECT_EQ(prompt.text, c.message) << c.time;
        EXPECT_EQ(prompt.caption, "Konfigor");
        EXPECT_EQ(prompt.buttons, PromptButtons::Ok);
    }
    EXPECT_EQ(sheet.channels, before.channels);
    EXPECT_EQ(imageChannel(1), imageBefore);
    EXPECT_EQ(store.count(), 1u) << "nothing recorded";
    EXPECT_TRUE(saveState.savedToDisk());
    EXPECT_EQ(session.channelWrites, 0);
    EXPECT_EQ(surface.gridRepaints, 0);
}

TEST_F(ChannelEditorTest, TransientModeKeepsAndStoresTimeAndDoublePress) {
    EXPECT_TRUE(editor.accept(3, formWith("3", true, true), kComma));
    const ChannelEntry& entry = sheet.channels[3];
    EXPECT_EQ(entry.time, 30);
    EXPECT_TRUE(entry.transientMode);
    EXPECT_TRUE(entry.doublePress);
    EXPECT_EQ(channelModeText(entry, texts), "Chwilowy");
    EXPECT_EQ(doublePressText(entry, texts), "Nie");
    EXPECT_EQ(imageChannel(3), (ImageChannel{30, true, true}));
}

TEST_F(ChannelEditorTest, DescriptionIsStoredInTheCodePageAndCutAt200) {
    EXPECT_TRUE(editor.accept(0, formWith("1", false, false, "Żaluzje – salon"), kComma));
    EXPECT_EQ(sheet.channels[0].description.view(), "\xAF"
                                                    "aluzje \x96 salon");

    const std::string longText = "ą" + std::string(250, 'x');
    EXPECT_TRUE(editor.accept(0, formWith("1", false, false, longText), kComma));
    EXPECT_EQ(sheet.channels[0].description.length(), 200u);
    EXPECT_EQ(sheet.channels[0].description.toUtf8(), "ą" + std::string(199, 'x'));
}

TEST_F(ChannelEditorTest, OkRecordsTheEditInTheHistory) {
    EXPECT_TRUE(editor.accept(2, formWith("2,5", false, true, "Furtka"), kComma));
    ASSERT_EQ(store.count(), 2u);
    const HistoryEntry recorded = store.entryAt(1);
    EXPECT_EQ(recorded.kind, HistoryKind::ChannelEdit);
    EXPECT_EQ(recorded.name, "Edycja kanału");
    const auto* edit = std::get_if<ChannelEdit>(&recorded.payload);
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->channel, 2);
    EXPECT_EQ(edit->entry, sheet.channels[2]);
    EXPECT_EQ(edit->entry.time, 25);
    EXPECT_EQ(surface.captions.undo, "Cofnij: Edycja kanału");
}

TEST_F(ChannelEditorTest, TheImageTakesAllFourChannels) {
    // The sheet's other channels differ from the image, as after a loaded settings file.
    sheet.channels[0].time = 7;
    sheet.channels[2].transientMode = true;
    sheet.channels[3].doublePress = true;
    sheet.channels[3].time = 0;
    EXPECT_TRUE(editor.accept(1, formWith("4"), kComma));
    for (std::size_t channel = 0; channel < kChannelCount; ++channel)
        EXPECT_EQ(imageChannel(channel), sheetChannel(sheet.channels[channel])) << channel;
}

TEST_F(ChannelEditorTest, AutomaticWritingSendsTheChannelsAndNothingElseDoes) {
    const struct {
        bool autosave;
        bool writeSent;
        int writes;
    } cases[] = {
        {false, true, 0},
        {true, true, 1},
        {true, false, 1},
    };
    for (const auto& c : cases) {
        session.autosave = c.autosave;
        session.writesSucceed = c.writeSent;
        session.channelWrites = 0;
        saveState.apply(SaveEvent::Startup);
        const int repaints = surface.gridRepaints;
        EXPECT_TRUE(editor.accept(0, formWith("1,5", false, true), kComma));
        EXPECT_EQ(session.channelWrites, c.writes) << c.autosave << c.writeSent;
        // A request that could not be sent keeps the new values everywhere.
        EXPECT_EQ(sheet.channels[0].time, 15);
        EXPECT_EQ(imageChannel(0), (ImageChannel{15, false, true}));
        EXPECT_FALSE(saveState.savedToDisk());
        EXPECT_TRUE(saveState.savedToReceiver()) << "the channel editor leaves it as it was";
        EXPECT_EQ(surface.statusText(StatusPanel::SaveState), "Zmiany nie zapisane na dysk");
        EXPECT_EQ(surface.gridRepaints, repaints + 1);
    }
    EXPECT_TRUE(prompts.asked().empty()) << "the session reports a failed write itself";
}

TEST_F(ChannelEditorTest, LeavesTheReceiverFlagOff) {
    saveState.apply(SaveEvent::FileLoaded);
    EXPECT_TRUE(editor.accept(0, formWith("1"), kComma));
    EXPECT_FALSE(saveState.savedToReceiver());
    EXPECT_EQ(surface.statusText(StatusPanel::SaveState), "Zmiany nie są nigdzie zapisane");
}

TEST_F(ChannelEditorTest, OpensOnlyWhileNoOperationIsPending) {
    EXPECT_TRUE(editor.canOpen());
    session.operationPending = true;
    EXPECT_FALSE(editor.canOpen());
}

} // namespace
} // namespace konfigor
