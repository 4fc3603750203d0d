#include "gui/main_form.h"
#include "gui/message_box_prompts.h"
#include "gui/settings_file_dialogs.h"
#include "texts/text_lines.h"

#include <functional>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

namespace konfigor {
namespace {

QString builtInCaption(std::string_view control) {
    for (const ControlLine& line : controlLines()) {
        if (line.windowClass == "TMainForm" && line.control == control &&
            line.property == ControlProperty::Caption)
            return QString::fromUtf8(line.builtIn.data(),
                                     static_cast<qsizetype>(line.builtIn.size()));
    }
    return {};
}

// Calls `inspect` on the modal dialog once its own event loop runs, then rejects it.
void whenModalShows(const std::function<void(QDialog&)>& inspect) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, inspect] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        poll->stop();
        poll->deleteLater();
        inspect(*dialog);
        dialog->reject();
    });
    poll->start(10);
}

QString withoutMnemonic(QString text) {
    return text.remove(QLatin1Char('&'));
}

QImage pictureOf(const QIcon& icon) {
    return icon.pixmap(16, 16).toImage();
}

class MainFormTest : public testing::Test {
protected:
    TMainForm form{CommandLine{}};
};

TEST_F(MainFormTest, QtsOwnButtonsReadPolish) {
    MessageBoxPrompts prompts(&form);
    QStringList buttons;
    whenModalShows([&buttons](QDialog& dialog) {
        auto& box = dynamic_cast<QMessageBox&>(dialog);
        for (const auto button : {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel})
            buttons << withoutMnemonic(box.button(button)->text());
    });
    prompts.ask({.caption = "Konfigor USB",
                 .text = "Zapisać zmiany?",
                 .buttons = PromptButtons::YesNoCancel,
                 .defaultAnswer = PromptAnswer::Yes,
                 .icon = PromptIcon::Question});
    EXPECT_EQ(buttons.join(QLatin1Char('|')).toStdString(), "Tak|Nie|Anuluj");
}

TEST_F(MainFormTest, TheSaveDialogIsQtsOwnAndReadsPolish) {
    SettingsFileDialogs dialogs(&form);
    QTemporaryDir folder;
    QString accept;
    QString cancel;
    bool native = true;
    whenModalShows([&](QDialog& dialog) {
        auto& files = dynamic_cast<QFileDialog&>(dialog);
        native = !files.testOption(QFileDialog::DontUseNativeDialog);
        auto* box = files.findChild<QDialogButtonBox*>();
        ASSERT_NE(box, nullptr);
        for (QAbstractButton* button : box->buttons()) {
            if (box->buttonRole(button) == QDialogButtonBox::AcceptRole)
                accept = withoutMnemonic(button->text());
            else if (box->buttonRole(button) == QDialogButtonBox::RejectRole)
                cancel = withoutMnemonic(button->text());
        }
    });
    EXPECT_FALSE(dialogs.chooseFileToSave(folder.path().toStdString(), "brama.kvr"));
    EXPECT_FALSE(native);
    EXPECT_EQ(accept.toStdString(), "Zachowaj");
    EXPECT_EQ(cancel.toStdString(), "Anuluj");
}

TEST_F(MainFormTest, StatusTipsShowInTheOperationPanel) {
    form.setStatusPanel(1, QStringLiteral("Cofnięto"));
    const struct {
        const char* name;
        QObject* receiver;
    } cases[] = {
        {"a button of the left column", form.controls().toolBtnLoadChip},
        {"a pop-up menu, a window of its own", form.controls().popupMenuRemote},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QStatusTipEvent tip(QStringLiteral("Wczytuje nastawy"));
        QApplication::sendEvent(c.receiver, &tip);
        EXPECT_EQ(form.statusPanel(1).toStdString(), "Wczytuje nastawy");
        EXPECT_TRUE(form.statusBar()->currentMessage().isEmpty());

        QStatusTipEvent gone{QString()};
        QApplication::sendEvent(c.receiver, &gone);
        EXPECT_EQ(form.statusPanel(1).toStdString(), "Cofnięto") << "what the tip covered";
    }

    QStatusTipEvent tip(QStringLiteral("Wczytuje nastawy"));
    QApplication::sendEvent(form.controls().toolBtnLoadChip, &tip);
    form.setStatusPanel(1, QStringLiteral("Ponowiono"));
    QStatusTipEvent gone{QString()};
    QApplication::sendEvent(form.controls().toolBtnLoadChip, &gone);
    EXPECT_EQ(form.statusPanel(1).toStdString(), "Ponowiono") << "an outcome outlives the tip";
}

