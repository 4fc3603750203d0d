#include "config/configuration.h"
#include "eventlog/event_log_view.h"
#include "eventlog/events_log.h"
#include "support/recording_event_log_surface.h"
#include "support/recording_sound.h"
#include "support/scripted_prompts.h"
#include "support/temp_folder.h"
#include "texts/text_table.h"

#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

namespace konfigor {
namespace {

using testing_support::RecordingEventLogSurface;
using testing_support::RecordingSound;
using testing_support::ScriptedPrompts;
using testing_support::TempFolderTest;

constexpr EventTime kNoon{2018, 9, 17, 14, 3, 5};

class EventLogViewTest : public TempFolderTest {
protected:
    EventLogViewTest() { configuration.setEventLogFile(logFile); }

    std::string fileText() const {
        std::ifstream in(logFile, std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        return bytes.str();
    }

    // A log of the header and `count` events numbered from 1, as the program writes them.
    void writeLog(int count) const {
        std::string text = eventLogHeader(texts);
        for (int number = 1; number <= count; ++number) {
            EventRecord record{.time = kNoon, .position = number, .button = 1};
            record.description.assign("pilot " + std::to_string(number));
            text += formatEventLine(record);
        }
        std::ofstream(logFile, std::ios::binary) << text;
    }

    std::size_t fileEventLines() const {
        const std::string text = fileText();
        return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) - 3;
    }

    void addStoredRemotePress() { view.addEvent(12, "Brama", 2, 0b0101, 5000123); }

