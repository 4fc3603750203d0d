#include "config/configuration.h"
#include "support/temp_folder.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace konfigor {
namespace {

using Path = std::filesystem::path;

class ConfigurationTest : public testing_support::TempFolderTest {
protected:
    Path configPath() const { return path("Zentor/Konfigor/config.txt"); }

    // A configuration read from a file holding `text`.
    Configuration withFile(std::string_view text) const {
        std::filesystem::create_directories(configPath().parent_path());
        writeBytes(configPath(), testing_support::Bytes(text.begin(), text.end()));
        return Configuration::load(configPath());
    }
};

TEST_F(ConfigurationTest, FirstStartGivesEveryDefaultAndWritesNothing) {
    const Configuration config = Configuration::load(configPath());

    EXPECT_EQ(config.language(), "Polski");
    EXPECT_EQ(config.startPage(), 0);
    EXPECT_EQ(config.windowBounds(), (WindowBounds{-1, -1, -1, -1}));
    EXPECT_FALSE(config.maximised());
    EXPECT_EQ(config.settingsLoadFolder(), Path());
    EXPECT_EQ(config.settingsSaveFolder(), Path());

    EXPECT_TRUE(config.autoConnect());
    EXPECT_TRUE(config.loadReceiverAfterConnect());
    EXPECT_TRUE(config.openSearchAfterLoad());
    EXPECT_TRUE(config.autosave());
    EXPECT_EQ(config.defaultSettingsFile(), Path());
    EXPECT_FALSE(config.loadDefaultSettingsFile());
    EXPECT_TRUE(config.showArchivedEvents());

    EXPECT_EQ(config.eventLogFile(), std::nullopt);
    EXPECT_EQ(config.effectiveEventLogFile(), path("Zentor/Konfigor/log.txt"));
    EXPECT_EQ(config.eventCount(), 5000);
    EXPECT_FALSE(config.registration());
    EXPECT_TRUE(config.registration(true));
    EXPECT_TRUE(config.scrollEvents());

    EXPECT_EQ(config.soundKind(), 1);
    EXPECT_EQ(config.soundFile(), Path());
    EXPECT_EQ(config.printFontName(), "");
    EXPECT_EQ(config.printFontSize(), "");

    EXPECT_EQ(config.virtualRemoteName(), "");
    EXPECT_EQ(config.virtualButtonMasks(), (Configuration::ButtonMasks{0, 0, 0, 0}));
    EXPECT_EQ(config.virtualRemoteOpacity(), 100);
    EXPECT_EQ(config.virtualRemoteLeft(), std::nullopt);
    EXPECT_EQ(config.virtualRemoteTop(), std::nullopt);
    EXPECT_TRUE(config.searchFolders().empty());

    EXPECT_EQ(config.path(), configPath());
    EXPECT_FALSE(std::filesystem::exists(path("Zentor")));
}

// Every key set to a value other than its default.
void setEveryKey(Configuration& config) {
    config.setLanguage("English");
    config.setStartPage(1);
    config.setWindowBounds({-1200, 0, 791, 704});
    config.setMaximised(true);
    config.setSettingsLoadFolder("/home/łukasz/odczyt");
    config.setSettingsSaveFolder("/home/łukasz/zapis");
    config.setAutoConnect(false);
    config.setLoadReceiverAfterConnect(false);
    config.setOpenSearchAfterLoad(false);
    config.setAutosave(false);
    config.setDefaultSettingsFile("/srv/nastawy domyślne.kvr");
    config.setLoadDefaultSettingsFile(true);
    config.setShowArchivedEvents(false);
    config.setEventLogFile("/var/tmp/zdarzenia.txt");
    config.setEventCount(123);
    config.setRegistration(true);
    config.setScrollEvents(false);
    config.setSoundKind(2);
    config.setSoundFile("/usr/share/sounds/dzwonek.wav");
    config.setPrintFontName("DejaVu Sans");
    config.setPrintFontSize("8");
    config.setVirtualRemoteName("Brama wjazdowa");
    config.setVirtualButtonMasks({1, 3, 7, 15});
    config.setVirtualRemoteOpacity(40);
    config.setVirtualRemotePosition(-300, 250);
    config.setSearchFolders({"/home/a", "/home/b c", "/mnt/ź"});
}

void expectEveryKeySet(const Configuration& config) {
    EXPECT_EQ(config.language(), "English");
    EXPECT_EQ(config.startPage(), 1);
    EXPECT_EQ(config.windowBounds(), (WindowBounds{-1200, 0, 791, 704}));
    EXPECT_TRUE(config.maximised());
    EXPECT_EQ(config.settingsLoadFolder(), "/home/łukasz/odczyt");
    EXPECT_EQ(config.settingsSaveFolder(), "/home/łukasz/zapis");
    EXPECT_FALSE(config.autoConnect());
    EXPECT_FALSE(config.loadReceiverAfterConnect());
    EXPECT_FALSE(config.openSearchAfterLoad());
    EXPECT_FALSE(config.autosave());
    EXPECT_EQ(config.defaultSettingsFile(), "/srv/nastawy domyślne.kvr");
    EXPECT_TRUE(config.loadDefaultSettingsFile());
    EXPECT_FALSE(config.showArchivedEvents());
    EXPECT_EQ(config.eventLogFile(), Path("/var/tmp/zdarzenia.txt"));
    EXPECT_EQ(config.effectiveEventLogFile(), "/var/tmp/zdarzenia.txt");
    EXPECT_EQ(config.eventCount(), 123);
    EXPECT_TRUE(config.registration());
    EXPECT_FALSE(config.scrollEvents());
    EXPECT_EQ(config.soundKind(), 2);
    EXPECT_EQ(config.soundFile(), "/usr/share/sounds/dzwonek.wav");
    EXPECT_EQ(config.printFontName(), "DejaVu Sans");
    EXPECT_EQ(config.printFontSize(), "8");
    EXPECT_EQ(config.virtualRemoteName(), "Brama wjazdowa");
    EXPECT_EQ(config.virtualButtonMasks(), (Configuration::ButtonMasks{1, 3, 7, 15}));
    EXPECT_EQ(config.virtualRemoteOpacity(), 40);
    EXPECT_EQ(config.virtualRemoteLeft(), -300);
    EXPECT_EQ(config.virtualRemoteTop(), 250);
    EXPECT_EQ(config.searchFolders(), (std::vector<Path>{"/home/a", "/home/b c", "/mnt/ź"}));
}

TEST_F(ConfigurationTest, EveryKeySurvivesSaveAndLoad) {
    Configuration config = Configuration::load(configPath());
    setEveryKey(config);
    expectEveryKeySet(config);
    ASSERT_TRUE(config.save());

    const auto bytes = readBytes(configPath());
    const std::string text(bytes.begin(), bytes.end());
    EXPECT_NE(text.find("\r\nZmaksymalizowany=Tak\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\nPrzewijajZdarzenia=0\r\n"), std::string::npos);
    EXPECT_NE(text.find("[Pilot]\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\n=40\r\n"), std::string::npos);
    for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 1))
        ASSERT_EQ(text[at - 1], '\r') << "a line end without CR at " << at;

    const Configuration loaded = Configuration::load(configPath());
    expectEveryKeySet(loaded);
    EXPECT_EQ(loaded.ini(), config.ini());
}