TEST_F(MainFormTest, EditingCommandsShowOnePictureEachInMenusAndToolbar) {
    const MainFormControls& c = form.controls();
    const struct {
        const char* name;
        std::vector<QAction*> places;
    } commands[] = {
        {"cut", {form.mainMenu().cut, c.menuCut, c.toolButtonCut}},
        {"copy", {form.mainMenu().copy, c.menuCopy, c.toolButtonCopy}},
        {"paste", {form.mainMenu().paste, c.menuPaste, c.toolButtonPaste}},
        {"undo", {form.mainMenu().undo, c.toolButtonUndo}},
        {"redo", {form.mainMenu().redo, c.toolButtonRedo}},
    };
    std::vector<QImage> pictures;
    for (const auto& command : commands) {
        SCOPED_TRACE(command.name);
        const QImage picture = pictureOf(command.places.front()->icon());
        EXPECT_FALSE(picture.isNull());
        for (const QAction* place : command.places)
            EXPECT_EQ(pictureOf(place->icon()), picture) << place->objectName().toStdString();
        for (const QImage& other : pictures)
            EXPECT_NE(picture, other) << "each command has its own picture";
        pictures.push_back(picture);
    }
}

TEST_F(MainFormTest, StartsWithTheProgramTitleAndTheConnectHint) {
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Konfigor USB"));
    EXPECT_EQ(form.statusPanel(0), QStringLiteral("Wybierz port i połącz się"));
    for (int panel = 1; panel < 3; ++panel)
        EXPECT_TRUE(form.statusPanel(panel).isEmpty()) << "panel " << panel;
    EXPECT_EQ(form.statusPanel(3), QStringLiteral("Zmiany zapisane"));
}

TEST_F(MainFormTest, StatusBarHasFourPanelsAtLeastOfTheDesignedWidths) {
    form.show();
    const struct {
        int panel;
        int width;
    } cases[] = {{0, 230}, {2, 60}, {3, 180}};
    for (const auto& c : cases) {
        const auto* label = form.findChild<QLabel*>(QStringLiteral("StatusPanel%1").arg(c.panel));
        ASSERT_NE(label, nullptr) << "panel " << c.panel;
        EXPECT_GE(label->width(), c.width) << "panel " << c.panel;
    }
    // The hint panel takes what the others leave.
    const auto* hintPanel = form.findChild<QLabel*>(QStringLiteral("StatusPanel1"));
    ASSERT_NE(hintPanel, nullptr);
    EXPECT_GE(hintPanel->width(), 50);
}

// Layouts only: a full event loop would let the automatic connect open its message. A label's
// new height reaches the window one level per pass.
void settleLayouts() {
    for (int level = 0; level < 4; ++level)
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
}

// What a text needs beside what it got: labels and buttons by their own size hint (text, icon
// and margins), grid headers by their title's advance.
void expectNothingCut(const QWidget& window) {
    for (const QWidget* widget : window.findChildren<QWidget*>()) {
        const bool onToolBar =
            widget->parentWidget() != nullptr && widget->parentWidget()->inherits("QToolBar");
        if (!widget->isVisibleTo(&window) || onToolBar)
            continue;
        QString text;
        if (const auto* label = qobject_cast<const QLabel*>(widget))
            text = label->text();
        else if (const auto* button = qobject_cast<const QAbstractButton*>(widget))
            text = button->text();
        else if (const auto* combo = qobject_cast<const QComboBox*>(widget))
            text = combo->currentText();
        if (text.isEmpty())
            continue;
        const auto* label = qobject_cast<const QLabel*>(widget);
        if (label != nullptr && label->wordWrap()) {
            EXPECT_GE(label->height(), label->heightForWidth(label->width()))
                << widget->objectName().toStdString() << " \"" << text.toStdString() << "\"";
            continue;
        }
        EXPECT_GE(widget->width(), widget->sizeHint().width())
            << widget->objectName().toStdString() << " \"" << text.toStdString() << "\"";
    }
    for (const QTableView* grid : window.findChildren<QTableView*>()) {
        const QHeaderView* header = grid->horizontalHeader();
        for (int column = 0; column < header->count(); ++column) {
            const QString title =
                grid->model()->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
            EXPECT_GE(header->sectionSize(column), header->fontMetrics().horizontalAdvance(title))
                << grid->objectName().toStdString() << " \"" << title.toStdString() << "\"";
        }
    }
}

