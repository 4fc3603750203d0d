#include "files/settings_file.h"
#include "gui/event_loop_wait.h"
#include "gui/file_browser_form.h"
#include "gui/main_form.h"
#include "gui/main_form_controls.h"
#include "gui/qt_search_windows.h"
#include "gui/replace_form.h"
#include "gui/scan_results_form.h"
#include "gui/scan_settings_form.h"
#include "search/search_folder_list.h"
#include "search/settings_scan.h"
#include "search/settings_tree.h"
#include "session/app_core.h"
#include "support/scripted_prompts.h"
#include "support/session_fakes.h"
#include "texts/text_table.h"

#include <fstream>
#include <functional>
#include <memory>

#include <QApplication>
#include <QCheckBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <gtest/gtest.h>

namespace konfigor {
namespace {

using testing_support::ScriptedPrompts;
using testing_support::SettingsTree;
using testing_support::waitFor;

template <class Widget>
Widget* child(const QWidget& parent, const char* name) {
    Widget* found = parent.findChild<Widget*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

void click(const QWidget& window, const char* buttonName) {
    QTest::mouseClick(child<QPushButton>(window, buttonName), Qt::LeftButton);
}

// Answers each modal window as it comes up, once its own event loop runs; the handler returns
// true when it is done with the window. Stops with the object.
class ModalScript {
public:
    explicit ModalScript(std::function<bool(QWidget&)> handle) : handle_(std::move(handle)) {
        QObject::connect(&poll_, &QTimer::timeout, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal && modal != handled_ && modal->isVisible() && handle_(*modal))
                handled_ = modal;
            else if (!modal)
                handled_ = nullptr;
        });
        poll_.start(5);
    }

private:
    std::function<bool(QWidget&)> handle_;
    QWidget* handled_ = nullptr;
    QTimer poll_;
};

class SearchWindowsTest : public testing::Test {
protected:
    SearchWindowsTest() {
        owner.setGeometry(100, 100, 800, 600);
        owner.show();
    }

