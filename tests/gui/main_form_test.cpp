#include "gui/main_form.h"
#include "texts/text_lines.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
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

class MainFormTest : public testing::Test {
protected:
    TMainForm form{CommandLine{}};
};

TEST_F(MainFormTest, StartsWithTheProgramTitleAndTheConnectHint) {
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Konfigor USB"));
    EXPECT_EQ(form.statusPanel(0), QStringLiteral("Wybierz port i połącz się"));
    for (int panel = 1; panel < 3; ++panel)
        EXPECT_TRUE(form.statusPanel(panel).isEmpty()) << "panel " << panel;
    EXPECT_EQ(form.statusPanel(3), QStringLiteral("Zmiany zapisane"));
}

TEST_F(MainFormTest, StatusBarHasFourPanelsOfTheDesignedWidths) {
    form.show();
    const struct {
        int panel;
        int width;
    } cases[] = {{0, 230}, {2, 60}, {3, 180}};
    for (const auto& c : cases) {
        const auto* label = form.findChild<QLabel*>(QStringLiteral("StatusPanel%1").arg(c.panel));
        ASSERT_NE(label, nullptr) << "panel " << c.panel;
        EXPECT_EQ(label->width(), c.width) << "panel " << c.panel;
    }
    // The hint panel takes what the others leave.
    const auto* hintPanel = form.findChild<QLabel*>(QStringLiteral("StatusPanel1"));
    ASSERT_NE(hintPanel, nullptr);
    EXPECT_GE(hintPanel->width(), 50);
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

TEST_F(MainFormTest, LanguageMenuIsDisabledWithoutLanguageFiles) {
    EXPECT_FALSE(form.findChild<QMenu*>(QStringLiteral("MainMenuLanguage"))->isEnabled());
}

} // namespace
} // namespace konfigor
