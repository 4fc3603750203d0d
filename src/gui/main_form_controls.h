#pragma once

#include <array>

class QAction;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMainWindow;
class QMenu;
class QPushButton;
class QTabWidget;
class QTimer;
class QToolBar;
class QToolButton;
class QWidget;

namespace konfigor {

class ToggleButton;

// Every control of the main window below its menu bar, each with its objectName set to its
// control name. Captions and hints come from applyControlTexts() afterwards; enabled states,
// handlers and timer starts are the caller's.
struct MainFormControls {
    // Toolbar: the buttons are actions so that the toolbar can lay them out.
    QToolBar* toolBar = nullptr;
    QAction* toolButtonCut = nullptr;
    QAction* toolButtonCopy = nullptr;
    QAction* toolButtonPaste = nullptr;
    QAction* toolButtonUndo = nullptr;
    QAction* toolButtonRedo = nullptr;

    // Left column.
    QWidget* leftColumn = nullptr;
    QLabel* dataoperationsLabel = nullptr;
    QLabel* readLabel = nullptr;
    QToolButton* toolBtnLoadFile = nullptr;
    QToolButton* toolBtnLoadChip = nullptr;
    QLabel* writeLabel = nullptr;
    QToolButton* toolBtnSaveFile = nullptr;
    QToolButton* toolBtnSaveChip = nullptr;
    ToggleButton* toolBtnAutosave = nullptr;
    QLabel* labelOthers = nullptr;
    QToolButton* toolBtnScan = nullptr;
    QToolButton* toolButtonReduction = nullptr;
    QToolButton* toolButtonKasuj = nullptr;

    QLabel* labelVirtualRemote = nullptr;
    std::array<QPushButton*, 4> buttonRemote{}; // ButtonRemote1..ButtonRemote4
    QPushButton* remoteSettingsButton = nullptr;
    ToggleButton* buttonRemoteShow = nullptr;

    QLabel* label1 = nullptr; // "Zabezpieczenie"
    ToggleButton* buttonPin = nullptr;
    ToggleButton* checkBoxGlobalnaBlokadaKopiowania = nullptr;
    ToggleButton* checkBoxAdministracyjnaBlokadaKopiowania = nullptr;

    QLabel* portsLabel = nullptr;
    QComboBox* comboBoxPorts = nullptr;
    QPushButton* buttonConnect = nullptr; // default button while comboBoxPorts has focus

    QFrame* panelMisc = nullptr; // hidden; nothing shows it
    QLabel* label2 = nullptr;
    QPushButton* buttonReset = nullptr;

    // Main area.
    QFrame* idSheetMemoryPanel = nullptr;
    QLabel* idMemorySheetLabel = nullptr;
    QLineEdit* idMemorySheetEdit = nullptr;
    QTabWidget* pageControl = nullptr;

    QWidget* tabSheetMemory = nullptr;
    QGroupBox* labelRemotes = nullptr;
    QWidget* stringGridRemote = nullptr; // the grid given to buildMainFormControls()
    QToolBar* toolBarRemotes = nullptr;
    QAction* toolButtonRemoteAdd = nullptr;
    QAction* toolButtonRemoteEdit = nullptr;
    QAction* toolButtonRemoteDel = nullptr;
    QGroupBox* labelChannels = nullptr;
    QWidget* stringGridChannels = nullptr; // the grid given to buildMainFormControls()
    QToolBar* toolBarChannels = nullptr;
    QAction* toolButtonChannelEdit = nullptr;

    QWidget* tabSheetLogs = nullptr;
    ToggleButton* buttonZdarzeniaArchiwalne = nullptr; // down at start
    ToggleButton* buttonScrollEvents = nullptr;        // down at start
    QWidget* stringGridLogs = nullptr;                 // the grid given to buildMainFormControls()

    // Pop-up menus. Mark all / unmark all / invert marks also work by their shortcuts while the
    // remote grid has focus.
    QMenu* popupMenuRemote = nullptr;
    QAction* menuRemoteAdd = nullptr;
    QAction* menuRemoteEdit = nullptr;
    QAction* menuRemoteDel = nullptr;
    QAction* menuCut = nullptr;
    QAction* menuCopy = nullptr;
    QAction* menuPaste = nullptr;
    QAction* menuMark = nullptr;
    QAction* menuUnmark = nullptr;
    QAction* menuMarkAll = nullptr;
    QAction* menuUnmarkAll = nullptr;
    QAction* menuSwapMArked = nullptr;
    QAction* menuSwapItems = nullptr;
    QAction* menuRemoteLoadEprom = nullptr;
    QAction* menuRemoteSaveEprom = nullptr;
    QMenu* popupMenuChannel = nullptr;
    QAction* menuChannelEdit = nullptr;

    // Timers, not started.
    QTimer* timerKvr = nullptr;      // 333 ms
    QTimer* timerAutomat = nullptr;  // 1 ms, single shot
    QTimer* timerLogFlash = nullptr; // 500 ms
};

inline constexpr int kLeftColumnWidth = 215;
inline constexpr int kIdMemorySheetMaxLength = 255;

struct MainFormGrids {
    QWidget* remotes = nullptr;
    QWidget* channels = nullptr;
    QWidget* events = nullptr;
};

// Builds the controls as children of `window`, puts the three grids in their places, sets the
// central widget and adds the toolbar. Texts are left empty for applyControlTexts().
MainFormControls buildMainFormControls(QMainWindow& window, const MainFormGrids& grids);

} // namespace konfigor
