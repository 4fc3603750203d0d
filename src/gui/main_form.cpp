#include "gui/main_form.h"

#include "config/help_links.h"
#include "config/options.h"
#include "gui/about_form.h"
#include "gui/channel_grid.h"
#include "gui/connecting_form.h"
#include "gui/control_texts.h"
#include "gui/editor_windows.h"
#include "gui/event_grid.h"
#include "gui/floating_remote_shell.h"
#include "gui/loading_progress_form.h"
#include "gui/main_form_surface.h"
#include "gui/message_box_prompts.h"
#include "gui/message_form.h"
#include "gui/missing_features.h"
#include "gui/options_form.h"
#include "gui/pin_forms.h"
#include "gui/qt_search_windows.h"
#include "gui/qt_sound.h"
#include "gui/qt_text.h"
#include "gui/remote_grid.h"
#include "gui/report_form.h"
#include "gui/settings_file_dialogs.h"
#include "gui/system_clipboard.h"
#include "gui/virtual_buttons.h"
#include "gui/widgets/edit_icons.h"
#include "gui/widgets/toggle_button.h"
#include "gui/widgets/wrapping_label.h"
#include "gui/window_placement.h"
#include "link/udev_port_source.h"
#include "session/app_core.h"
#include "sheet/remote_popup_menu.h"
#include "sim/demo_receiver.h"
#include "texts/language_menu.h"
#include "texts/text_lines.h"
#include "texts/text_table.h"
#include "texts/untranslated_texts.h"

#include <konfigor/version.h>

#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSocketNotifier>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QUrl>