// At the window's default size and with the longest texts of the save-state and operation
// panels, nothing is elided or clipped; the layout's pixel widths give way to the font instead.
TEST_F(MainFormTest, NothingIsCutAtTheDefaultSize) {
    form.show();
    ASSERT_EQ(form.size(), QSize(791, 704));
    settleLayouts();
    expectNothingCut(form);
    const struct {
        int panel;
        const char* text;
    } statuses[] = {
        {3, "Zmiany nie są nigdzie zapisane"},
        {3, "Zmiany nie zapisane na EEPROM"},
        {1, "Odebrano sygnał pilota z pozycji numer 3"},
        {1, "Cofnięto: Wklejenie pilotów ze schowka do zaznaczonych pozycji arkusza od 1 do 704"},
    };
    for (const auto& status : statuses) {
        form.setStatusPanel(status.panel, QString::fromUtf8(status.text));
        settleLayouts();
        expectNothingCut(form);
        // ... and the bar grows by the lines the message needs, not by a one-word column's.
        const auto* operation = form.findChild<QLabel*>(QStringLiteral("StatusPanel1"));
        if (status.panel == 1) {
            EXPECT_EQ(operation->height(), operation->heightForWidth(operation->width()));
        }
    }
    EXPECT_EQ(form.size(), QSize(791, 704)) << "a long message must not widen the window";
}

TEST_F(MainFormTest, MainMenuItemsCarryTheirNamesCaptionsAndShortcuts) {
    const struct {
        const char* name;
        const char* shortcut;
    } items[] = {
        {"MenuOptions", "Ctrl+F12"},
        {"MainMenuQuit", ""},
        {"MainMenuPrintArkuszKVR", ""},
        {"MenuUndo", "Ctrl+Z"},
        {"MenuRedo", "Ctrl+Y"},
        {"MainMenuCut", "Ctrl+X"},
        {"MainMenuCopy", "Ctrl+C"},
        {"MainMenuPaste", "Ctrl+V"},
        {"MainMenuHelpSoft", "F1"},
        {"MainMenuHelpReciever", ""},
        {"MainMenuHelpRecieverLumo", ""},
        {"MainMenuHelpInterface", ""},
        {"MainMenuHelpClone", ""},
        {"MainMenuUpdate", ""},
        {"MainMenuAbout", ""},
    };
    for (const auto& item : items) {
        const auto* action = form.findChild<QAction*>(QString::fromLatin1(item.name));
        ASSERT_NE(action, nullptr) << item.name;
        EXPECT_FALSE(action->text().isEmpty()) << item.name;
        EXPECT_EQ(action->shortcut().toString(), QString::fromLatin1(item.shortcut)) << item.name;
    }
    EXPECT_EQ(form.findChild<QAction*>(QStringLiteral("MenuUndo"))->text(),
              QStringLiteral("Cofnij"));
    EXPECT_EQ(form.findChild<QAction*>(QStringLiteral("MenuRedo"))->text(),
              QStringLiteral("Ponów"));
}

TEST_F(MainFormTest, MenusTakeTheirCaptionsFromTheTextTable) {
    const char* const menus[] = {"MainMenuFile",     "MainMenuPrint", "MainMenuEdit",
                                 "MainMenuLanguage", "MainMenuHelp",  "MainMenuHelpIndex"};
    for (const char* name : menus) {
        const auto* menu = form.findChild<QMenu*>(QString::fromLatin1(name));
        ASSERT_NE(menu, nullptr) << name;
        EXPECT_FALSE(menu->title().isEmpty()) << name;
        EXPECT_EQ(menu->title(), builtInCaption(name)) << name;
    }
    EXPECT_EQ(form.findChild<QMenu*>(QStringLiteral("MainMenuFile"))->title(),
              QStringLiteral("Plik"));
}

// The dialogs are the main window's children and have controls of the same names: texts shown
// again (as after a language change) go to the main window's own.
TEST_F(MainFormTest, TextsShownAgainReachOnlyTheWindowsOwnControls) {
    QEvent change(QEvent::LanguageChange);
    QCoreApplication::sendEvent(qApp, &change);
    QApplication::processEvents();
    EXPECT_EQ(form.controls().label1->text(), builtInCaption("Label1"));
    EXPECT_EQ(form.controls().label2->text(), builtInCaption("Label2"));
}

