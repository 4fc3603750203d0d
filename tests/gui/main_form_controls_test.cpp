#include "gui/control_texts.h"
#include "gui/main_form_controls.h"
#include "gui/widgets/toggle_button.h"
#include "texts/text_lines.h"
#include "texts/text_table.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QToolBar>
#include <gtest/gtest.h>

namespace konfigor {
namespace {

std::optional<QString> builtInCaption(std::string_view control) {
    for (const ControlLine& line : controlLines()) {
        if (line.windowClass == "TMainForm" && line.control == control &&
            line.property == ControlProperty::Caption)
            return QString::fromUtf8(line.builtIn.data(),
                                     static_cast<qsizetype>(line.builtIn.size()));
    }
    return std::nullopt;
}

QString captionOf(const QObject& control) {
    if (auto* button = qobject_cast<const QAbstractButton*>(&control))
        return button->text();
    if (auto* label = qobject_cast<const QLabel*>(&control))
        return label->text();
    if (auto* group = qobject_cast<const QGroupBox*>(&control))
        return group->title();
    if (auto* action = qobject_cast<const QAction*>(&control))
        return action->text();
    if (auto* page = qobject_cast<const QWidget*>(&control)) {
        auto* tabs = page->parentWidget()
                         ? qobject_cast<QTabWidget*>(page->parentWidget()->parentWidget())
                         : nullptr;
        if (tabs)
            return tabs->tabText(tabs->indexOf(const_cast<QWidget*>(page)));
    }
    return {};
}

class MainFormControlsTest : public testing::Test {
protected:
    MainFormControlsTest() {
        window.resize(791, 704);
        controls = buildMainFormControls(window, {remoteGrid, channelGrid, logsGrid});
        applyControlTexts(window, "TMainForm", texts);
    }