namespace konfigor {
namespace {

constexpr std::string_view kWindowClass = "TMainForm";
constexpr std::array<int, TMainForm::kStatusPanelCount> kStatusPanelWidths{230, 50, 60, 180};
// Panel 1 takes the width the others leave. All panels are permanent so that a status tip
// never hides the link state.
constexpr int kStretchingStatusPanel = 1;
// Status tips go to the operation panel, not to Qt's message area that the panels leave no room.
constexpr int kStatusTipPanel = 1;
constexpr int kSheetPage = 0;
constexpr int kEventsPage = 1;

// Where no interface can be discovered (no udev), the demo and --port still work.
class NoPortSource final : public PortSource {
public:
    std::vector<InterfacePort> listPorts() override { return {}; }
    int notificationFd() const override { return -1; }
    std::vector<PortEvent> drainEvents() override { return {}; }
};

std::vector<InterfacePort> portsGivenByPath(const QStringList& paths) {
    std::vector<InterfacePort> ports;
    for (const QString& path : paths)
        ports.push_back(portGivenByPath(path.toStdString()));
    return ports;
}

} // namespace

TMainForm::TMainForm(CommandLine commandLine, MainFormEnvironment environment, QWidget* parent)
    : QMainWindow(parent), commandLine_(std::move(commandLine)),
      configuration_(
          Configuration::load(environment.configPath.value_or(Configuration::defaultPath()))) {
    setObjectName(QStringLiteral("MainForm"));
    // The built-in texts are Polish, so Qt's own buttons and dialogs are too.
    qtTranslations_.use(QLocale(QLocale::Polish, QLocale::Poland));
    setWindowTitle(toQString(untranslated(Untranslated::ProgramTitle)));
    setMinimumSize(500, 420);
    resize(791, 704);

    buildMainMenu();
    dataFolders_ = environment.dataFolders.value_or(
        programDataFolders(QCoreApplication::applicationDirPath().toStdString()));
    openUrl_ = environment.openUrl ? environment.openUrl : &QDesktopServices::openUrl;
    buildLanguageMenu(dataFolders_);
    buildStatusBar();
    if (environment.clipboard) {
        clipboard_ = environment.clipboard;
    } else {
        ownClipboard_ = std::make_unique<SystemClipboard>();
        clipboard_ = ownClipboard_.get();
    }
    if (environment.sound) {
        sound_ = environment.sound;
    } else {
        ownSound_ = std::make_unique<QtSound>();
        sound_ = ownSound_.get();
    }
    buildSessionWindows(environment.prompts, environment.fileDialogs, environment.pinDialogs);
    createCore(environment.portSource);
    remoteGrid_ = new StringGridRemote(core_->sheet(), texts_, this);
    channelGrid_ = new StringGridChannels(core_->sheet(), texts_, this);
    eventGrid_ =
        new StringGridLogs(core_->eventsLog(), core_->eventLog(), core_->sheet(), texts_, this);
    controls_ = buildMainFormControls(*this, {remoteGrid_, channelGrid_, eventGrid_});
    applyControlTexts(*this, kWindowClass, texts_);
    setStatusPanel(0, toQString(texts_.text(Msg::SelectPortAndConnect)));

    connectCommands();
    connectEditingCommands();
    connectClipboardCommands();
    connectPortList();
    connectSecurityCommands();
    connectEventLog();
    connectOptionsAndHelp();
    virtualButtons_ =
        new VirtualButtons(*this, controls_, core_->virtualRemote(), configuration_, texts_);
    floatingRemote_ = new FloatingRemoteShell(*this, controls_, core_->virtualRemote(),
                                              configuration_, clock_, texts_);
    editors_ = new EditorWindows({.window = *this,
                                  .controls = controls_,
                                  .remoteGrid = *remoteGrid_,
                                  .channelGrid = *channelGrid_,
                                  .core = *core_,
                                  .link = link_,
                                  .prompts = *prompts_,
                                  .texts = texts_});
    searchWindows_ = std::make_unique<QtSearchWindows>(*this, texts_);
    core_->search().setWindows(*searchWindows_);
    disableControlsWithoutFeature(*this);
    core_->start();
    showEventToggles();
    surface_->showConnectButton(false);
    restoreWindow();
    if (const Options settled = settledOptions(configuration_); settled.loadDefaultSettingsFile)
        core_->files().loadDefaultFileAtStartup(settled.defaultSettingsFile);
}

TMainForm::~TMainForm() {
    // The editors and the virtual buttons show the core's logic, which goes before the window's
    // children do.
    delete editors_;
    delete virtualButtons_;
    delete floatingRemote_;
    // The widgets outlive the members they show; nothing may tick into them any more.
    controls_.timerKvr->stop();
    controls_.timerAutomat->stop();
    controls_.timerLogFlash->stop();
    // Deleting the child widgets moves the focus; this window must not hear of it any more.
    QObject::disconnect(qApp, nullptr, this, nullptr);
    QObject::disconnect(QApplication::clipboard(), nullptr, this, nullptr);
    if (deviceNotifier_)
        deviceNotifier_->setEnabled(false);
    // The grids draw from the core, which goes before the window's children do; a visible grid
    // would be asked for its header once more while the window closes.
    delete takeCentralWidget();
}

void TMainForm::setStatusPanel(int panel, const QString& text) {
    // A command's outcome stays once the tip that covered the panel goes.
    if (panel == kStatusTipPanel)
        coveredByStatusTip_.reset();
    statusPanels_.at(static_cast<std::size_t>(panel))->setText(text);
}

QString TMainForm::statusPanel(int panel) const {
    return statusPanels_.at(static_cast<std::size_t>(panel))->text();
}

void TMainForm::showStatusTip(const QString& tip) {
    QLabel* label = statusPanels_.at(kStatusTipPanel);
    if (tip.isEmpty()) {
        if (coveredByStatusTip_)
            label->setText(*coveredByStatusTip_);
        coveredByStatusTip_.reset();
        return;
    }
    if (!coveredByStatusTip_)
        coveredByStatusTip_ = label->text();
    label->setText(tip);
}

// --- building ---

void TMainForm::buildMainMenu() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu"));

