#include "files/settings_file.h"
#include "gui/main_form.h"
#include "gui/remote_grid.h"
#include "session/app_core.h"
#include "support/scripted_prompts.h"
#include "support/session_fakes.h"
#include "support/temp_folder.h"

#include <set>

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScrollBar>
#include <QToolButton>
#include <QWheelEvent>
#include <gtest/gtest.h>

namespace konfigor {
namespace {

using testing_support::FakeFileDialogs;
using testing_support::FixedPortSource;
using testing_support::ScriptedPrompts;

constexpr Qt::KeyboardModifiers kPlain = Qt::NoModifier;
constexpr Qt::KeyboardModifiers kCtrl = Qt::ControlModifier;
constexpr Qt::KeyboardModifiers kShift = Qt::ShiftModifier;

// The real main window with remotes in slots 0-5, no receiver; the mouse and keys go to the
// remote grid as the desktop would send them.
class MainFormEditingTest : public testing_support::TempFolderTest {
protected:
    MainFormEditingTest() {
        writeBytes(path("config.txt"), {});
        form = std::make_unique<TMainForm>(CommandLine{},
                                           MainFormEnvironment{.prompts = &prompts,
                                                               .fileDialogs = &fileDialogs,
                                                               .portSource = &ports,
                                                               .configPath = path("config.txt")});
        // Loaded from a file, so that undo can go back to it.
        SettingsSheet remotes;
        for (std::size_t slot = 0; slot < 6; ++slot)
            remotes.remotes[slot].serialWord = static_cast<std::uint32_t>(100 + slot);
        EXPECT_FALSE(
            SettingsFile(form->texts())
                .write(path("six.kvr"), remotes.remotes, remotes.channels, remotes.identifier));
        form->core().files().loadNamedFile(path("six.kvr"));
        form->resize(1000, 900);
        form->show();
        // The clipboard commands of the main menu follow the grid's focus.
        QApplication::setActiveWindow(form.get());
        grid().setFocus();
    }

    SettingsSheet& sheet() { return form->core().sheet(); }
    StringGridRemote& grid() { return form->remoteGrid(); }

    QPoint centreOf(int row) {
        const QModelIndex index = grid().model()->index(row - 1, 2);
        grid().scrollTo(index);
        return grid().visualRect(index).center();
    }
    void mouse(QEvent::Type type, int row, Qt::MouseButton button, Qt::MouseButtons held,
               Qt::KeyboardModifiers modifiers) {
        const QPoint at = centreOf(row);
        QMouseEvent event(type, at, grid().viewport()->mapToGlobal(at), button, held, modifiers);
        QApplication::sendEvent(grid().viewport(), &event);
    }
    void click(int row, Qt::KeyboardModifiers modifiers = kPlain) {
        mouse(QEvent::MouseButtonPress, row, Qt::LeftButton, Qt::LeftButton, modifiers);
        mouse(QEvent::MouseButtonRelease, row, Qt::LeftButton, Qt::NoButton, modifiers);
    }
    void drag(int from, int to) {
        mouse(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton, kPlain);
        const int step = to > from ? 1 : -1;
        for (int row = from; row != to + step; row += step)
            mouse(QEvent::MouseMove, row, Qt::NoButton, Qt::LeftButton, kPlain);
        mouse(QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton, kPlain);
    }
    void rightPress(int row) {
        mouse(QEvent::MouseButtonPress, row, Qt::RightButton, Qt::RightButton, kPlain);
        mouse(QEvent::MouseButtonRelease, row, Qt::RightButton, Qt::NoButton, kPlain);
    }
    void key(int code, Qt::KeyboardModifiers modifiers) {
        QKeyEvent event(QEvent::KeyPress, code, modifiers);
        QApplication::sendEvent(&grid(), &event);
    }
    QAction* action(const char* name) {
        return form->findChild<QAction*>(QString::fromLatin1(name));
    }
    std::set<int> markedRows() {
        std::set<int> rows;
        for (const std::size_t slot : sheet().markedSlots())
            rows.insert(static_cast<int>(slot) + 1);
        return rows;
    }