    QWidget owner;
    TextTable texts;
    QtSearchWindows windows{owner, texts};
};

// Each box is its own field: a box wired to the wrong field flips another one.
TEST_F(SearchWindowsTest, CriteriaBoxesShowAndHandBackTheirOwnFields) {
    struct Box {
        const char* name;
        const char* caption;
        bool SearchCriteria::*field;
    };
    const Box boxes[] = {
        {"CheckBoxC1", "Sprawdzaj opis kanałów", &SearchCriteria::channelDescriptions},
        {"CheckBoxC2", "Sprawdzaj ustawienia kanałów", &SearchCriteria::channelTimes},
        {"CheckBoxR1", "Sprawdzaj opis pilota", &SearchCriteria::remoteDescriptions},
        {"CheckBoxR2", "Sprawdzaj numer seryjny pilota", &SearchCriteria::serialWords},
        {"CheckBoxR3", "Sprawdzaj kod kroczący pilota", &SearchCriteria::codeCounters},
        {"CheckBoxR4", "Sprawdzaj ustawienia przycisków pilota", &SearchCriteria::buttonMasks},
        {"CheckBoxR5", "Sprawdzaj blokade kopiowania pilota", &SearchCriteria::copyLocks},
        {"CheckBoxNoEmpty", "Pomiń puste pola arkusza", &SearchCriteria::skipEmptySlots},
    };
    TScanSettingsForm& form = windows.criteriaForm();
    for (const Box& box : boxes) {
        SCOPED_TRACE(box.name);
        EXPECT_EQ(child<QCheckBox>(form, box.name)->text(), QString::fromUtf8(box.caption));
        const SearchCriteria offered;
        std::optional<bool> shownChecked;
        ModalScript script([&](QWidget& modal) {
            if (&modal != &form)
                return false;
            auto* check = child<QCheckBox>(form, box.name);
            shownChecked = check->isChecked();
            check->toggle();
            click(form, "ButtonOk");
            return true;
        });
        const auto taken = windows.editCriteria(offered);
        ASSERT_TRUE(taken.has_value());
        EXPECT_EQ(shownChecked, offered.*box.field);
        SearchCriteria expected = offered;
        expected.*box.field = !(offered.*box.field);
        EXPECT_EQ(*taken, expected);
    }
}

TEST_F(SearchWindowsTest, CriteriaFormCaptionsAndCancel) {
    TScanSettingsForm& form = windows.criteriaForm();
    EXPECT_EQ(form.windowTitle(),
              QStringLiteral("Kryteria wyszukiwania pliku z nastawami odbiornika"));
    EXPECT_EQ(child<QGroupBox>(form, "GroupBoxChannels")->title(),
              QStringLiteral("Opcje skanowania kanałów"));
    EXPECT_EQ(child<QGroupBox>(form, "GroupBoxRemotes")->title(),
              QStringLiteral("Opcje skanowania pilotów"));
    EXPECT_EQ(child<QGroupBox>(form, "GroupBoxExtra")->title(), QStringLiteral("Dodatkowe opcje"));
    EXPECT_EQ(child<QPushButton>(form, "ButtonOk")->text(), QStringLiteral("&OK"));
    EXPECT_EQ(child<QPushButton>(form, "ButtonCancel")->text(), QStringLiteral("&Anuluj"));
    // Sized to its check boxes alone, the window would cut its long caption.
    QFont bold = form.font();
    bold.setBold(true);
    form.adjustSize();
    EXPECT_GT(form.width(), QFontMetrics(bold).horizontalAdvance(form.windowTitle()));

    ModalScript script([&](QWidget& modal) {
        child<QCheckBox>(modal, "CheckBoxR3")->toggle();
        click(modal, "ButtonCancel");
        return true;
    });
    EXPECT_EQ(windows.editCriteria({}), std::nullopt);
}

TEST_F(SearchWindowsTest, ReplaceFormGivesTheAnswerOfEachWayOut) {
    struct Case {
        const char* button; // nothing: Esc
        ReplaceAnswer answer;
    };
    const Case cases[] = {{"ButtonYes", ReplaceAnswer::Yes},
                          {"ButtonYesAll", ReplaceAnswer::YesToAll},
                          {"ButtonNo", ReplaceAnswer::No},
                          {"ButtonNoAll", ReplaceAnswer::NoToAll},
                          {nullptr, ReplaceAnswer::None}};
    TReplaceForm& form = windows.replaceForm();
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Konfigor"));
    for (const auto& [name, caption] :
         {std::pair{"ButtonYes", "Tak"}, std::pair{"ButtonYesAll", "Tak, wszystkie"},
          std::pair{"ButtonNo", "Nie"}, std::pair{"ButtonNoAll", "Nie, wszystkie"}})
        EXPECT_EQ(child<QPushButton>(form, name)->text(), QString::fromUtf8(caption));

    for (const Case& tried : cases) {
        SCOPED_TRACE(tried.button ? tried.button : "Esc");
        QWidget* focused = nullptr;
        QString shownText;
        ModalScript script([&](QWidget& modal) {
            focused = modal.focusWidget();
            shownText = child<QLabel>(modal, "Label")->text();
            if (tried.button)
                click(modal, tried.button);
            else
                QTest::keyClick(&modal, Qt::Key_Escape);
            return true;
        });
        EXPECT_EQ(windows.askReplace("Czy chcesz zastąpić?\nArkusz:"), tried.answer);
        EXPECT_EQ(focused, child<QPushButton>(form, "ButtonNo"));
        EXPECT_EQ(shownText, QStringLiteral("Czy chcesz zastąpić?\nArkusz:"));
    }
}

TEST_F(SearchWindowsTest, ReplaceFormFollowsItsTextsSize) {
    TReplaceForm& form = windows.replaceForm();
    const auto& label = *child<QLabel>(form, "Label");
    const QString wide = QString(120, QLatin1Char('W')) + QStringLiteral("\n1\n2\n3\n4\n5\n6");
    for (const QString& question : {QStringLiteral("Krótkie?"), wide}) {
        SCOPED_TRACE(question.left(10).toStdString());
        form.prepare(question);
        const int expectedWidth =
            std::max(label.width() + TReplaceForm::kExtraWidth, TReplaceForm::kMinimumWidth);
        EXPECT_EQ(form.width(), expectedWidth);
        EXPECT_EQ(form.height(), label.height() + TReplaceForm::kExtraHeight);
        const QRect yes = child<QPushButton>(form, "ButtonYes")->geometry();
        const QRect yesAll = child<QPushButton>(form, "ButtonYesAll")->geometry();
        const QRect no = child<QPushButton>(form, "ButtonNo")->geometry();
        const QRect noAll = child<QPushButton>(form, "ButtonNoAll")->geometry();
        for (const QRect& button : {yes, yesAll, no, noAll})
            EXPECT_EQ(button.top(), form.height() - TReplaceForm::kButtonsAboveBottom);
        EXPECT_EQ(yes.left(), 56);
        EXPECT_EQ(yesAll.left(), yes.right() + 1 + 6);
        EXPECT_EQ(no.right() + 1, form.width() - 8);
        EXPECT_EQ(noAll.right() + 1 + 6, no.left());
        EXPECT_LT(yesAll.right(), noAll.left()) << "the pairs do not overlap";
    }
    EXPECT_GT(form.width(), TReplaceForm::kMinimumWidth) << "the wide text widens the window";
}

TEST_F(SearchWindowsTest, ResultsFormListsTheScoresAndHandsBackTheRowTaken) {
    const std::vector<ScanResult> results{{.path = "/dane/a.kvr", .score = 100.0},
                                          {.path = "/dane/b.kvr", .score = 47.368421},
                                          {.path = "/dane/c.kvr", .score = 0.0}};
    TScanResultsForm& form = windows.resultsForm();
    auto& grid = *child<QTableWidget>(form, "StringGridScans");
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Wyniki skanowania..."));
    EXPECT_EQ(child<QGroupBox>(form, "GroupBox")->title(), QStringLiteral("Lista plików"));
    EXPECT_GE(form.minimumWidth(), 350);
    EXPECT_GE(form.minimumHeight(), 200);

    struct Case {
        const char* what;
        std::function<void(QWidget&)> act;
        std::optional<std::size_t> taken;
    };
    const Case cases[] = {
        {"OK on the first row", [](QWidget& modal) { click(modal, "ButtonOk"); }, 0},
        {"OK on the second row",
         [&](QWidget& modal) {
             grid.selectRow(1);
             click(modal, "ButtonOk");
         },
         1},
        {"Cancel", [](QWidget& modal) { click(modal, "ButtonCancel"); }, std::nullopt},
        {"Esc", [](QWidget& modal) { QTest::keyClick(&modal, Qt::Key_Escape); }, std::nullopt},
    };
    for (const Case& tried : cases) {
        SCOPED_TRACE(tried.what);
        ModalScript script([&](QWidget& modal) {
            tried.act(modal);
            return true;
        });
        EXPECT_EQ(windows.chooseResult(results), tried.taken);
    }

    ASSERT_EQ(grid.rowCount(), 3);
    ASSERT_EQ(grid.columnCount(), 3);
    QStringList titles;
    for (int column = 0; column < 3; ++column)
        titles << grid.horizontalHeaderItem(column)->text();
    EXPECT_EQ(titles, (QStringList{QStringLiteral("L.p."), QStringLiteral("Zgodność"),
                                   QStringLiteral("Nazwa pliku")}));
    const QStringList second{grid.item(1, 0)->text(), grid.item(1, 1)->text(),
                             grid.item(1, 2)->text()};
    EXPECT_EQ(second, (QStringList{QStringLiteral("2"), QStringLiteral("47.37 %"),
                                   QStringLiteral("/dane/b.kvr")}));
    EXPECT_EQ(grid.item(2, 1)->text(), QStringLiteral(" 0.00 %"));
    EXPECT_GE(grid.columnWidth(2), TScanResultsForm::kFileColumnWidth);
    EXPECT_EQ(grid.selectionBehavior(), QAbstractItemView::SelectRows);
}

class FolderChooserTest : public SearchWindowsTest {
protected:
    FolderChooserTest() {
        tree.writeSheet("dane/a.kvr", *testing_support::sheetWith({1}));
        tree.writeSheet("dane/B.KVR", *testing_support::sheetWith({2}));
        tree.writeText("dane/notes.txt", "x");
        std::filesystem::create_directories(tree.path("dane/2018"));
        std::filesystem::create_directories(tree.path("dane/.hidden"));
        form.showList(list);
    }