    QMenu* file = addMenu(nullptr, "MainMenuFile");
    mainMenu_.options = addAction(file, "MenuOptions", QKeySequence(Qt::CTRL | Qt::Key_F12));
    file->addSeparator();
    QAction* quit = addAction(file, "MainMenuQuit");
    connect(quit, &QAction::triggered, this, [this] { floatingRemote_->quitChosen(); });

    QMenu* print = addMenu(nullptr, "MainMenuPrint");
    mainMenu_.printReport = addAction(print, "MainMenuPrintArkuszKVR");
    connect(mainMenu_.printReport, &QAction::triggered, this, [this] {
        // Built from the sheet as it is now, every time.
        TRaportForm report(core_->sheet(), texts_, this);
        report.exec();
    });

    QMenu* edit = addMenu(nullptr, "MainMenuEdit");
    mainMenu_.undo = addAction(edit, "MenuUndo", QKeySequence(Qt::CTRL | Qt::Key_Z));
    mainMenu_.undo->setText(toQString(texts_.text(Msg::UndoCaption)));
    mainMenu_.redo = addAction(edit, "MenuRedo", QKeySequence(Qt::CTRL | Qt::Key_Y));
    mainMenu_.redo->setText(toQString(texts_.text(Msg::RedoCaption)));
    edit->addSeparator();
    mainMenu_.cut = addAction(edit, "MainMenuCut", QKeySequence(Qt::CTRL | Qt::Key_X));
    mainMenu_.copy = addAction(edit, "MainMenuCopy", QKeySequence(Qt::CTRL | Qt::Key_C));
    mainMenu_.paste = addAction(edit, "MainMenuPaste", QKeySequence(Qt::CTRL | Qt::Key_V));
    const std::array<std::pair<QAction*, EditIcon>, 5> icons{{{mainMenu_.undo, EditIcon::Undo},
                                                              {mainMenu_.redo, EditIcon::Redo},
                                                              {mainMenu_.cut, EditIcon::Cut},
                                                              {mainMenu_.copy, EditIcon::Copy},
                                                              {mainMenu_.paste, EditIcon::Paste}}};
    for (const auto& [item, command] : icons)
        item->setIcon(editIcon(command));

    // Filled from the language files found once the core exists.
    languageMenu_ = addMenu(nullptr, "MainMenuLanguage");

    QMenu* help = addMenu(nullptr, "MainMenuHelp");
    QMenu* manuals = addMenu(help, "MainMenuHelpIndex");
    addAction(manuals, "MainMenuHelpSoft", QKeySequence(Qt::Key_F1));
    addAction(manuals, "MainMenuHelpReciever");
    addAction(manuals, "MainMenuHelpRecieverLumo");
    addAction(manuals, "MainMenuHelpInterface");
    addAction(manuals, "MainMenuHelpClone");
    addAction(help, "MainMenuUpdate");
    help->addSeparator();
    addAction(help, "MainMenuAbout");
}

void TMainForm::buildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar"));
    for (int panel = 0; panel < kStatusPanelCount; ++panel) {
        // A long message must not widen the window: the operation panel takes what the
        // others leave and wraps onto another line instead of cutting the message.
        QLabel* label = panel == kStretchingStatusPanel ? new WrappingLabel(bar) : new QLabel(bar);
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setObjectName(QStringLiteral("StatusPanel%1").arg(panel));
        // The designed widths are minimums: a panel grows to its text in the user's font.
        label->setMinimumWidth(kStatusPanelWidths.at(static_cast<std::size_t>(panel)));
        bar->addPermanentWidget(label, panel == kStretchingStatusPanel ? 1 : 0);
        statusPanels_.at(static_cast<std::size_t>(panel)) = label;
    }
}

QMenu* TMainForm::addMenu(QMenu* parent, const char* objectName) {
    QMenu* menu = parent ? parent->addMenu(QString()) : menuBar()->addMenu(QString());
    menu->setObjectName(QString::fromLatin1(objectName));
    return menu;
}