    ScriptedPrompts prompts;
    FakeFileDialogs fileDialogs;
    FixedPortSource ports;
    std::unique_ptr<TMainForm> form;
};

TEST_F(MainFormEditingTest, PlainClickMarksOneRowAndClearsTheOthers) {
    sheet().remotes[7].marked = true;
    click(3);
    EXPECT_EQ(markedRows(), (std::set<int>{3}));
    EXPECT_EQ(grid().currentRow(), 3);
    click(3);
    EXPECT_TRUE(markedRows().empty()) << "a second click unmarks";
}

TEST_F(MainFormEditingTest, CtrlClicksAndCtrlSpaceMarkScatteredRows) {
    click(2);
    click(5, kCtrl);
    click(9, kCtrl);
    EXPECT_EQ(markedRows(), (std::set<int>{2, 5, 9}));
    click(5, kCtrl);
    key(Qt::Key_Down, kCtrl);
    key(Qt::Key_Space, kCtrl);
    EXPECT_EQ(markedRows(), (std::set<int>{2, 9, 6}));
}

TEST_F(MainFormEditingTest, ShiftMarksARangeAndCtrlShiftInvertsIt) {
    click(10);
    mouse(QEvent::MouseButtonPress, 14, Qt::LeftButton, Qt::LeftButton, kShift);
    EXPECT_EQ(markedRows(), (std::set<int>{10, 11, 12, 13, 14})) << "at the press";
    mouse(QEvent::MouseButtonRelease, 14, Qt::LeftButton, Qt::NoButton, kShift);
    EXPECT_EQ(markedRows(), (std::set<int>{10, 11, 12, 13, 14}));

    mouse(QEvent::MouseButtonPress, 12, Qt::LeftButton, Qt::LeftButton, kShift | kCtrl);
    mouse(QEvent::MouseButtonRelease, 12, Qt::LeftButton, Qt::NoButton, kShift | kCtrl);
    EXPECT_EQ(markedRows(), (std::set<int>{10, 11})) << "12 to 14 inverted, from the anchor 14";
}

TEST_F(MainFormEditingTest, DragMarksTheRowsPassedOverInEitherDirection) {
    mouse(QEvent::MouseButtonPress, 20, Qt::LeftButton, Qt::LeftButton, kPlain);
    mouse(QEvent::MouseMove, 23, Qt::NoButton, Qt::LeftButton, kPlain);
    const GridPalette colours = grid().gridPalette();
    EXPECT_EQ(grid().lookAt(22, 2, 100).background, colours.infoBackground) << "while dragging";
    EXPECT_EQ(grid().lookAt(24, 3, 100).background, colours.window) << "an odd column";
    mouse(QEvent::MouseButtonRelease, 23, Qt::LeftButton, Qt::NoButton, kPlain);
    EXPECT_NE(grid().lookAt(22, 2, 100).background, colours.infoBackground);
    click(1);
    click(1);

    drag(20, 25);
    EXPECT_EQ(markedRows(), (std::set<int>{20, 21, 22, 23, 24, 25}));
    click(1);
    click(1);
    drag(25, 20);
    EXPECT_EQ(markedRows(), (std::set<int>{20, 21, 22, 23, 24, 25}));
}

TEST_F(MainFormEditingTest, MarkAllInvertAndCtrlWheel) {
    action("MenuMarkAll")->trigger();
    EXPECT_EQ(sheet().countMarked(), kRemoteSlotCount);
    action("MenuUnmarkAll")->trigger();
    click(3);
    action("MenuSwapMArked")->trigger();
    EXPECT_EQ(sheet().countMarked(), kRemoteSlotCount - 1);
    EXPECT_FALSE(sheet().remotes[2].marked);

    const QPoint at = centreOf(3);
    QWheelEvent wheel(at, grid().viewport()->mapToGlobal(at), {}, {0, -120}, Qt::NoButton, kCtrl,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(grid().viewport(), &wheel);
    EXPECT_EQ(grid().currentRow(), 13) << "ten rows down a notch";
}

// A touchpad reports a notch in small steps; the row moves once they make a whole notch, and
// the grid never scrolls by itself in between.
TEST_F(MainFormEditingTest, CtrlWheelFromATouchpadMovesOncePerWholeNotch) {
    click(3);
    const int scrolled = grid().verticalScrollBar()->value();
    const QPoint at = centreOf(3);
    const auto turn = [&](int angleDelta) {
        QWheelEvent wheel(at, grid().viewport()->mapToGlobal(at), {}, {0, angleDelta}, Qt::NoButton,
                          kCtrl, Qt::ScrollUpdate, false);
        QApplication::sendEvent(grid().viewport(), &wheel);
        return grid().currentRow();
    };
    EXPECT_EQ(turn(-30), 3);
    EXPECT_EQ(turn(-30), 3);
    EXPECT_EQ(turn(-30), 3);
    EXPECT_EQ(grid().verticalScrollBar()->value(), scrolled);
    EXPECT_EQ(turn(-30), 13);
    EXPECT_EQ(turn(-60), 13);
    EXPECT_EQ(turn(30), 13);
    EXPECT_EQ(turn(90), 3) << "turning back starts afresh, without the half notch down";
}

TEST_F(MainFormEditingTest, LeavingTheChangedIdentifierRecordsARename) {
    QLineEdit* edit = form->controls().idMemorySheetEdit;
    edit->setFocus();
    edit->setText(QStringLiteral("Brama główna"));
    grid().setFocus();
    EXPECT_EQ(sheet().identifier.toUtf8(), "Brama główna");
    EXPECT_EQ(action("MenuUndo")->text(), QStringLiteral("Cofnij: Zmiana nazwy odbiornika"));
    action("MenuUndo")->trigger();
    EXPECT_TRUE(edit->text().isEmpty()) << "the rebuild shows the identifier";
}

TEST_F(MainFormEditingTest, PopupMenuFollowsTheMarksAndTheCurrentRow) {
    struct Case {
        const char* name;
        std::set<int> marked;
        int row;
        const char* deleteCaption;
        bool swap;
        bool mark;
        bool unmark;
    };
    const Case cases[] = {
        {"no mark", {}, 2, "Usuń pilota", false, true, false},
        {"one mark on another row", {5}, 2, "Usuń pilota", true, true, false},
        {"marks including the current row", {2, 3}, 2, "Usuń zaznaczone piloty", true, false, true},
    };
    for (const Case& c : cases) {
        sheet().clearMarks();
        for (const int row : c.marked)
            sheet().remotes[static_cast<std::size_t>(row - 1)].marked = true;
        rightPress(c.row);
        form->preparePopupMenu();
        EXPECT_EQ(action("MenuRemoteDel")->text().toStdString(), c.deleteCaption) << c.name;
        EXPECT_TRUE(action("MenuRemoteDel")->isEnabled()) << c.name;
        EXPECT_EQ(action("MenuSwapItems")->isEnabled(), c.swap) << c.name;
        EXPECT_EQ(action("MenuMark")->isEnabled(), c.mark) << c.name;
        EXPECT_EQ(action("MenuUnmark")->isEnabled(), c.unmark) << c.name;
        EXPECT_FALSE(action("MenuRemoteAdd")->isEnabled()) << c.name << ": the row holds one";
    }
}

TEST_F(MainFormEditingTest, DeleteAndUndoWithTheirCaptions) {
    click(3);
    prompts.answer(PromptAnswer::Yes);
    action("ToolButtonRemoteDel")->trigger();
    EXPECT_TRUE(sheet().isEmpty(2));
    EXPECT_EQ(action("MenuUndo")->text(), QStringLiteral("Cofnij: Usunięcie pilota"));
    EXPECT_EQ(action("MenuRedo")->text(), QStringLiteral("Ponów"));

    action("MenuUndo")->trigger();
    EXPECT_EQ(sheet().remotes[2].serialWord, 102u);
    EXPECT_EQ(action("MenuRedo")->text(), QStringLiteral("Ponów: Usunięcie pilota"));
    EXPECT_EQ(action("MenuUndo")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Z));
    EXPECT_EQ(action("MenuRedo")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Y));
    action("MenuRedo")->trigger();
    EXPECT_TRUE(sheet().isEmpty(2));
}

TEST_F(MainFormEditingTest, CompactionAndUndo) {
    click(2);
    prompts.answer(PromptAnswer::Yes);
    action("ToolButtonRemoteDel")->trigger();
    prompts.answer(PromptAnswer::Yes);
    form->findChild<QToolButton*>(QStringLiteral("ToolButtonReduction"))->click();
    EXPECT_EQ(sheet().remotes[1].serialWord, 102u);
    EXPECT_TRUE(sheet().isEmpty(5));
    EXPECT_EQ(action("MenuUndo")->text(), QStringLiteral("Cofnij: Kompaktowanie arkusza pilotów"));

    action("MenuUndo")->trigger();
    EXPECT_TRUE(sheet().isEmpty(1));
    EXPECT_EQ(sheet().remotes[5].serialWord, 105u);
}

TEST_F(MainFormEditingTest, CutPasteElsewhereThenUndoBoth) {
    click(1);
    click(2, kCtrl);
    action("MainMenuCut")->trigger();
    EXPECT_TRUE(sheet().isEmpty(0));
    EXPECT_TRUE(sheet().isEmpty(1));
    EXPECT_TRUE(action("MainMenuPaste")->isEnabled());

    click(31);
    click(31); // the current row, nothing marked
    action("MainMenuPaste")->trigger();
    EXPECT_EQ(sheet().remotes[30].serialWord, 100u);
    EXPECT_EQ(sheet().remotes[31].serialWord, 101u);
    EXPECT_EQ(action("MenuUndo")->text(), QStringLiteral("Cofnij: Wklejony pilot do arkusza"));

    action("MenuUndo")->trigger();
    EXPECT_TRUE(sheet().isEmpty(30));
    EXPECT_TRUE(sheet().isEmpty(31));
    EXPECT_EQ(action("MenuUndo")->text(), QStringLiteral("Cofnij: Wycięty pilot z arkusza"));
    action("MenuUndo")->trigger();
    EXPECT_EQ(sheet().remotes[0].serialWord, 100u);
    EXPECT_EQ(sheet().remotes[1].serialWord, 101u);
    EXPECT_TRUE(prompts.allAnswersUsed());
}

TEST_F(MainFormEditingTest, CopiedRemotesPastedBesideTheOriginalsSkipTheDuplicates) {
    click(3);
    action("MainMenuCopy")->trigger();
    click(40);
    click(40);
    prompts.answer(PromptAnswer::Yes);
    action("MainMenuPaste")->trigger();
    EXPECT_EQ(prompts.asked().back().text.rfind("W schowku są piloty", 0), 0u);
    EXPECT_TRUE(sheet().isEmpty(39)) << "the only copied remote is a duplicate";
}

} // namespace
} // namespace konfigor