TEST_F(ConfigurationTest, SaveCreatesTheFoldersOnTheWay) {
    Configuration config = Configuration::load(path("a/b/c/config.txt"));
    EXPECT_TRUE(config.save());
    EXPECT_TRUE(std::filesystem::is_regular_file(path("a/b/c/config.txt")));
}

// A config.txt its owner made read-only stays as it is, for root too.
TEST_F(ConfigurationTest, SaveLeavesAReadOnlyFileAlone) {
    Configuration config = withFile("[Interfejs]\r\nJezyk=Polski\r\n");
    const auto before = readBytes(configPath());
    std::filesystem::permissions(configPath(), std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::remove);
    config.setLanguage("English");
    EXPECT_FALSE(config.save());
    EXPECT_EQ(readBytes(configPath()), before);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(configPath().parent_path()), {}),
              1);
}

TEST_F(ConfigurationTest, AConfigurationWithoutAFileCannotBeSaved) {
    EXPECT_FALSE(Configuration{}.save());
}

TEST_F(ConfigurationTest, ScrollEventsIsReadAsANumber) {
    const std::vector<std::pair<std::string_view, bool>> cases{
        {"1", true}, {"0", false}, {"2", true}, {"-1", true}, {"Nie", true}, {"x", true}};
    for (const auto& [stored, expected] : cases) {
        const Configuration config =
            withFile("[Zdarzenia]\r\nPrzewijajZdarzenia=" + std::string(stored) + "\r\n");
        EXPECT_EQ(config.scrollEvents(), expected) << stored;
    }
}