QAction* TMainForm::addAction(QMenu* menu, const char* objectName, const QKeySequence& shortcut) {
    QAction* action = menu->addAction(QString());
    action->setObjectName(QString::fromLatin1(objectName));
    action->setShortcut(shortcut);
    return action;
}

void TMainForm::buildSessionWindows(UserPrompts* prompts, FileDialogs* fileDialogs,
                                    PinDialogs* pinDialogs) {
    if (!prompts) {
        ownPrompts_ = std::make_unique<MessageBoxPrompts>(this);
        prompts = ownPrompts_.get();
    }
    if (!fileDialogs) {
        ownFileDialogs_ = std::make_unique<SettingsFileDialogs>(this);
        fileDialogs = ownFileDialogs_.get();
    }
    prompts_ = prompts;
    fileDialogs_ = fileDialogs;
    connectingForm_ = new TConnectingForm(link_, texts_, this);
    progressForm_ = new TLoadingProgressForm(
        texts_, [this] { core_->bulk().cancelRequested(); }, this);
    messageForm_ = new TMessageForm(this);
    if (!pinDialogs) {
        ownPinDialogs_ = std::make_unique<QtPinDialogs>(this, *prompts_, texts_);
        pinDialogs = ownPinDialogs_.get();
    }
    pinDialogs_ = pinDialogs;
}

void TMainForm::createCore(PortSource* portSource) {
    if (!portSource) {
        ownPortSource_ = UdevPortSource::create();
        if (!ownPortSource_)
            ownPortSource_ = std::make_unique<NoPortSource>();
        portSource = ownPortSource_.get();
    }
    PortList::LeadingPorts leading;
    if (commandLine_.demo) {
        demo_ = std::make_unique<DemoReceiver>();
        leading = [this] {
            return std::vector{InterfacePort{.path = demo_->portPath(),
                                             .displayName = texts_.text(Keyed::DemoPortName),
                                             .identity = demo_->portPath()}};
        };
    }
    surface_ = std::make_unique<MainFormSurface>(*this);
    core_ = std::make_unique<AppCore>(
        AppCore::Platform{.link = link_,
                          .clock = clock_,
                          .portSource = *portSource,
                          .fixedPorts = portsGivenByPath(commandLine_.extraPorts),
                          .leadingPorts = std::move(leading),
                          .configuration = configuration_,
                          .texts = texts_,
                          .prompts = *prompts_,
                          .sheetSurface = *surface_,
                          .sessionSurface = *surface_,
                          .connecting = *connectingForm_,
                          .transferDialog = *progressForm_,
                          .warning = *messageForm_,
                          .fileDialogs = *fileDialogs_,
                          .clipboard = *clipboard_,
                          .sound = *sound_,
                          .pinDialogs = *pinDialogs_,
                          .eventLogSurface = *surface_});
    if (portSource->notificationFd() >= 0) {
        deviceNotifier_ =
            new QSocketNotifier(portSource->notificationFd(), QSocketNotifier::Read, this);
        connect(deviceNotifier_, &QSocketNotifier::activated, this,
                [this] { core_->session().devicesChanged(); });
    }
}

// --- the user's commands ---