TEST(MainFormLanguageTest, TheMenuIsDisabledWithoutLanguageFiles) {
    QTemporaryDir data;
    const TMainForm form(CommandLine{},
                         MainFormEnvironment{.dataFolders = {{data.path().toStdString()}}});
    EXPECT_FALSE(form.findChild<QMenu*>(QStringLiteral("MainMenuLanguage"))->isEnabled());
}

// The language menu: English from the shipped file, and back to the built-in Polish. Qt's own
// buttons follow the program's language.
TEST(MainFormLanguageTest, SwitchingToEnglishAndBackChangesEveryText) {
    QTemporaryDir data;
    ASSERT_TRUE(QFile::copy(QStringLiteral(KONFIGOR_SOURCE_DIR "/lang/English.lng"),
                            data.filePath(QStringLiteral("English.lng"))));
    TMainForm form(
        CommandLine{},
        MainFormEnvironment{.configPath = data.filePath(QStringLiteral("config.txt")).toStdString(),
                            .dataFolders = {{data.path().toStdString()}}});
    QMenu* languages = form.findChild<QMenu*>(QStringLiteral("MainMenuLanguage"));
    ASSERT_NE(languages, nullptr);
    ASSERT_TRUE(languages->isEnabled());
    ASSERT_EQ(languages->actions().size(), 2);
    EXPECT_EQ(languages->actions()[0]->text(), QStringLiteral("Polski"));
    EXPECT_TRUE(languages->actions()[0]->isChecked());
    QMenu* file = form.findChild<QMenu*>(QStringLiteral("MainMenuFile"));
    // Captions the fixed order has no line for, in the main window and in a dialog made at
    // start-up, and a group titled with a message in another such dialog.
    const auto keyedCaptions = [&form] {
        const auto* update = form.findChild<QAction*>(QStringLiteral("MainMenuUpdate"));
        const auto* automation = form.findChild<QGroupBox*>(QStringLiteral("GroupBoxAutomation"));
        const auto* description = form.findChild<QDialog*>(QStringLiteral("TEditRemoteForm"))
                                      ->findChild<QGroupBox*>(QStringLiteral("GroupDescription"));
        return (update->text() + QLatin1Char('|') + automation->title() + QLatin1Char('|') +
                description->title())
            .toStdString();
    };
    EXPECT_EQ(keyedCaptions(), "Sprawdź aktualizacje|Automatyzacja|Opis");
    const auto questionButtons = [&form] {
        MessageBoxPrompts prompts(&form);
        QStringList buttons;
        whenModalShows([&buttons](QDialog& dialog) {
            auto& box = dynamic_cast<QMessageBox&>(dialog);
            for (const auto button : {QMessageBox::Yes, QMessageBox::No})
                buttons << withoutMnemonic(box.button(button)->text());
        });
        prompts.ask({.caption = "Konfigor USB",
                     .text = "?",
                     .buttons = PromptButtons::YesNo,
                     .defaultAnswer = PromptAnswer::Yes,
                     .icon = PromptIcon::Question});
        return buttons.join(QLatin1Char('|')).toStdString();
    };

    languages->actions()[1]->trigger();
    QApplication::processEvents();
    EXPECT_TRUE(languages->actions()[1]->isChecked());
    EXPECT_FALSE(languages->actions()[0]->isChecked());
    EXPECT_EQ(file->title(), QStringLiteral("File"));
    EXPECT_EQ(form.controls().buttonConnect->text(), QStringLiteral("Connect"));
    EXPECT_EQ(questionButtons(), "Yes|No");
    EXPECT_EQ(keyedCaptions(), "Check for updates|Automation|Description");
    EXPECT_EQ(form.configuration().language(), "English");

    languages->actions()[0]->trigger();
    QApplication::processEvents();
    EXPECT_EQ(withoutMnemonic(file->title()), builtInCaption("MainMenuFile"));
    EXPECT_EQ(form.controls().buttonConnect->text(), QStringLiteral("Połącz"));
    EXPECT_EQ(questionButtons(), "Tak|Nie");
    EXPECT_EQ(keyedCaptions(), "Sprawdź aktualizacje|Automatyzacja|Opis");
}

} // namespace
} // namespace konfigor