    QMainWindow window;
    QWidget* remoteGrid = new QWidget;
    QWidget* channelGrid = new QWidget;
    QWidget* logsGrid = new QWidget;
    MainFormControls controls;
    TextTable texts;
};

TEST_F(MainFormControlsTest, EveryControlExistsWithItsClassAndCaption) {
    const struct {
        const char* name;
        const char* className;
    } cases[] = {
        {"ToolBar", "QToolBar"},
        {"ToolButtonCut", "QAction"},
        {"ToolButtonCopy", "QAction"},
        {"ToolButtonPaste", "QAction"},
        {"ToolButtonUndo", "QAction"},
        {"ToolButtonRedo", "QAction"},
        {"DataoperationsLabel", "QLabel"},
        {"ReadLabel", "QLabel"},
        {"ToolBtnLoadFile", "QToolButton"},
        {"ToolBtnLoadChip", "QToolButton"},
        {"WriteLabel", "QLabel"},
        {"ToolBtnSaveFile", "QToolButton"},
        {"ToolBtnSaveChip", "QToolButton"},
        {"ToolBtnAutosave", "konfigor::ToggleButton"},
        {"LabelOthers", "QLabel"},
        {"ToolBtnScan", "QToolButton"},
        {"ToolButtonReduction", "QToolButton"},
        {"ToolButtonKasuj", "QToolButton"},
        {"LabelVirtualRemote", "QLabel"},
        {"ButtonRemote1", "QPushButton"},
        {"ButtonRemote2", "QPushButton"},
        {"ButtonRemote3", "QPushButton"},
        {"ButtonRemote4", "QPushButton"},
        {"RemoteSettingsButton", "QPushButton"},
        {"ButtonRemoteShow", "konfigor::ToggleButton"},
        {"Label1", "QLabel"},
        {"ButtonPin", "konfigor::ToggleButton"},
        {"CheckBoxGlobalnaBlokadaKopiowania", "konfigor::ToggleButton"},
        {"CheckBoxAdministracyjnaBlokadaKopiowania", "konfigor::ToggleButton"},
        {"PortsLabel", "QLabel"},
        {"ComboBoxPorts", "QComboBox"},
        {"ButtonConnect", "QPushButton"},
        {"PanelMisc", "QFrame"},
        {"Label2", "QLabel"},
        {"ButtonReset", "QPushButton"},
        {"IdSheetMemoryPanel", "QFrame"},
        {"IdMemorySheetLabel", "QLabel"},
        {"IdMemorySheetEdit", "QLineEdit"},
        {"PageControl", "QTabWidget"},
        {"TabSheetMemory", "QWidget"},
        {"LabelRemotes", "QGroupBox"},
        {"StringGridRemote", "QWidget"},
        {"ToolBarRemotes", "QToolBar"},
        {"ToolButtonRemoteAdd", "QAction"},
        {"ToolButtonRemoteEdit", "QAction"},
        {"ToolButtonRemoteDel", "QAction"},
        {"LabelChannels", "QGroupBox"},
        {"StringGridChannels", "QWidget"},
        {"ToolBarChannels", "QToolBar"},
        {"ToolButtonChannelEdit", "QAction"},
        {"TabSheetLogs", "QWidget"},
        {"ButtonZdarzeniaArchiwalne", "konfigor::ToggleButton"},
        {"ButtonScrollEvents", "konfigor::ToggleButton"},
        {"StringGridLogs", "QWidget"},
        {"PopupMenuRemote", "QMenu"},
        {"MenuRemoteAdd", "QAction"},
        {"MenuRemoteEdit", "QAction"},
        {"MenuRemoteDel", "QAction"},
        {"MenuCut", "QAction"},
        {"MenuCopy", "QAction"},
        {"MenuPaste", "QAction"},
        {"MenuMark", "QAction"},
        {"MenuUnmark", "QAction"},
        {"MenuMarkAll", "QAction"},
        {"MenuUnmarkAll", "QAction"},
        {"MenuSwapMArked", "QAction"},
        {"MenuSwapItems", "QAction"},
        {"MenuRemoteLoadEprom", "QAction"},
        {"MenuRemoteSaveEprom", "QAction"},
        {"PopupMenuChannel", "QMenu"},
        {"MenuChannelEdit", "QAction"},
        {"TimerKvr", "QTimer"},
        {"TimerAutomat", "QTimer"},
        {"TimerLogFlash", "QTimer"},
    };
    for (const auto& [name, className] : cases) {
        SCOPED_TRACE(name);
        const auto found = window.findChildren<QObject*>(QString::fromLatin1(name));
        ASSERT_EQ(found.size(), 1);
        EXPECT_TRUE(found.front()->inherits(className)) << found.front()->metaObject()->className();
        if (const auto caption = builtInCaption(name); caption && !caption->isEmpty()) {
            EXPECT_EQ(captionOf(*found.front()), *caption);
        }
    }
    EXPECT_EQ(controls.toolBtnLoadChip->text(), QStringLiteral("Ładuj z odbiornika"));
    EXPECT_EQ(controls.buttonConnect->text(), QStringLiteral("Połącz"));
    EXPECT_EQ(controls.pageControl->tabText(1), QStringLiteral("Zdarzenia"));
}

TEST_F(MainFormControlsTest, StartStateAndGeometry) {
    window.show();
    EXPECT_FALSE(controls.panelMisc->isVisible());
    EXPECT_TRUE(controls.comboBoxPorts->isVisible());
    EXPECT_GE(controls.leftColumn->width(), kLeftColumnWidth)
        << "grows to its captions, never below";
    EXPECT_EQ(controls.idMemorySheetEdit->maxLength(), 255);
    EXPECT_TRUE(controls.buttonZdarzeniaArchiwalne->isPressed());
    EXPECT_TRUE(controls.buttonScrollEvents->isPressed());
    EXPECT_EQ(window.centralWidget(), controls.leftColumn->parentWidget());
    EXPECT_TRUE(controls.labelRemotes->isAncestorOf(remoteGrid));
    EXPECT_TRUE(controls.labelChannels->isAncestorOf(channelGrid));

    const struct {
        QTimer* timer;
        int interval;
        bool singleShot;
    } timers[] = {{controls.timerKvr, 333, false},
                  {controls.timerAutomat, 1, true},
                  {controls.timerLogFlash, 500, false}};
    for (const auto& [timer, interval, singleShot] : timers) {
        SCOPED_TRACE(timer->objectName().toStdString());
        EXPECT_EQ(timer->interval(), interval);
        EXPECT_EQ(timer->isSingleShot(), singleShot);
        EXPECT_FALSE(timer->isActive());
    }
}

TEST_F(MainFormControlsTest, IdentifierFieldFollowsItsLabelAndFillsThePanel) {
    window.show();
    const QWidget* label = controls.idMemorySheetLabel;
    const QWidget* field = controls.idMemorySheetEdit;
    const int margin = label->x();
    EXPECT_GT(margin, 0);
    EXPECT_EQ(field->x(), label->width() + 2 * margin);
    EXPECT_EQ(field->geometry().right() + 1, controls.idSheetMemoryPanel->width() - margin);
}

TEST_F(MainFormControlsTest, EnterInThePortListClicksConnect) {
    window.show();
    int clicks = 0;
    QObject::connect(controls.buttonConnect, &QPushButton::clicked, [&clicks] { ++clicks; });
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(controls.comboBoxPorts, &enter);
    EXPECT_EQ(clicks, 1);

    controls.buttonConnect->setEnabled(false);
    QCoreApplication::sendEvent(controls.comboBoxPorts, &enter);
    EXPECT_EQ(clicks, 1);
}

} // namespace
} // namespace konfigor