void TMainForm::connectCommands() {
    const MainFormControls& c = controls_;
    SessionController& session = core_->session();
    connect(c.buttonConnect, &QPushButton::clicked, this,
            [&session] { session.connectButtonClicked(); });
    // Queued: a tick may open a modal dialog (the load after connecting), and Qt does not fire
    // a timer again while its own timeout is being handled; a queued call lets it tick on.
    connect(
        c.timerKvr, &QTimer::timeout, this, [&session] { session.tick(); }, Qt::QueuedConnection);
    connect(
        c.timerAutomat, &QTimer::timeout, this, [&session] { session.autoConnectTimerFired(); },
        Qt::QueuedConnection);
    connect(c.toolBtnLoadChip, &QToolButton::clicked, this,
            [this] { core_->bulk().loadFromReceiver(); });
    connect(c.toolBtnSaveChip, &QToolButton::clicked, this,
            [this] { core_->bulk().saveToReceiver(); });
    connect(c.toolBtnLoadFile, &QToolButton::clicked, this,
            [this] { core_->files().loadFromFile(); });
    connect(c.toolBtnSaveFile, &QToolButton::clicked, this,
            [this] { core_->files().saveToFile(); });
    connect(c.toolBtnScan, &QToolButton::clicked, this, [this] { core_->search().run(); });
    connect(c.toolBtnAutosave, &ToggleButton::toggledByUser, this,
            [this](bool on) { core_->setAutosave(on); });
    connect(c.menuRemoteLoadEprom, &QAction::triggered, this,
            [this] { core_->records().readRemoteRecord(core_->currentSlot()); });
    connect(c.menuRemoteSaveEprom, &QAction::triggered, this,
            [this] { core_->records().writeRemoteRecord(core_->currentSlot()); });
    for (QAction* undo : {mainMenu_.undo, c.toolButtonUndo})
        connect(undo, &QAction::triggered, this, [this] { core_->historyCommands().undo(); });
    for (QAction* redo : {mainMenu_.redo, c.toolButtonRedo})
        connect(redo, &QAction::triggered, this, [this] { core_->historyCommands().redo(); });
    // The identifier is the sheet's once the field is left, as a rename.
    c.idMemorySheetEdit->installEventFilter(this);
    c.popupMenuRemote->installEventFilter(this);
    c.popupMenuChannel->installEventFilter(this);
}

// "Kod PIN", the two copy locks and the reset behind its hidden panel.
void TMainForm::connectOptionsAndHelp() {
    optionsForm_ = new TOptionsForm(configuration_, texts_, *prompts_, *sound_, this);
    aboutForm_ = new TAboutForm(texts_, this);
    connect(mainMenu_.options, &QAction::triggered, this, &TMainForm::MenuOptionsClick);
    const std::array<std::pair<const char*, Manual>, 5> manuals{{
        {"MainMenuHelpSoft", kSoftwareManual},
        {"MainMenuHelpReciever", kReceiverManual},
        {"MainMenuHelpRecieverLumo", kLumoManual},
        {"MainMenuHelpInterface", kInterfaceManual},
        {"MainMenuHelpClone", kCloneToolManual},
    }};
    for (const auto& [name, manual] : manuals) {
        connect(findChild<QAction*>(QString::fromLatin1(name)), &QAction::triggered, this,
                [this, manual] { OpenManual(manual); });
    }
    connect(findChild<QAction*>(QStringLiteral("MainMenuUpdate")), &QAction::triggered, this,
            [this] {
                openUrl_(QUrl(toQString(updatePageAddress(
                    kUpdateHost, {kVersionMajor, kVersionMinor, kVersionPatch, kVersionBuild}))));
            });
    connect(findChild<QAction*>(QStringLiteral("MainMenuAbout")), &QAction::triggered, aboutForm_,
            &QDialog::exec);
}

void TMainForm::MenuOptionsClick() {
    centreOverParent(*optionsForm_);
    if (optionsForm_->exec() == QDialog::Accepted)
        core_->takeOptions();
    controls_.toolBtnAutosave->setPressed(optionsForm_->options().autosave);
}

void TMainForm::OpenManual(const Manual& manual) {
    const ManualLocation location = locateManual(
        dataFolders_, manual, languages_->current(), [](const std::filesystem::path& file) {
            std::error_code ignored;
            return std::filesystem::is_regular_file(file, ignored);
        });
    if (location.found && openUrl_(QUrl::fromLocalFile(toQString(location.path.string()))))
        return;
    prompts_->ask({.caption = texts_.text(Msg::HelpFileOpenErrorTitle),
                   .text = texts_.text(Msg::HelpFileNotFound) + location.path.string(),
                   .icon = PromptIcon::Error});
}

