#include "config/configuration.h"

#include <cstdlib>
#include <string>

namespace konfigor {
namespace {

constexpr std::string_view kInterfaceSection = "Interfejs";
constexpr std::string_view kLanguageKey = "Language";
constexpr std::string_view kStartPageKey = "Zakladka";
constexpr std::string_view kLeftKey = "Left";
constexpr std::string_view kTopKey = "Top";
constexpr std::string_view kWidthKey = "Width";
constexpr std::string_view kHeightKey = "Height";
constexpr std::string_view kMaximisedKey = "Zmaksymalizowany";

constexpr std::string_view kFoldersSection = "Katalogi";
constexpr std::string_view kLoadFolderKey = "OdczytKvr";
constexpr std::string_view kSaveFolderKey = "ZapisKvr";

constexpr std::string_view kAutomationSection = "Automatyzacja";
constexpr std::string_view kAutoConnectKey = "Autopolaczenie";
constexpr std::string_view kLoadReceiverKey = "LadujNastawyEprom";
constexpr std::string_view kOpenSearchKey = "OtworzOknoWyszukiwaniaPlikowNastaw";
constexpr std::string_view kAutosaveKey = "ZapiszZmianyNatychmiast";
constexpr std::string_view kDefaultSettingsFileKey = "NastawyDomyslne";
constexpr std::string_view kLoadDefaultSettingsKey = "LadujNastawyDomyslne";
constexpr std::string_view kShowArchivedEventsKey = "PokazZdarzeniaArchiwalne";

constexpr std::string_view kEventsSection = "Zdarzenia";
constexpr std::string_view kEventLogFileKey = "PlikZdarzen";
constexpr std::string_view kEventCountKey = "IloscZdarzen";
constexpr std::string_view kRegistrationKey = "Rejestracja";
constexpr std::string_view kScrollEventsKey = "PrzewijajZdarzenia";

constexpr std::string_view kSoundSection = "Dzwieki";
constexpr std::string_view kSoundKindKey = "RodzajDzwieku";
constexpr std::string_view kSoundFileKey = "PlikDzwiekowy";

constexpr std::string_view kPrintingSection = "Drukowanie";
constexpr std::string_view kFontNameKey = "CzcionkaNazwa";
constexpr std::string_view kFontSizeKey = "CzcionkaRozmiar";

constexpr std::string_view kRemoteSection = "Pilot";
constexpr std::string_view kRemoteNameKey = "Nazwa";
constexpr std::array<std::string_view, Configuration::kButtonCount> kButtonMaskKeys{
    "Przycisk1", "Przycisk2", "Przycisk3", "Przycisk4"};
// The opacity really is stored under an empty key name.
constexpr std::string_view kOpacityKey = "";

constexpr std::string_view kFloatingRemoteSection = "Pilot Wirtualny";

constexpr std::string_view kSearchFoldersSection = "WyszukiwanePliki";

constexpr std::string_view kDefaultLanguage = "Polski";
constexpr int kDefaultStartPage = 0;
constexpr int kUnsetBound = -1;
constexpr int kDefaultEventCount = 5000;
constexpr int kDefaultSoundKind = 1;
constexpr int kDefaultOpacity = 100;
constexpr int kScrollOn = 1;
constexpr int kScrollOff = 0;

constexpr std::string_view kConfigHomeVariable = "XDG_CONFIG_HOME";
constexpr std::string_view kHomeVariable = "HOME";
constexpr std::string_view kConfigHomeUnderHome = ".config";
constexpr std::string_view kVendorFolder = "Zentor";
constexpr std::string_view kProgramFolder = "Konfigor";
constexpr std::string_view kConfigFileName = "config.txt";
constexpr std::string_view kLogFileName = "log.txt";

} // namespace

std::optional<std::string> processEnvironment(std::string_view name) {
    const char* value = std::getenv(std::string(name).c_str());
    return value != nullptr ? std::optional<std::string>(value) : std::nullopt;
}

std::filesystem::path Configuration::defaultPath(const EnvironmentLookup& environment) {
    std::filesystem::path base;
    const auto configHome = environment(kConfigHomeVariable);
    if (configHome && std::filesystem::path(*configHome).is_absolute())
        base = *configHome;
    else
        base =
            std::filesystem::path(environment(kHomeVariable).value_or("")) / kConfigHomeUnderHome;
    return base / kVendorFolder / kProgramFolder / kConfigFileName;
}

Configuration Configuration::load(const std::filesystem::path& path) {
    Configuration configuration;
    configuration.path_ = path;
    configuration.ini_ = IniFile::load(path);
    return configuration;
}

bool Configuration::save() const {
    return !path_.empty() && ini_.save(path_);
}

std::filesystem::path Configuration::logFilePath() const {
    return path_.parent_path() / kLogFileName;
}

std::string Configuration::language() const {
    return ini_.readString(kInterfaceSection, kLanguageKey, kDefaultLanguage);
}

void Configuration::setLanguage(std::string_view name) {
    ini_.writeString(kInterfaceSection, kLanguageKey, name);
}

int Configuration::startPage() const {
    return ini_.readInteger(kInterfaceSection, kStartPageKey, kDefaultStartPage);
}

void Configuration::setStartPage(int page) {
    ini_.writeInteger(kInterfaceSection, kStartPageKey, page);
}

WindowBounds Configuration::windowBounds() const {
    return {ini_.readInteger(kInterfaceSection, kLeftKey, kUnsetBound),
            ini_.readInteger(kInterfaceSection, kTopKey, kUnsetBound),
            ini_.readInteger(kInterfaceSection, kWidthKey, kUnsetBound),
            ini_.readInteger(kInterfaceSection, kHeightKey, kUnsetBound)};
}

void Configuration::setWindowBounds(const WindowBounds& bounds) {
    ini_.writeInteger(kInterfaceSection, kLeftKey, bounds.left);
    ini_.writeInteger(kInterfaceSection, kTopKey, bounds.top);
    ini_.writeInteger(kInterfaceSection, kWidthKey, bounds.width);
    ini_.writeInteger(kInterfaceSection, kHeightKey, bounds.height);
}

bool Configuration::maximised() const {
    return ini_.ReadYesNo(kInterfaceSection, kMaximisedKey, false);
}

void Configuration::setMaximised(bool maximised) {
    ini_.WriteYesNo(kInterfaceSection, kMaximisedKey, maximised);
}

std::filesystem::path Configuration::settingsLoadFolder() const {
    return std::filesystem::path(ini_.readString(kFoldersSection, kLoadFolderKey, ""));
}

void Configuration::setSettingsLoadFolder(const std::filesystem::path& folder) {
    ini_.writeString(kFoldersSection, kLoadFolderKey, folder.string());
}

std::filesystem::path Configuration::settingsSaveFolder() const {
    return std::filesystem::path(ini_.readString(kFoldersSection, kSaveFolderKey, ""));
}

void Configuration::setSettingsSaveFolder(const std::filesystem::path& folder) {
    ini_.writeString(kFoldersSection, kSaveFolderKey, folder.string());
}

bool Configuration::autoConnect() const {
    return ini_.ReadYesNo(kAutomationSection, kAutoConnectKey, true);
}

void Configuration::setAutoConnect(bool on) {
    ini_.WriteYesNo(kAutomationSection, kAutoConnectKey, on);
}

bool Configuration::loadReceiverAfterConnect() const {
    return ini_.ReadYesNo(kAutomationSection, kLoadReceiverKey, true);
}

void Configuration::setLoadReceiverAfterConnect(bool on) {
    ini_.WriteYesNo(kAutomationSection, kLoadReceiverKey, on);
}

bool Configuration::openSearchAfterLoad() const {
    return ini_.ReadYesNo(kAutomationSection, kOpenSearchKey, true);
}

void Configuration::setOpenSearchAfterLoad(bool on) {
    ini_.WriteYesNo(kAutomationSection, kOpenSearchKey, on);
}

bool Configuration::autosave() const {
    return ini_.ReadYesNo(kAutomationSection, kAutosaveKey, true);
}

void Configuration::setAutosave(bool on) {
    ini_.WriteYesNo(kAutomationSection, kAutosaveKey, on);
}

std::filesystem::path Configuration::defaultSettingsFile() const {
    return std::filesystem::path(ini_.readString(kAutomationSection, kDefaultSettingsFileKey, ""));
}

void Configuration::setDefaultSettingsFile(const std::filesystem::path& file) {
    ini_.writeString(kAutomationSection, kDefaultSettingsFileKey, file.string());
}

bool Configuration::loadDefaultSettingsFile() const {
    return ini_.ReadYesNo(kAutomationSection, kLoadDefaultSettingsKey, false);
}

void Configuration::setLoadDefaultSettingsFile(bool on) {
    ini_.WriteYesNo(kAutomationSection, kLoadDefaultSettingsKey, on);
}

bool Configuration::showArchivedEvents() const {
    return ini_.ReadYesNo(kAutomationSection, kShowArchivedEventsKey, true);
}

void Configuration::setShowArchivedEvents(bool on) {
    ini_.WriteYesNo(kAutomationSection, kShowArchivedEventsKey, on);
}

std::optional<std::filesystem::path> Configuration::eventLogFile() const {
    if (!ini_.hasKey(kEventsSection, kEventLogFileKey))
        return std::nullopt;
    return std::filesystem::path(ini_.readString(kEventsSection, kEventLogFileKey, ""));
}

std::filesystem::path Configuration::effectiveEventLogFile() const {
    // An empty path would send the events nowhere the archive is read from.
    const auto stored = eventLogFile();
    return stored && !stored->empty() ? *stored : logFilePath();
}

void Configuration::setEventLogFile(const std::filesystem::path& file) {
    ini_.writeString(kEventsSection, kEventLogFileKey, file.string());
}

int Configuration::eventCount() const {
    return ini_.readInteger(kEventsSection, kEventCountKey, kDefaultEventCount);
}

void Configuration::setEventCount(int count) {
    ini_.writeInteger(kEventsSection, kEventCountKey, count);
}

bool Configuration::registration(bool whenAbsent) const {
    return ini_.ReadYesNo(kEventsSection, kRegistrationKey, whenAbsent);
}

void Configuration::setRegistration(bool on) {
    ini_.WriteYesNo(kEventsSection, kRegistrationKey, on);
}

bool Configuration::scrollEvents() const {
    return ini_.readInteger(kEventsSection, kScrollEventsKey, kScrollOn) != 0;
}

void Configuration::setScrollEvents(bool on) {
    ini_.writeInteger(kEventsSection, kScrollEventsKey, on ? kScrollOn : kScrollOff);
}

int Configuration::soundKind() const {
    return ini_.readInteger(kSoundSection, kSoundKindKey, kDefaultSoundKind);
}

void Configuration::setSoundKind(int kind) {
    ini_.writeInteger(kSoundSection, kSoundKindKey, kind);
}

std::filesystem::path Configuration::soundFile() const {
    return std::filesystem::path(ini_.readString(kSoundSection, kSoundFileKey, ""));
}

void Configuration::setSoundFile(const std::filesystem::path& file) {
    ini_.writeString(kSoundSection, kSoundFileKey, file.string());
}

std::string Configuration::printFontName() const {
    return ini_.readString(kPrintingSection, kFontNameKey, "");
}

void Configuration::setPrintFontName(std::string_view name) {
    ini_.writeString(kPrintingSection, kFontNameKey, name);
}

std::string Configuration::printFontSize() const {
    return ini_.readString(kPrintingSection, kFontSizeKey, "");
}

void Configuration::setPrintFontSize(std::string_view size) {
    ini_.writeString(kPrintingSection, kFontSizeKey, size);
}

std::string Configuration::virtualRemoteName() const {
    return ini_.readString(kRemoteSection, kRemoteNameKey, "");
}

void Configuration::setVirtualRemoteName(std::string_view name) {
    ini_.writeString(kRemoteSection, kRemoteNameKey, name);
}

Configuration::ButtonMasks Configuration::virtualButtonMasks() const {
    ButtonMasks masks{};
    for (std::size_t button = 0; button < masks.size(); ++button)
        masks[button] = ini_.readInteger(kRemoteSection, kButtonMaskKeys[button], 0);
    return masks;
}

void Configuration::setVirtualButtonMasks(const ButtonMasks& masks) {
    for (std::size_t button = 0; button < masks.size(); ++button)
        ini_.writeInteger(kRemoteSection, kButtonMaskKeys[button], masks[button]);
}

int Configuration::virtualRemoteOpacity() const {
    return ini_.readInteger(kRemoteSection, kOpacityKey, kDefaultOpacity);
}

void Configuration::setVirtualRemoteOpacity(int percent) {
    ini_.writeInteger(kRemoteSection, kOpacityKey, percent);
}

std::optional<int> Configuration::virtualRemoteLeft() const {
    return ini_.findInteger(kFloatingRemoteSection, kLeftKey);
}

std::optional<int> Configuration::virtualRemoteTop() const {
    return ini_.findInteger(kFloatingRemoteSection, kTopKey);
}

void Configuration::setVirtualRemotePosition(int left, int top) {
    ini_.writeInteger(kFloatingRemoteSection, kLeftKey, left);
    ini_.writeInteger(kFloatingRemoteSection, kTopKey, top);
}

std::vector<std::filesystem::path> Configuration::searchFolders() const {
    const std::size_t count = ini_.sectionValues(kSearchFoldersSection).size();
    std::vector<std::filesystem::path> folders;
    folders.reserve(count);
    for (std::size_t position = 0; position < count; ++position)
        folders.push_back(std::filesystem::path(
            ini_.readString(kSearchFoldersSection, std::to_string(position), "")));
    return folders;
}

void Configuration::setSearchFolders(const std::vector<std::filesystem::path>& folders) {
    ini_.eraseSection(kSearchFoldersSection);
    for (std::size_t position = 0; position < folders.size(); ++position)
        ini_.writeString(kSearchFoldersSection, std::to_string(position),
                         folders[position].string());
}

} // namespace konfigor
