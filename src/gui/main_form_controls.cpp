#include "gui/main_form_controls.h"

#include "gui/widgets/edit_icons.h"
#include "gui/widgets/toggle_button.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QPushButton>
#include <QStyle>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace konfigor {
namespace {

constexpr int kPanelMargin = 4;
constexpr int kTimerKvrMs = 333;
constexpr int kTimerLogFlashMs = 500;

// Theme icons where the desktop has them, else the style's own.
QIcon icon(const char* themeName, QStyle::StandardPixmap fallback) {
    return QIcon::fromTheme(QString::fromLatin1(themeName),
                            QApplication::style()->standardIcon(fallback));
}

template <class Widget>
Widget* named(Widget* widget, const char* objectName) {
    widget->setObjectName(QString::fromLatin1(objectName));
    return widget;
}

// Enter in the port list connects, as if the connect button were the dialog default there.
class DefaultButtonWhileFocused : public QObject {
public:
    DefaultButtonWhileFocused(QWidget* field, QPushButton* button)
        : QObject(field), button_(button) {
        field->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
        case QEvent::FocusIn:
        case QEvent::FocusOut:
            button_->setDefault(event->type() == QEvent::FocusIn);
            break;
        case QEvent::KeyPress: {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                if (button_->isEnabled())
                    button_->click();
                return true;
            }
            break;
        }
        default:
            break;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QPushButton* button_;
};

QLabel* heading(QWidget* parent, const char* objectName) {
    auto* label = named(new QLabel(parent), objectName);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

QFrame* panel(QWidget* parent, QVBoxLayout*& layout) {
    auto* frame = new QFrame(parent);
    frame->setFrameShape(QFrame::StyledPanel);
    layout = new QVBoxLayout(frame);
    layout->setContentsMargins(kPanelMargin, kPanelMargin, kPanelMargin, kPanelMargin);
    layout->setSpacing(2);
    return frame;
}

template <class Button>
Button* columnButton(Button* button, const char* objectName, const QIcon& buttonIcon) {
    named(button, objectName);
    button->setIcon(buttonIcon);
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setAutoRaise(true);
    button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    return button;
}

QToolButton* toolButton(QWidget* parent, const char* objectName, const QIcon& buttonIcon) {
    return columnButton(new QToolButton(parent), objectName, buttonIcon);
}

ToggleButton* toggle(QWidget* parent, const char* objectName, const QIcon& buttonIcon) {
    auto* button = columnButton(new ToggleButton(parent), objectName, buttonIcon);
    button->setAutoRaise(false);
    return button;
}

QAction* action(QWidget* owner, const char* objectName, const QIcon& actionIcon = {}) {
    auto* created = named(new QAction(actionIcon, QString(), owner), objectName);
    owner->addAction(created);
    return created;
}

QTimer* timer(QObject* owner, const char* objectName, int intervalMs, bool singleShot = false) {
    auto* created = named(new QTimer(owner), objectName);
    created->setInterval(intervalMs);
    created->setSingleShot(singleShot);
    return created;
}

void buildToolBar(QMainWindow& window, MainFormControls& c) {
    c.toolBar = named(new QToolBar(&window), "ToolBar");
    c.toolBar->setMovable(false);
    c.toolButtonCut = action(c.toolBar, "ToolButtonCut", editIcon(EditIcon::Cut));
    c.toolButtonCopy = action(c.toolBar, "ToolButtonCopy", editIcon(EditIcon::Copy));
    c.toolButtonPaste = action(c.toolBar, "ToolButtonPaste", editIcon(EditIcon::Paste));
    c.toolBar->addSeparator();
    c.toolButtonUndo = action(c.toolBar, "ToolButtonUndo", editIcon(EditIcon::Undo));
    c.toolButtonRedo = action(c.toolBar, "ToolButtonRedo", editIcon(EditIcon::Redo));
    window.addToolBar(Qt::TopToolBarArea, c.toolBar);
}

QFrame* buildDataOperations(QWidget* column, MainFormControls& c) {
    QVBoxLayout* layout = nullptr;
    QFrame* frame = panel(column, layout);
    c.dataoperationsLabel = heading(frame, "DataoperationsLabel");
    c.readLabel = named(new QLabel(frame), "ReadLabel");
    c.toolBtnLoadFile =
        toolButton(frame, "ToolBtnLoadFile", icon("document-open", QStyle::SP_DialogOpenButton));
    c.toolBtnLoadChip = toolButton(frame, "ToolBtnLoadChip", icon("go-down", QStyle::SP_ArrowDown));
    c.writeLabel = named(new QLabel(frame), "WriteLabel");
    c.toolBtnSaveFile =
        toolButton(frame, "ToolBtnSaveFile", icon("document-save", QStyle::SP_DialogSaveButton));
    c.toolBtnSaveChip = toolButton(frame, "ToolBtnSaveChip", icon("go-up", QStyle::SP_ArrowUp));
    c.toolBtnAutosave =
        toggle(frame, "ToolBtnAutosave", icon("view-refresh", QStyle::SP_BrowserReload));
    c.labelOthers = named(new QLabel(frame), "LabelOthers");
    c.toolBtnScan =
        toolButton(frame, "ToolBtnScan", icon("edit-find", QStyle::SP_FileDialogContentsView));
    c.toolButtonReduction =
        toolButton(frame, "ToolButtonReduction", icon("format-justify-fill", QStyle::SP_ArrowUp));
    c.toolButtonKasuj =
        toolButton(frame, "ToolButtonKasuj", icon("edit-clear", QStyle::SP_TrashIcon));
    for (QWidget* widget : std::initializer_list<QWidget*>{
             c.dataoperationsLabel, c.readLabel, c.toolBtnLoadFile, c.toolBtnLoadChip, c.writeLabel,
             c.toolBtnSaveFile, c.toolBtnSaveChip, c.toolBtnAutosave, c.labelOthers, c.toolBtnScan,
             c.toolButtonReduction, c.toolButtonKasuj})
        layout->addWidget(widget);
    return frame;
}

QFrame* buildVirtualRemote(QWidget* column, MainFormControls& c) {
    QVBoxLayout* layout = nullptr;
    QFrame* frame = panel(column, layout);
    c.labelVirtualRemote = heading(frame, "LabelVirtualRemote");
    layout->addWidget(c.labelVirtualRemote);
    auto* buttons = new QHBoxLayout;
    constexpr std::array<const char*, 4> names{"ButtonRemote1", "ButtonRemote2", "ButtonRemote3",
                                               "ButtonRemote4"};
    for (std::size_t i = 0; i < names.size(); ++i) {
        c.buttonRemote[i] = named(new QPushButton(frame), names[i]);
        buttons->addWidget(c.buttonRemote[i]);
    }
    layout->addLayout(buttons);
    auto* settings = new QHBoxLayout;
    c.remoteSettingsButton = named(new QPushButton(frame), "RemoteSettingsButton");
    c.remoteSettingsButton->setIcon(icon("configure", QStyle::SP_FileDialogDetailedView));
    c.buttonRemoteShow = named(new ToggleButton(frame), "ButtonRemoteShow");
    c.buttonRemoteShow->setIcon(icon("window-new", QStyle::SP_TitleBarNormalButton));
    settings->addWidget(c.remoteSettingsButton, 1);
    settings->addWidget(c.buttonRemoteShow);
    layout->addLayout(settings);
    return frame;
}

QFrame* buildSecurity(QWidget* column, MainFormControls& c) {
    QVBoxLayout* layout = nullptr;
    QFrame* frame = panel(column, layout);
    c.label1 = heading(frame, "Label1");
    c.buttonPin = toggle(frame, "ButtonPin", icon("dialog-password", QStyle::SP_MessageBoxWarning));
    c.checkBoxGlobalnaBlokadaKopiowania = toggle(frame, "CheckBoxGlobalnaBlokadaKopiowania",
                                                 icon("object-locked", QStyle::SP_DialogNoButton));
    c.checkBoxAdministracyjnaBlokadaKopiowania =
        toggle(frame, "CheckBoxAdministracyjnaBlokadaKopiowania",
               icon("object-locked", QStyle::SP_DialogNoButton));
    for (QWidget* widget :
         std::initializer_list<QWidget*>{c.label1, c.buttonPin, c.checkBoxGlobalnaBlokadaKopiowania,
                                         c.checkBoxAdministracyjnaBlokadaKopiowania})
        layout->addWidget(widget);
    return frame;
}

QFrame* buildPorts(QWidget* column, MainFormControls& c) {
    QVBoxLayout* layout = nullptr;
    QFrame* frame = panel(column, layout);
    c.portsLabel = heading(frame, "PortsLabel");
    c.comboBoxPorts = named(new QComboBox(frame), "ComboBoxPorts");
    c.comboBoxPorts->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    c.buttonConnect = named(new QPushButton(frame), "ButtonConnect");
    c.buttonConnect->setIcon(icon("network-connect", QStyle::SP_DriveNetIcon));
    new DefaultButtonWhileFocused(c.comboBoxPorts, c.buttonConnect);
    layout->addWidget(c.portsLabel);
    layout->addWidget(c.comboBoxPorts);
    layout->addWidget(c.buttonConnect);
    return frame;
}

QFrame* buildMisc(QWidget* column, MainFormControls& c) {
    QVBoxLayout* layout = nullptr;
    c.panelMisc = named(panel(column, layout), "PanelMisc");
    c.label2 = heading(c.panelMisc, "Label2");
    c.buttonReset = named(new QPushButton(c.panelMisc), "ButtonReset");
    layout->addWidget(c.label2);
    layout->addWidget(c.buttonReset);
    c.panelMisc->hide();
    return c.panelMisc;
}

QWidget* buildLeftColumn(QWidget* parent, MainFormControls& c) {
    c.leftColumn = new QWidget(parent);
    // As wide as its widest caption in the user's font, never narrower than designed.
    c.leftColumn->setMinimumWidth(kLeftColumnWidth);
    c.leftColumn->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    auto* layout = new QVBoxLayout(c.leftColumn);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(buildDataOperations(c.leftColumn, c));
    layout->addWidget(buildVirtualRemote(c.leftColumn, c));
    layout->addWidget(buildSecurity(c.leftColumn, c));
    layout->addWidget(buildPorts(c.leftColumn, c));
    layout->addWidget(buildMisc(c.leftColumn, c));
    layout->addStretch();
    return c.leftColumn;
}

// The field sits right of its label at the label's width plus twice the margin and fills the
// rest less the margin: exactly what a box layout with that margin and spacing does.
QFrame* buildIdentifierPanel(QWidget* parent, MainFormControls& c) {
    c.idSheetMemoryPanel = named(new QFrame(parent), "IdSheetMemoryPanel");
    c.idSheetMemoryPanel->setFrameShape(QFrame::StyledPanel);
    auto* layout = new QHBoxLayout(c.idSheetMemoryPanel);
    layout->setContentsMargins(kPanelMargin, kPanelMargin, kPanelMargin, kPanelMargin);
    // The label's left margin includes the frame; the gap after it is that margin again.
    layout->setSpacing(kPanelMargin + c.idSheetMemoryPanel->frameWidth());
    c.idMemorySheetLabel = named(new QLabel(c.idSheetMemoryPanel), "IdMemorySheetLabel");
    c.idMemorySheetEdit = named(new QLineEdit(c.idSheetMemoryPanel), "IdMemorySheetEdit");
    c.idMemorySheetEdit->setMaxLength(kIdMemorySheetMaxLength);
    layout->addWidget(c.idMemorySheetLabel);
    layout->addWidget(c.idMemorySheetEdit, 1);
    return c.idSheetMemoryPanel;
}

QGroupBox* gridGroup(QWidget* parent, const char* objectName, QToolBar* toolBar, QWidget* grid) {
    auto* group = named(new QGroupBox(parent), objectName);
    auto* layout = new QVBoxLayout(group);
    layout->addWidget(toolBar);
    grid->setParent(group);
    layout->addWidget(grid, 1);
    return group;
}

QWidget* buildMemoryTab(QWidget* parent, MainFormControls& c, QWidget* remoteGrid,
                        QWidget* channelGrid) {
    c.tabSheetMemory = named(new QWidget(parent), "TabSheetMemory");
    c.stringGridRemote = named(remoteGrid, "StringGridRemote");
    c.stringGridChannels = named(channelGrid, "StringGridChannels");

    c.toolBarRemotes = named(new QToolBar(c.tabSheetMemory), "ToolBarRemotes");
    c.toolButtonRemoteAdd =
        action(c.toolBarRemotes, "ToolButtonRemoteAdd", icon("list-add", QStyle::SP_FileIcon));
    c.toolButtonRemoteEdit = action(c.toolBarRemotes, "ToolButtonRemoteEdit",
                                    icon("document-edit", QStyle::SP_FileDialogDetailedView));
    c.toolButtonRemoteDel =
        action(c.toolBarRemotes, "ToolButtonRemoteDel", icon("list-remove", QStyle::SP_TrashIcon));
    c.labelRemotes = gridGroup(c.tabSheetMemory, "LabelRemotes", c.toolBarRemotes, remoteGrid);

    c.toolBarChannels = named(new QToolBar(c.tabSheetMemory), "ToolBarChannels");
    c.toolButtonChannelEdit = action(c.toolBarChannels, "ToolButtonChannelEdit",
                                     icon("document-edit", QStyle::SP_FileDialogDetailedView));
    c.labelChannels = gridGroup(c.tabSheetMemory, "LabelChannels", c.toolBarChannels, channelGrid);

    auto* layout = new QVBoxLayout(c.tabSheetMemory);
    layout->addWidget(c.labelRemotes, 1);
    layout->addWidget(c.labelChannels);
    return c.tabSheetMemory;
}

QWidget* buildLogsTab(QWidget* parent, MainFormControls& c, QWidget* eventGrid) {
    c.tabSheetLogs = named(new QWidget(parent), "TabSheetLogs");
    auto* bar = new QHBoxLayout;
    c.buttonZdarzeniaArchiwalne =
        toggle(c.tabSheetLogs, "ButtonZdarzeniaArchiwalne",
               icon("document-open-recent", QStyle::SP_FileDialogListView));
    c.buttonScrollEvents =
        toggle(c.tabSheetLogs, "ButtonScrollEvents", icon("go-bottom", QStyle::SP_ArrowDown));
    c.buttonZdarzeniaArchiwalne->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    c.buttonScrollEvents->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    c.buttonZdarzeniaArchiwalne->setPressed(true);
    c.buttonScrollEvents->setPressed(true);
    bar->addWidget(c.buttonZdarzeniaArchiwalne);
    bar->addWidget(c.buttonScrollEvents);
    bar->addStretch();
    c.stringGridLogs = named(eventGrid, "StringGridLogs");
    eventGrid->setParent(c.tabSheetLogs);
    auto* layout = new QVBoxLayout(c.tabSheetLogs);
    layout->addLayout(bar);
    layout->addWidget(c.stringGridLogs, 1);
    return c.tabSheetLogs;
}

QWidget* buildMainArea(QWidget* parent, MainFormControls& c, const MainFormGrids& grids) {
    auto* area = new QWidget(parent);
    auto* layout = new QVBoxLayout(area);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(buildIdentifierPanel(area, c));
    c.pageControl = named(new QTabWidget(area), "PageControl");
    // Tab texts come with the captions of the pages.
    c.pageControl->addTab(buildMemoryTab(c.pageControl, c, grids.remotes, grids.channels),
                          QString());
    c.pageControl->addTab(buildLogsTab(c.pageControl, c, grids.events), QString());
    layout->addWidget(c.pageControl, 1);
    return area;
}

void buildPopupMenus(QMainWindow& window, MainFormControls& c, QWidget* remoteGrid) {
    c.popupMenuRemote = named(new QMenu(&window), "PopupMenuRemote");
    QMenu* remote = c.popupMenuRemote;
    c.menuRemoteAdd = action(remote, "MenuRemoteAdd");
    c.menuRemoteEdit = action(remote, "MenuRemoteEdit");
    c.menuRemoteDel = action(remote, "MenuRemoteDel");
    remote->addSeparator();
    c.menuCut = action(remote, "MenuCut", editIcon(EditIcon::Cut));
    c.menuCopy = action(remote, "MenuCopy", editIcon(EditIcon::Copy));
    c.menuPaste = action(remote, "MenuPaste", editIcon(EditIcon::Paste));
    remote->addSeparator();
    c.menuMark = action(remote, "MenuMark");
    c.menuUnmark = action(remote, "MenuUnmark");
    c.menuMarkAll = action(remote, "MenuMarkAll");
    c.menuUnmarkAll = action(remote, "MenuUnmarkAll");
    c.menuSwapMArked = action(remote, "MenuSwapMArked");
    c.menuSwapItems = action(remote, "MenuSwapItems");
    remote->addSeparator();
    c.menuRemoteLoadEprom = action(remote, "MenuRemoteLoadEprom");
    c.menuRemoteSaveEprom = action(remote, "MenuRemoteSaveEprom");

    // The marking shortcuts act on the grid they mark, not on the whole window.
    const std::array<std::pair<QAction*, QKeySequence>, 3> shortcuts{{
        {c.menuMarkAll, QKeySequence(Qt::CTRL | Qt::Key_A)},
        {c.menuUnmarkAll, QKeySequence(Qt::CTRL | Qt::Key_D)},
        {c.menuSwapMArked, QKeySequence(Qt::CTRL | Qt::Key_I)},
    }};
    for (const auto& [marking, keys] : shortcuts) {
        marking->setShortcut(keys);
        marking->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        remoteGrid->addAction(marking);
    }

    c.popupMenuChannel = named(new QMenu(&window), "PopupMenuChannel");
    c.menuChannelEdit = action(c.popupMenuChannel, "MenuChannelEdit");
}

void buildTimers(QMainWindow& window, MainFormControls& c) {
    c.timerKvr = timer(&window, "TimerKvr", kTimerKvrMs);
    c.timerAutomat = timer(&window, "TimerAutomat", 1, true);
    c.timerLogFlash = timer(&window, "TimerLogFlash", kTimerLogFlashMs);
}

} // namespace

MainFormControls buildMainFormControls(QMainWindow& window, const MainFormGrids& grids) {
    MainFormControls c;
    buildToolBar(window, c);

    auto* central = new QWidget(&window);
    auto* layout = new QHBoxLayout(central);
    layout->addWidget(buildLeftColumn(central, c));
    layout->addWidget(buildMainArea(central, c, grids), 1);
    window.setCentralWidget(central);

    buildPopupMenus(window, c, grids.remotes);
    buildTimers(window, c);
    return c;
}

} // namespace konfigor