void TMainForm::connectEventLog() {
    const MainFormControls& c = controls_;
    EventLogView& events = core_->eventLog();
    connect(c.buttonZdarzeniaArchiwalne, &ToggleButton::toggledByUser, this,
            [&events](bool shown) { events.archiveToggled(shown); });
    connect(c.buttonScrollEvents, &ToggleButton::toggledByUser, this,
            [&events](bool follow) { events.followToggled(follow); });
    connect(c.timerLogFlash, &QTimer::timeout, this,
            [this, &events] { events.flashTick(eventGrid_->isLastRowVisible()); });
}

void TMainForm::showEventToggles() {
    controls_.buttonZdarzeniaArchiwalne->setPressed(core_->eventLog().isArchiveShown());
    controls_.buttonScrollEvents->setPressed(core_->eventLog().isFollowing());
}

void TMainForm::connectSecurityCommands() {
    const MainFormControls& c = controls_;
    ReceiverSecurity& security = core_->security();
    connect(c.buttonPin, &ToggleButton::toggledByUser, this, [&security] { security.changePin(); });
    connect(c.checkBoxGlobalnaBlokadaKopiowania, &ToggleButton::toggledByUser, this,
            [&security](bool pressed) { security.globalCopyLockClicked(pressed); });
    connect(c.checkBoxAdministracyjnaBlokadaKopiowania, &ToggleButton::toggledByUser, this,
            [&security](bool pressed) { security.adminCopyLockClicked(pressed); });
    connect(c.buttonReset, &QPushButton::clicked, this, [&security] { security.resetReceiver(); });
}

void TMainForm::connectPortList() {
    connect(controls_.comboBoxPorts, &QComboBox::currentIndexChanged, this, [this](int index) {
        core_->session().selectPort(index < 0 ? std::nullopt
                                              : std::optional(static_cast<std::size_t>(index)));
    });
}

// The marks, swap, delete, compaction, erase and rename, on the remote grid's current row.
void TMainForm::connectEditingCommands() {
    const MainFormControls& c = controls_;
    remoteGrid_->setSelection(&core_->selection());
    connect(remoteGrid_, &StringGridRemote::selectionChanged, this,
            &TMainForm::refreshClipboardCommands);
    connect(remoteGrid_, &StringGridRemote::rowContextMenuRequested, this,
            [this](int row, QPoint globalPos) {
                if (row == 0)
                    return;
                preparePopupMenu();
                controls_.popupMenuRemote->exec(globalPos);
            });
    const auto onRow = [this](void (SheetEditor::*command)(int)) {
        return [this, command] {
            (core_->editor().*command)(core_->selection().currentRow());
            repaintAfterCommand();
        };
    };
    const auto onSheet = [this](void (SheetEditor::*command)()) {
        return [this, command] {
            (core_->editor().*command)();
            repaintAfterCommand();
        };
    };
    connect(c.menuMark, &QAction::triggered, this, onRow(&SheetEditor::mark));
    connect(c.menuUnmark, &QAction::triggered, this, onRow(&SheetEditor::unmark));
    connect(c.menuMarkAll, &QAction::triggered, this, onSheet(&SheetEditor::markAll));
    connect(c.menuUnmarkAll, &QAction::triggered, this, onSheet(&SheetEditor::unmarkAll));
    connect(c.menuSwapMArked, &QAction::triggered, this, onSheet(&SheetEditor::invertMarks));
    connect(c.menuSwapItems, &QAction::triggered, this, onRow(&SheetEditor::swap));
    connect(c.menuRemoteDel, &QAction::triggered, this, onRow(&SheetEditor::deleteRemotes));
    connect(c.toolButtonRemoteDel, &QAction::triggered, this, onRow(&SheetEditor::deleteRemotes));
    connect(c.toolButtonReduction, &QToolButton::clicked, this, onSheet(&SheetEditor::compact));
    connect(c.toolButtonKasuj, &QToolButton::clicked, this, [this] {
        core_->editor().erase(controls_.toolBtnAutosave->isPressed());
        repaintAfterCommand();
    });
}