    QString pathOf(const std::string& name) const {
        return QString::fromStdString(tree.path(name).string());
    }
    QStringList rows() {
        QStringList shown;
        auto& box = *child<QListWidget>(form, "ListBoxFiles");
        for (int row = 0; row < box.count(); ++row)
            shown << box.item(row)->text();
        return shown;
    }
    bool okEnabled() { return child<QPushButton>(form, "ButtonOk")->isEnabled(); }
    void add(const std::string& name) {
        ASSERT_TRUE(form.selectInTree(pathOf(name))) << name;
        click(form, "ButtonAdd");
    }

    SettingsTree tree;
    ScriptedPrompts prompts;
    SearchFolderList list{texts, prompts};
    TFileBrowserForm& form = windows.folderForm();
};

TEST_F(FolderChooserTest, TreeShowsFoldersAndSettingsFilesOnly) {
    EXPECT_EQ(form.windowTitle(),
              QStringLiteral("Wybierz elementy do wyszukiwania opisu dla nastaw"));
    EXPECT_EQ(child<QLabel>(form, "LabelTree")->text(), QStringLiteral("Dostępne katalogi"));
    EXPECT_EQ(child<QLabel>(form, "LabelList")->text(), QStringLiteral("Wybrane katalogi"));
    EXPECT_EQ(child<QPushButton>(form, "ButtonClear")->text(), QStringLiteral("&Wyczyść listę"));

    auto& view = *child<QTreeView>(form, "ShellTreeView");
    ASSERT_TRUE(form.selectInTree(pathOf("dane")));
    view.expand(view.currentIndex());
    const QModelIndex folder = view.currentIndex();
    QStringList names;
    ASSERT_TRUE(waitFor([&] {
        names.clear();
        for (int row = 0; row < view.model()->rowCount(folder); ++row)
            names << view.model()->index(row, 0, folder).data().toString();
        names.sort();
        return names.size() >= 3;
    }));
    EXPECT_EQ(names, (QStringList{QStringLiteral("2018"), QStringLiteral("B.KVR"),
                                  QStringLiteral("a.kvr")}));
}

TEST_F(FolderChooserTest, ButtonsChangeTheListAndOkFollowsIt) {
    EXPECT_FALSE(okEnabled());
    add("dane/2018");
    add("dane/a.kvr");
    EXPECT_EQ(rows(), (QStringList{pathOf("dane/2018"), pathOf("dane/a.kvr")}));
    EXPECT_TRUE(okEnabled());

    add("dane");
    EXPECT_EQ(rows(), QStringList{pathOf("dane")}) << "the folders inside go";
    ASSERT_EQ(prompts.asked().size(), 1U);

    add("dane/2018");
    EXPECT_EQ(rows(), QStringList{pathOf("dane")}) << "refused inside a listed folder";
    EXPECT_EQ(prompts.asked().size(), 2U);

    click(form, "ButtonClear");
    EXPECT_TRUE(rows().isEmpty());
    EXPECT_FALSE(okEnabled());

    add("dane/2018");
    add("dane/a.kvr");
    add("dane/B.KVR");
    auto& box = *child<QListWidget>(form, "ListBoxFiles");
    box.item(0)->setSelected(true);
    box.item(2)->setSelected(true);
    click(form, "ButtonDel");
    EXPECT_EQ(rows(), QStringList{pathOf("dane/B.KVR")});
}

TEST_F(FolderChooserTest, ListPanelStaysWithinItsShareOfTheWidth) {
    form.show();
    form.resize(900, 500);
    QApplication::processEvents();
    auto& splitter = *child<QSplitter>(form, "Splitter");
    splitter.setSizes({10, 5000});
    QApplication::processEvents();
    EXPECT_LE(splitter.widget(1)->width(), form.contentsRect().width() * 0.8 + 1);
    const QRect add = child<QPushButton>(form, "ButtonAdd")->geometry();
    const QRect del = child<QPushButton>(form, "ButtonDel")->geometry();
    EXPECT_EQ(del.top() - (add.bottom() + 1), 2 * TFileBrowserForm::kButtonsFromMiddle);
}

TEST_F(FolderChooserTest, OkAndCancelAreWhatTheDialogReturns) {
    for (const auto& [button, accepted] :
         {std::pair{"ButtonOk", true}, std::pair{"ButtonCancel", false}}) {
        SCOPED_TRACE(button);
        ModalScript script([&](QWidget& modal) {
            if (&modal != &form)
                return false;
            add("dane/a.kvr");
            click(form, button);
            return true;
        });
        EXPECT_EQ(windows.chooseFolders(list), accepted);
        EXPECT_EQ(list.rows(), std::vector<std::filesystem::path>{tree.path("dane/a.kvr")});
    }
}

// A few hundred files with scores spread over the range, one damaged file and one folder.
class ThreadedScanTest : public SearchWindowsTest {
protected:
    ThreadedScanTest() {
        sheet = testing_support::sheetWith({11, 12, 13, 14, 15, 16, 17, 18});
        for (int index = 0; index < 300; ++index) {
            auto file = testing_support::sheetWith({11, 12, 13, 14});
            file->remotes[static_cast<std::size_t>(index % 8)].serialWord =
                static_cast<std::uint32_t>(1000 + index);
            file->channels[0].time = static_cast<std::uint16_t>(index % 3);
            tree.writeSheet(
                "f" + std::to_string(index / 50) + "/s" + std::to_string(index) + ".kvr", *file);
        }
        tree.writeText("f0/damaged.kvr", "nie nastawy");
    }