TEST_F(ConfigurationTest, NumbersThatAreNotNumbersGiveTheirDefaults) {
    const Configuration config =
        withFile("[Interfejs]\nZakladka=jeden\nLeft=10px\nWidth=800\n[Zdarzenia]\nIloscZdarzen=\n"
                 "[Pilot]\n=pół\nPrzycisk2=x\nPrzycisk3=5\n[Pilot Wirtualny]\nLeft=abc\nTop=7\n");
    EXPECT_EQ(config.startPage(), 0);
    EXPECT_EQ(config.windowBounds(), (WindowBounds{-1, -1, 800, -1}));
    EXPECT_EQ(config.eventCount(), 5000);
    EXPECT_EQ(config.virtualRemoteOpacity(), 100);
    EXPECT_EQ(config.virtualButtonMasks(), (Configuration::ButtonMasks{0, 0, 5, 0}));
    EXPECT_EQ(config.virtualRemoteLeft(), std::nullopt);
    EXPECT_EQ(config.virtualRemoteTop(), 7);
}

TEST_F(ConfigurationTest, OpacityLivesUnderTheEmptyKeyName) {
    EXPECT_EQ(withFile("[Pilot]\r\nNazwa=Brama\r\n=60\r\n").virtualRemoteOpacity(), 60);
}

TEST_F(ConfigurationTest, AnEmptyEventLogPathMeansThePerUserLog) {
    const Configuration config = withFile("[Zdarzenia]\r\nPlikZdarzen=\r\n");
    EXPECT_EQ(config.eventLogFile(), Path());
    EXPECT_EQ(config.effectiveEventLogFile(), path("Zentor/Konfigor/log.txt"));
    EXPECT_EQ(config.logFilePath(), path("Zentor/Konfigor/log.txt"));
}

TEST_F(ConfigurationTest, SearchFoldersAreReadByNumberUpToTheirCount) {
    // Numbers, not file order, give the order; a gap gives an empty entry.
    const Configuration config = withFile("[WyszukiwanePliki]\r\n1=/b\r\n0=/a\r\n3=/d\r\n");
    EXPECT_EQ(config.searchFolders(), (std::vector<Path>{"/a", "/b", ""}));
}

TEST_F(ConfigurationTest, SettingSearchFoldersReplacesTheWholeList) {
    Configuration config = withFile("[WyszukiwanePliki]\r\n0=/a\r\n1=/b\r\n2=/c\r\n");
    config.setSearchFolders({"/z"});
    EXPECT_EQ(config.searchFolders(), (std::vector<Path>{"/z"}));
    EXPECT_EQ(config.ini().sectionValues("WyszukiwanePliki"),
              (std::vector<IniFile::KeyValue>{{"0", "/z"}}));
    config.setSearchFolders({});
    EXPECT_TRUE(config.searchFolders().empty());
}

struct EnvironmentCase {
    const char* name;
    std::map<std::string, std::string, std::less<>> variables;
    Path expected;
};

TEST(ConfigurationPathTest, ConfigHomeWhenAbsoluteElseHome) {
    const std::vector<EnvironmentCase> cases{
        {"HomeOnly", {{"HOME", "/home/u"}}, "/home/u/.config/Zentor/Konfigor/config.txt"},
        {"ConfigHome",
         {{"HOME", "/home/u"}, {"XDG_CONFIG_HOME", "/cfg"}},
         "/cfg/Zentor/Konfigor/config.txt"},
        {"RelativeConfigHome",
         {{"HOME", "/home/u"}, {"XDG_CONFIG_HOME", "cfg"}},
         "/home/u/.config/Zentor/Konfigor/config.txt"},
        {"EmptyConfigHome",
         {{"HOME", "/home/u"}, {"XDG_CONFIG_HOME", ""}},
         "/home/u/.config/Zentor/Konfigor/config.txt"},
    };
    for (const auto& [name, variables, expected] : cases) {
        const EnvironmentLookup environment =
            [&variables = variables](std::string_view variable) -> std::optional<std::string> {
            const auto found = variables.find(variable);
            return found != variables.end() ? std::optional(found->second) : std::nullopt;
        };
        EXPECT_EQ(Configuration::defaultPath(environment), expected) << name;
    }
}

} // namespace
} // namespace konfigor