void TMainForm::connectClipboardCommands() {
    const MainFormControls& c = controls_;
    const auto run = [this](auto command) {
        return [this, command] {
            (core_->clipboard().*command)(core_->currentSlot());
            repaintAfterCommand();
        };
    };
    for (QAction* action : {mainMenu_.cut, c.menuCut, c.toolButtonCut})
        connect(action, &QAction::triggered, this, run(&ClipboardExchange::cut));
    for (QAction* action : {mainMenu_.copy, c.menuCopy, c.toolButtonCopy})
        connect(action, &QAction::triggered, this, run(&ClipboardExchange::copy));
    for (QAction* action : {mainMenu_.paste, c.menuPaste, c.toolButtonPaste})
        connect(action, &QAction::triggered, this, run(&ClipboardExchange::paste));
    connect(QApplication::clipboard(), &QClipboard::dataChanged, this,
            &TMainForm::refreshClipboardCommands);
    connect(qApp, &QApplication::focusChanged, this, &TMainForm::refreshClipboardCommands);
}

void TMainForm::refreshClipboardCommands() {
    const ClipboardCommands commands = core_->clipboard().mainMenuCommands(remoteGrid_->hasFocus());
    const auto show = [](QAction* menuItem, QAction* toolButton, bool enabled) {
        menuItem->setEnabled(enabled);
        toolButton->setEnabled(enabled);
    };
    show(mainMenu_.cut, controls_.toolButtonCut, commands.cut);
    show(mainMenu_.copy, controls_.toolButtonCopy, commands.copy);
    show(mainMenu_.paste, controls_.toolButtonPaste, commands.paste);
}

// Captions and enabled items follow the marks and the current row each time the menu opens.
void TMainForm::preparePopupMenu() {
    const MainFormControls& c = controls_;
    const RemotePopupMenu menu =
        prepareRemotePopupMenu(core_->sheet(),
                               {.currentRow = core_->selection().currentRow(),
                                .receiverConnected = link_.isRunning(),
                                .clipboardHoldsRemotes = clipboard_->offersPrivateBlock()},
                               texts_);
    c.menuSwapItems->setEnabled(menu.swapEnabled);
    enableIfFeatured(c.menuRemoteAdd, menu.addEnabled);
    c.menuRemoteEdit->setText(toQString(menu.editCaption));
    enableIfFeatured(c.menuRemoteEdit, menu.editEnabled);
    c.menuRemoteDel->setText(toQString(menu.deleteCaption));
    c.menuRemoteDel->setEnabled(menu.deleteEnabled);
    c.menuMark->setEnabled(menu.markEnabled);
    c.menuUnmark->setEnabled(menu.unmarkEnabled);
    const ClipboardCommands commands = core_->clipboard().popupMenuCommands();
    c.menuCut->setEnabled(commands.cut);
    c.menuCopy->setEnabled(commands.copy);
    c.menuPaste->setEnabled(menu.pasteEnabled);
    c.menuRemoteLoadEprom->setEnabled(link_.isRunning());
    c.menuRemoteSaveEprom->setEnabled(link_.isRunning());
    remoteGrid_->repaintCells();
}

void TMainForm::repaintAfterCommand() {
    surface_->repaintGrids();
    refreshClipboardCommands();
}

void TMainForm::buildLanguageMenu(std::vector<std::filesystem::path> dataFolders) {
    languages_ = std::make_unique<LanguageMenu>(LanguageCatalog(std::move(dataFolders)),
                                                configuration_.language());
    auto* group = new QActionGroup(languageMenu_);
    const std::vector<std::string>& items = languages_->items();
    for (std::size_t item = 0; item < items.size(); ++item) {
        QAction* action = languageMenu_->addAction(toQString(items[item]));
        action->setCheckable(true);
        group->addAction(action);
        connect(action, &QAction::triggered, this, [this, item] { chooseLanguage(item); });
    }
    languageMenu_->setEnabled(languages_->isEnabled());
    showCheckedLanguage();
}