    SettingsScan scan() const {
        return SettingsScan(
            {.entries = {tree.root()}, .sheet = *sheet, .criteria = {}, .workers = 2}, texts);
    }

    SettingsTree tree;
    std::unique_ptr<SettingsSheet> sheet;
};

TEST_F(ThreadedScanTest, GivesWhatABlockingScanGives) {
    const ScanOutcome blocking = scan().run();
    ASSERT_EQ(blocking.results.size(), 300U);
    ASSERT_EQ(blocking.skipped.size(), 1U);

    std::vector<std::pair<std::size_t, std::size_t>> shown;
    QObject::connect(&windows, &QtSearchWindows::scanProgressShown,
                     [&](std::size_t done, std::size_t found) { shown.emplace_back(done, found); });
    const auto threaded = windows.runScan(scan());
    ASSERT_TRUE(threaded.has_value());
    EXPECT_FALSE(threaded->cancelled);
    EXPECT_EQ(threaded->results, blocking.results);
    EXPECT_EQ(threaded->skipped, blocking.skipped);
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.back().second, 301U) << "the last counts";
    EXPECT_EQ(shown.back().first, shown.back().second);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(ThreadedScanTest, CancelReturnsNothingOnceTheScanHasStopped) {
    bool cancelSeen = false;
    QObject::connect(&windows, &QtSearchWindows::scanProgressShown, [&] {
        auto* dialog = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget());
        if (cancelSeen || !dialog)
            return;
        cancelSeen = true;
        QTest::mouseClick(dialog->findChild<QPushButton*>(), Qt::LeftButton);
        EXPECT_TRUE(dialog->isVisible()) << "it stays until the scan has stopped";
    });
    EXPECT_EQ(windows.runScan(scan()), std::nullopt);
    EXPECT_TRUE(cancelSeen);