    TextTable texts;
    Configuration configuration = Configuration::load(path("config.txt"));
    std::filesystem::path logFile = path("log.txt");
    EventsLog log{texts, [] { return kNoon; }};
    RecordingEventLogSurface surface;
    RecordingSound sound;
    ScriptedPrompts prompts;
    EventLogView view{{.log = log,
                       .configuration = configuration,
                       .surface = surface,
                       .sound = sound,
                       .prompts = prompts,
                       .texts = texts}};
};

struct StartupCase {
    const char* name;
    bool registration;
    bool archiveShown;
    int eventsInFile;
    int expectedRows;
    std::size_t expectedFileEvents;
};

void PrintTo(const StartupCase& c, std::ostream* out) {
    *out << c.name;
}

class EventLogStartup : public EventLogViewTest, public testing::WithParamInterface<StartupCase> {};

// IloscZdarzen is 10 here; the trim itself is the log's and is tested there at full size.
TEST_P(EventLogStartup, TrimsAndLoadsTheArchiveOnlyWithRegistration) {
    const StartupCase& c = GetParam();
    configuration.setEventCount(10);
    configuration.setShowArchivedEvents(c.archiveShown);
    if (c.registration)
        configuration.setRegistration(true);
    writeLog(c.eventsInFile);

    view.start();
    view.firstShowing();

    EXPECT_EQ(surface.rowCount, c.expectedRows);
    EXPECT_EQ(fileEventLines(), c.expectedFileEvents);
    if (c.expectedRows > 2) {
        // The newest ones, up to the last in the file.
        EXPECT_EQ(log.item(0).description.toUtf8(),
                  "pilot " + std::to_string(c.eventsInFile - c.expectedRows + 2));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EventLogStartup,
    testing::Values(
        StartupCase{"ArchiveShownTrimmed", true, true, 12, 11, 10},
        StartupCase{"ArchiveHiddenTrimmedButEmpty", true, false, 12, 2, 10},
        StartupCase{"FewerThanKeptUntouched", true, true, 9, 10, 9},
        // Without registration nothing is read at start-up, and the grid stays untouched.
        StartupCase{"NoRegistration", false, true, 12, 0, 12}),
    [](const auto& test) { return std::string(test.param.name); });

TEST_F(EventLogViewTest, AVirtualPressIsLoggedWithoutPositionOrSerialAndMakesNoSound) {
    configuration.setSoundKind(1);
    view.start();
    view.addEvent(EventRecord::kVirtualRemote, "Pilot wirtualny", 3, 0b0100, 0);

    EXPECT_EQ(view.sessionEventCount(), 1u);
    EXPECT_EQ(surface.rowCount, 2);
    EXPECT_EQ(surface.selectedRow, 1);
    EXPECT_TRUE(surface.flashTimerRunning);
    EXPECT_TRUE(sound.signals.empty());
    const std::string text = fileText();
    EXPECT_NE(text.find("2018-09-17\t14:03:05\t-2\tPilot wirtualny\t\t\tP3\t\t0\r\n"),
              std::string::npos)
        << text;
}

struct SoundCase {
    const char* name;
    int kind;
    bool fileExists;
    std::size_t beeps;
    std::size_t files;
    std::size_t messages;
};

void PrintTo(const SoundCase& c, std::ostream* out) {
    *out << c.name;
}

class EventLogSound : public EventLogViewTest, public testing::WithParamInterface<SoundCase> {};

TEST_P(EventLogSound, AStoredRemotesPressIsHeardAsChosen) {
    const SoundCase& c = GetParam();
    const std::filesystem::path wave = path("dzwonek.wav");
    if (c.fileExists)
        std::ofstream(wave) << "RIFF";
    configuration.setSoundKind(c.kind);
    configuration.setSoundFile(wave);
    view.start();

    addStoredRemotePress();

    ASSERT_EQ(sound.signals.size(), c.beeps);
    if (c.beeps > 0) {
        EXPECT_EQ(sound.signals[0], (std::vector<Tone>{{1500, 200}}));
    }
    EXPECT_EQ(sound.files.size(), c.files);
    ASSERT_EQ(prompts.asked().size(), c.messages);
    if (c.messages > 0) {
        EXPECT_EQ(prompts.asked()[0].text, "Nie mogę odnaleść wybranego dźwięku pliku. Ponownie "
                                           "zlokalizuj dźwięk do odtworzenia");
        EXPECT_EQ(prompts.asked()[0].caption, "Konfigor USB");
        EXPECT_EQ(prompts.asked()[0].icon, PromptIcon::Error);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, EventLogSound,
                         testing::Values(SoundCase{"None", 0, true, 0, 0, 0},
                                         SoundCase{"Beep", 1, false, 1, 0, 0},
                                         SoundCase{"File", 2, true, 0, 1, 0},
                                         SoundCase{"MissingFile", 2, false, 0, 0, 1}),
                         [](const auto& test) { return std::string(test.param.name); });

TEST_F(EventLogViewTest, TheNewestRowFlashesFiveTimesOnceItCanBeSeen) {
    view.start();
    addStoredRemotePress();

    // Scrolled away from the end: the flashing waits.
    view.flashTick(false);
    view.flashTick(false);
    EXPECT_FALSE(view.isFlashOn());
    EXPECT_TRUE(surface.flashTimerRunning);

    std::string phases;
    for (int tick = 0; tick < 10; ++tick) {
        view.flashTick(true);
        phases += view.isFlashOn() ? 'R' : '-';
    }
    EXPECT_EQ(phases, "R-R-R-R-R-");
    EXPECT_FALSE(surface.flashTimerRunning);

    // A new event starts the count again.
    addStoredRemotePress();
    view.flashTick(true);
    EXPECT_TRUE(view.isFlashOn());
    EXPECT_TRUE(surface.flashTimerRunning);
}

TEST_F(EventLogViewTest, WithoutFollowingANewEventLeavesTheSelectionAlone) {
    view.start();
    addStoredRemotePress();
    view.followToggled(false);
    surface.selectedRow = 1;

    addStoredRemotePress();

    EXPECT_EQ(surface.rowCount, 3);
    EXPECT_EQ(surface.selectedRow, 1);
    EXPECT_EQ(configuration.ini().readString("Zdarzenia", "PrzewijajZdarzenia", ""), "0");
    view.followToggled(true);
    EXPECT_EQ(configuration.ini().readString("Zdarzenia", "PrzewijajZdarzenia", ""), "1");
    EXPECT_TRUE(surface.gridFocused);
}

TEST_F(EventLogViewTest, TheArchiveToggleSwitchesBetweenTheSessionAndTheArchive) {
    configuration.setEventCount(5);
    writeLog(8);
    view.start();

    // Right after start-up, the session has no events: one empty row.
    view.archiveToggled(false);
    EXPECT_EQ(surface.rowCount, 2);
    EXPECT_EQ(log.count(), 0u);
    EXPECT_EQ(configuration.ini().readString("Automatyzacja", "PokazZdarzeniaArchiwalne", ""),
              "Nie");

    addStoredRemotePress();
    addStoredRemotePress();
    view.archiveToggled(false);
    EXPECT_EQ(log.count(), 2u) << "the session's own events, read back from the file";
    EXPECT_EQ(log.item(1).position, 12);

    view.archiveToggled(true);
    EXPECT_EQ(log.count(), 7u) << "five archived and the session's two";
    EXPECT_EQ(surface.rowCount, 8);
    EXPECT_EQ(surface.selectedRow, 7);
    EXPECT_EQ(fileEventLines(), 10u) << "switching never trims";
    EXPECT_EQ(configuration.ini().readString("Automatyzacja", "PokazZdarzeniaArchiwalne", ""),
              "Tak");
}

} // namespace
} // namespace konfigor