void TMainForm::showCheckedLanguage() {
    const QList<QAction*> items = languageMenu_->actions();
    const std::optional<std::size_t> checked = languages_->checkedItem();
    for (qsizetype item = 0; item < items.size(); ++item)
        items[item]->setChecked(checked && static_cast<std::size_t>(item) == *checked);
}

void TMainForm::chooseLanguage(std::size_t item) {
    const bool changed = languages_->choose(item, texts_);
    configuration_.setLanguage(languages_->current());
    showCheckedLanguage();
    if (changed)
        languageApplied();
}

// Qt's own texts follow, and every window hears of the change and shows its texts again.
void TMainForm::languageApplied() {
    qtTranslations_.use(localeForLanguage(languages_->current()));
    QEvent change(QEvent::LanguageChange);
    QCoreApplication::sendEvent(qApp, &change);
}

void TMainForm::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::LanguageChange || !core_)
        return;
    applyControlTexts(*this, kWindowClass, texts_);
    core_->languageChanged();
    refreshClipboardCommands();
    surface_->repaintGrids();
}

bool TMainForm::event(QEvent* event) {
    if (event->type() == QEvent::StatusTip) {
        showStatusTip(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return QMainWindow::event(event);
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
    // A pop-up menu is a window of its own, so its items' tips stop there unless passed on.
    if (event->type() == QEvent::StatusTip &&
        (watched == controls_.popupMenuRemote || watched == controls_.popupMenuChannel)) {
        showStatusTip(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    if (watched == controls_.idMemorySheetEdit) {
        const std::string text = controls_.idMemorySheetEdit->text().toStdString();
        if (event->type() == QEvent::FocusIn)
            core_->editor().identifierFocused(text);
        else if (event->type() == QEvent::FocusOut)
            core_->editor().identifierLeft(text);
    }
    return QMainWindow::eventFilter(watched, event);
}

// --- start and end ---

void TMainForm::restoreWindow() {
    const int page = configuration_.startPage();
    if (page == kSheetPage || page == kEventsPage)
        controls_.pageControl->setCurrentIndex(page);
    const WindowBounds bounds = configuration_.windowBounds();
    if (bounds.left >= 0)
        move(bounds.left, y());
    if (bounds.top >= 0)
        move(x(), bounds.top);
    if (bounds.width >= 0)
        resize(bounds.width, height());
    if (bounds.height >= 0)
        resize(width(), bounds.height);
    if (configuration_.maximised())
        setWindowState(windowState() | Qt::WindowMaximized);
}

void TMainForm::saveWindow() {
    configuration_.setStartPage(controls_.pageControl->currentIndex());
    configuration_.setMaximised(isMaximized());
    // A maximised window keeps its last normal bounds in the file.
    if (!isMaximized())
        configuration_.setWindowBounds(
            {.left = x(), .top = y(), .width = width(), .height = height()});
}

void TMainForm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!shown_) {
        shown_ = true;
        firstShowing();
    }
}

void TMainForm::firstShowing() {
    if (languages_->applyAtStart(texts_))
        languageApplied();
    core_->session().enableReceiverControls(false);
    core_->eventLog().firstShowing();
    showEventToggles();
    controls_.timerAutomat->start();
    if (!commandLine_.settingsFile.isEmpty())
        core_->files().loadNamedFile(commandLine_.settingsFile.toStdString());
}

void TMainForm::closeEvent(QCloseEvent* event) {
    if (!floatingRemote_->mainWindowMayClose() || !core_->session().closeQuery()) {
        event->ignore();
        return;
    }
    floatingRemote_->mainWindowClosing();
    saveWindow();
    configuration_.save();
    core_->session().closing();
    event->accept();
}

} // namespace konfigor