    std::size_t latecomers = 0;
    QObject::connect(&windows, &QtSearchWindows::scanProgressShown, [&] { ++latecomers; });
    QApplication::processEvents();
    EXPECT_EQ(latecomers, 0U) << "nothing of the scan arrives after it returned";
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(ThreadedScanTest, SkippedFilesShowInOneList) {
    QString text;
    QString details;
    ModalScript script([&](QWidget& modal) {
        auto* box = qobject_cast<QMessageBox*>(&modal);
        if (!box)
            return false;
        text = box->text();
        details = box->detailedText();
        box->accept();
        return true;
    });
    windows.showSkipped({{.kind = ScanSkip::Kind::File, .path = "/a/b.kvr", .error = "Błąd b"},
                         {.kind = ScanSkip::Kind::Folder, .path = "/a/c", .error = "Brak"}});
    EXPECT_TRUE(text.contains(QLatin1Char('2')));
    EXPECT_EQ(details, QStringLiteral("Błąd b\nKatalog /a/c: Brak"));
}

// The whole command, started from the tool button of the real main window.
class SearchCommandTest : public testing::Test {
protected:
    SearchCommandTest() {
        std::ofstream(tree.path("config.txt"));
        form = std::make_unique<TMainForm>(
            CommandLine{}, MainFormEnvironment{.prompts = &prompts,
                                               .fileDialogs = &fileDialogs,
                                               .portSource = &ports,
                                               .configPath = tree.path("config.txt")});
        form->show();
    }

