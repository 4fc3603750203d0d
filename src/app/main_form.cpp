#include "app/main_form.h"

#include "app/control_texts.h"
#include "app/qt_text.h"
#include "app/texts/text_lines.h"
#include "app/texts/untranslated_texts.h"

#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>

namespace konfigor {
namespace {

constexpr std::string_view kWindowClass = "TMainForm";
constexpr std::array<int, TMainForm::kStatusPanelCount> kStatusPanelWidths{230, 50, 60, 180};
// Panel 1 takes the width the others leave. All panels are permanent so that a status tip
// never hides the link state.
constexpr int kStretchingStatusPanel = 1;

} // namespace

TMainForm::TMainForm(CommandLine commandLine, QWidget* parent)
    : QMainWindow(parent), commandLine_(std::move(commandLine)) {
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(toQString(untranslated(Untranslated::ProgramTitle)));
    setMinimumSize(500, 420);
    resize(791, 704);
    setCentralWidget(new QWidget(this));

    buildMainMenu();
    buildStatusBar();
    applyControlTexts(*this, kWindowClass, texts_);
    setStatusPanel(0, QString::fromStdString(texts_.text(Msg::SelectPortAndConnect)));
}

void TMainForm::setStatusPanel(int panel, const QString& text) {
    statusPanels_.at(static_cast<std::size_t>(panel))->setText(text);
}

QString TMainForm::statusPanel(int panel) const {
    return statusPanels_.at(static_cast<std::size_t>(panel))->text();
}

void TMainForm::buildMainMenu() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu"));

    QMenu* file = addMenu(nullptr, "MainMenuFile");
    addAction(file, "MenuOptions", QKeySequence(Qt::CTRL | Qt::Key_F12));
    file->addSeparator();
    QAction* quit = addAction(file, "MainMenuQuit");
    connect(quit, &QAction::triggered, this, &QWidget::close);

    QMenu* print = addMenu(nullptr, "MainMenuPrint");
    addAction(print, "MainMenuPrintArkuszKVR");

    QMenu* edit = addMenu(nullptr, "MainMenuEdit");
    addAction(edit, "MenuUndo", QKeySequence(Qt::CTRL | Qt::Key_Z))
        ->setText(QString::fromStdString(texts_.text(Msg::UndoCaption)));
    addAction(edit, "MenuRedo", QKeySequence(Qt::CTRL | Qt::Key_Y))
        ->setText(QString::fromStdString(texts_.text(Msg::RedoCaption)));
    edit->addSeparator();
    addAction(edit, "MainMenuCut", QKeySequence(Qt::CTRL | Qt::Key_X));
    addAction(edit, "MainMenuCopy", QKeySequence(Qt::CTRL | Qt::Key_C));
    addAction(edit, "MainMenuPaste", QKeySequence(Qt::CTRL | Qt::Key_V));

    // Filled from the language files found at start-up; empty means disabled.
    addMenu(nullptr, "MainMenuLanguage")->setEnabled(false);

    QMenu* help = addMenu(nullptr, "MainMenuHelp");
    QMenu* manuals = addMenu(help, "MainMenuHelpIndex");
    addAction(manuals, "MainMenuHelpSoft", QKeySequence(Qt::Key_F1));
    addAction(manuals, "MainMenuHelpReciever");
    addAction(manuals, "MainMenuHelpRecieverLumo");
    addAction(manuals, "MainMenuHelpInterface");
    addAction(manuals, "MainMenuHelpClone");
    addAction(help, "MainMenuUpdate")
        ->setText(toQString(untranslated(Untranslated::MenuHelpCheckUpdates)));
    help->addSeparator();
    addAction(help, "MainMenuAbout");
}

void TMainForm::buildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar"));
    for (int panel = 0; panel < kStatusPanelCount; ++panel) {
        auto* label = new QLabel(bar);
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setObjectName(QStringLiteral("StatusPanel%1").arg(panel));
        const int width = kStatusPanelWidths.at(static_cast<std::size_t>(panel));
        if (panel == kStretchingStatusPanel) {
            label->setMinimumWidth(width);
            bar->addPermanentWidget(label, 1);
        } else {
            label->setFixedWidth(width);
            bar->addPermanentWidget(label);
        }
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

} // namespace konfigor
