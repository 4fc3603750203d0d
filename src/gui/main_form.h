#pragma once

#include "config/configuration.h"
#include "gui/command_line.h"
#include "gui/main_form_controls.h"
#include "gui/qt_translations.h"
#include "link/receiver_link.h"
#include "link/serial_port_posix.h"
#include "link/steady_clock.h"
#include "texts/text_table.h"

#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include <QMainWindow>

class QLabel;
class QMenu;
class QSocketNotifier;
class QUrl;

namespace konfigor {

class AppCore;
class Clipboard;
class DemoReceiver;
class EditorWindows;
class FloatingRemoteShell;
class VirtualButtons;
class FileDialogs;
class LanguageMenu;
class MainFormSurface;
class PinDialogs;
class PortSource;
class QtSearchWindows;
class Sound;
class StringGridChannels;
class StringGridLogs;
class StringGridRemote;
class TAboutForm;
class TConnectingForm;
class TOptionsForm;
struct Manual;
class TLoadingProgressForm;
class TMessageForm;
class UserPrompts;

// The main menu's items that the window enables and captions as it goes.
struct MainMenuActions {
    QAction* options = nullptr;
    QAction* printReport = nullptr;
    QAction* undo = nullptr;
    QAction* redo = nullptr;
    QAction* cut = nullptr;
    QAction* copy = nullptr;
    QAction* paste = nullptr;
};

// What the main window uses of the world, each replaceable for tests; nothing given means the
// real one: message boxes, file dialogs, the USB interfaces, the per-user configuration.
struct MainFormEnvironment {
    UserPrompts* prompts = nullptr;
    Clipboard* clipboard = nullptr;
    FileDialogs* fileDialogs = nullptr;
    PortSource* portSource = nullptr;
    Sound* sound = nullptr;
    PinDialogs* pinDialogs = nullptr;
    std::optional<std::filesystem::path> configPath;
    // Where language files and manuals are looked for; the program's own folders by default.
    std::optional<std::vector<std::filesystem::path>> dataFolders;
    // Opens a manual or a web page in the user's program; false when that fails.
    std::function<bool(const QUrl&)> openUrl;
};

// The main window. It shows state and forwards the user's commands to the logic objects it
// owns; it decides nothing itself.
class TMainForm : public QMainWindow {
    Q_OBJECT

public:
    static constexpr int kStatusPanelCount = 4;

    explicit TMainForm(CommandLine commandLine, MainFormEnvironment environment = {},
                       QWidget* parent = nullptr);
    ~TMainForm() override;

    const TextTable& texts() const { return texts_; }
    AppCore& core() { return *core_; }
    ReceiverLink& link() { return link_; }
    Configuration& configuration() { return configuration_; }
    const MainFormControls& controls() const { return controls_; }
    const MainMenuActions& mainMenu() const { return mainMenu_; }
    StringGridRemote& remoteGrid() { return *remoteGrid_; }
    StringGridChannels& channelGrid() { return *channelGrid_; }
    StringGridLogs& eventGrid() { return *eventGrid_; }
    EditorWindows& editors() { return *editors_; }
    VirtualButtons& virtualButtons() { return *virtualButtons_; }
    FloatingRemoteShell& floatingRemote() { return *floatingRemote_; }
    TOptionsForm& optionsForm() { return *optionsForm_; }

    void setStatusPanel(int panel, const QString& text);
    QString statusPanel(int panel) const;
    // Cut, Copy and Paste of the main menu, the toolbar and the pop-up menu.
    void refreshClipboardCommands();
    // The remote grid's pop-up menu as its opening leaves it: captions and enabled items.
    void preparePopupMenu();

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMainMenu();
    void buildStatusBar();
    void buildLanguageMenu(std::vector<std::filesystem::path> dataFolders);
    void showCheckedLanguage();
    void chooseLanguage(std::size_t item);
    void languageApplied();
    QMenu* addMenu(QMenu* parent, const char* objectName);
    QAction* addAction(QMenu* menu, const char* objectName, const QKeySequence& shortcut = {});
    void buildSessionWindows(UserPrompts* prompts, FileDialogs* fileDialogs,
                             PinDialogs* pinDialogs);
    void createCore(PortSource* portSource);
    void connectCommands();
    void connectEditingCommands();
    void connectClipboardCommands();
    void repaintAfterCommand();
    void connectPortList();
    void connectSecurityCommands();
    void connectEventLog();
    void connectOptionsAndHelp();
    void MenuOptionsClick();
    void OpenManual(const Manual& manual);
    // The two toggles above the events grid, as the log's view has them.
    void showEventToggles();
    void showStatusTip(const QString& tip);
    void restoreWindow();
    void saveWindow();
    void firstShowing();

    CommandLine commandLine_;
    TextTable texts_;
    Configuration configuration_;
    std::unique_ptr<DemoReceiver> demo_;
    SteadyClock clock_;
    PosixSerialPort port_;
    ReceiverLink link_{port_, clock_};
    std::unique_ptr<PortSource> ownPortSource_;
    std::unique_ptr<UserPrompts> ownPrompts_;
    std::unique_ptr<FileDialogs> ownFileDialogs_;
    std::unique_ptr<Clipboard> ownClipboard_;
    Clipboard* clipboard_ = nullptr;
    UserPrompts* prompts_ = nullptr;
    std::unique_ptr<Sound> ownSound_;
    std::unique_ptr<PinDialogs> ownPinDialogs_;
    PinDialogs* pinDialogs_ = nullptr;
    Sound* sound_ = nullptr;
    FileDialogs* fileDialogs_ = nullptr;

    std::array<QLabel*, kStatusPanelCount> statusPanels_{};
    TConnectingForm* connectingForm_ = nullptr;
    TLoadingProgressForm* progressForm_ = nullptr;
    TMessageForm* messageForm_ = nullptr;
    std::unique_ptr<MainFormSurface> surface_;
    std::unique_ptr<AppCore> core_;
    std::unique_ptr<QtSearchWindows> searchWindows_;
    StringGridRemote* remoteGrid_ = nullptr;
    StringGridChannels* channelGrid_ = nullptr;
    StringGridLogs* eventGrid_ = nullptr;
    MainFormControls controls_;
    EditorWindows* editors_ = nullptr;
    VirtualButtons* virtualButtons_ = nullptr;
    FloatingRemoteShell* floatingRemote_ = nullptr;
    MainMenuActions mainMenu_;
    TOptionsForm* optionsForm_ = nullptr;
    TAboutForm* aboutForm_ = nullptr;
    std::vector<std::filesystem::path> dataFolders_;
    std::function<bool(const QUrl&)> openUrl_;
    QMenu* languageMenu_ = nullptr;
    std::unique_ptr<LanguageMenu> languages_;
    QSocketNotifier* deviceNotifier_ = nullptr;
    bool shown_ = false;
    // What the operation panel held before a status tip covered it; none while no tip shows.
    std::optional<QString> coveredByStatusTip_;
    // Last, so that its removal reaches the window before anything of it is gone.
    QtTranslations qtTranslations_;
};

} // namespace konfigor