    SettingsTree tree;
    ScriptedPrompts prompts;
    testing_support::FakeFileDialogs fileDialogs;
    testing_support::FixedPortSource ports;
    std::unique_ptr<TMainForm> form;
};

TEST_F(SearchCommandTest, ToolButtonFindsAFileAndMergesItsDescriptions) {
    SettingsSheet& sheet = form->core().sheet();
    for (std::size_t slot = 0; slot < 3; ++slot) {
        sheet.remotes[slot].serialWord = static_cast<std::uint32_t>(500 + slot);
        sheet.remotes[slot].copyLock = false;
        sheet.remotes[slot].codeCounter = 77;
    }
    SettingsSheet file = sheet;
    file.remotes[0].description.assignUtf8("Brama Kowalski");
    file.remotes[1].description.assignUtf8("Garaż Nowak");
    file.remotes[2].description.assignUtf8("Furtka");
    file.remotes[2].copyLock = true; // differs: asked about
    file.remotes[0].codeCounter = 3;
    const auto chosen = tree.writeSheet("pliki/klient.kvr", file);
    tree.writeSheet("pliki/inny.kvr", *testing_support::sheetWith({900}));

    auto* button = form->findChild<QToolButton*>(QStringLiteral("ToolBtnScan"));
    ASSERT_NE(button, nullptr);
    EXPECT_TRUE(button->isEnabled());

    // Nothing changed since the last save: asked whether to scan at all.
    prompts.answer(PromptAnswer::Yes);
    std::vector<std::string> seen;
    ModalScript script([&](QWidget& modal) {
        seen.push_back(modal.metaObject()->className());
        if (auto* folders = qobject_cast<TFileBrowserForm*>(&modal)) {
            EXPECT_TRUE(folders->selectInTree(QString::fromStdString(tree.path("pliki").string())));
            click(modal, "ButtonAdd");
            click(modal, "ButtonOk");
        } else if (qobject_cast<TScanSettingsForm*>(&modal)) {
            click(modal, "ButtonOk");
        } else if (auto* results = qobject_cast<TScanResultsForm*>(&modal)) {
            EXPECT_EQ(child<QTableWidget>(modal, "StringGridScans")->item(0, 2)->text(),
                      QString::fromStdString(chosen.string()));
            click(*results, "ButtonOk");
        } else if (qobject_cast<TReplaceForm*>(&modal)) {
            EXPECT_TRUE(child<QLabel>(modal, "Label")->text().contains(QStringLiteral("3")));
            click(modal, "ButtonYes");
        } else if (!qobject_cast<QProgressDialog*>(&modal)) {
            ADD_FAILURE() << "unexpected window " << modal.metaObject()->className();
            return false;
        }
        return !qobject_cast<QProgressDialog*>(&modal);
    });
    QTest::mouseClick(button, Qt::LeftButton);

    EXPECT_EQ(seen.front(), "konfigor::TScanSettingsForm");
    EXPECT_EQ(seen.back(), "konfigor::TReplaceForm");
    EXPECT_EQ(sheet.remotes[0].description.toUtf8(), "Brama Kowalski");
    EXPECT_EQ(sheet.remotes[1].description.toUtf8(), "Garaż Nowak");
    EXPECT_EQ(sheet.remotes[2].description.toUtf8(), "Furtka");
    EXPECT_TRUE(sheet.remotes[2].copyLock);
    EXPECT_EQ(sheet.remotes[0].codeCounter, 77) << "the sheet's counter stays";
    EXPECT_TRUE(form->windowTitle().contains(QStringLiteral("klient.kvr")));
    EXPECT_EQ(form->configuration().searchFolders(),
              std::vector<std::filesystem::path>{tree.path("pliki")});
    EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "the busy cursor is gone";
    EXPECT_TRUE(prompts.allAnswersUsed());
}

} // namespace
} // namespace konfigor
