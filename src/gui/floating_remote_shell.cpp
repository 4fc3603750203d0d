#include "gui/floating_remote_shell.h"

#include "gui/floating_remote_form.h"
#include "gui/main_form_controls.h"
#include "gui/qt_text.h"
#include "gui/widgets/toggle_button.h"
#include "texts/untranslated_texts.h"

#include <algorithm>
#include <optional>

#include <QApplication>
#include <QPainter>
#include <QSystemTrayIcon>
#include <QTimer>

namespace konfigor {
namespace {

std::optional<TrayClick> clickOf(QSystemTrayIcon::ActivationReason reason) {
    switch (reason) {
    case QSystemTrayIcon::Trigger:
        return TrayClick::Left;
    case QSystemTrayIcon::MiddleClick:
        return TrayClick::Middle;
    case QSystemTrayIcon::Context:
        return TrayClick::Right;
    case QSystemTrayIcon::DoubleClick:
        return TrayClick::Double;
    case QSystemTrayIcon::Unknown:
        break;
    }
    return std::nullopt;
}

// The remote itself stands in where the program has no icon of its own.
QIcon trayIconFor(const QWidget& mainWindow, const QImage& remote) {
    const QIcon own = mainWindow.windowIcon();
    if (!own.isNull() || remote.isNull())
        return own;
    const int side = std::max(remote.width(), remote.height());
    QImage square(side, side, QImage::Format_ARGB32_Premultiplied);
    square.fill(Qt::transparent);
    QPainter painter(&square);
    painter.drawImage((side - remote.width()) / 2, (side - remote.height()) / 2, remote);
    painter.end();
    return QIcon(QPixmap::fromImage(square));
}

} // namespace

FloatingRemoteShell::FloatingRemoteShell(QWidget& mainWindow, const MainFormControls& controls,
                                         VirtualRemote& remote, Configuration& configuration,
                                         Clock& clock, const TextTable& texts)
    : QObject(&mainWindow), mainWindow_(mainWindow), controls_(controls),
      form_(std::make_unique<TRemoteForm>(remote, configuration, clock, texts)) {
    trayIcon_ = new QSystemTrayIcon(this);
    trayIcon_->setObjectName(QStringLiteral("TrayIcon"));
    trayIcon_->setIcon(trayIconFor(mainWindow_, form_->canvas()));
    trayIcon_->setToolTip(toQString(untranslated(Untranslated::ProgramTitle)));
    trayIcon_->setContextMenu(&form_->popupMenu());

    connect(controls_.buttonRemoteShow, &ToggleButton::toggledByUser, this,
            [this](bool down) { run(mode_.showButtonToggled(down)); });
    connect(form_.get(), &TRemoteForm::menuOpening, this, [this](bool fromThisWindow) {
        mode_.menuOpened(fromThisWindow ? MenuOrigin::FloatingWindow : MenuOrigin::TrayIcon);
    });
    connect(form_.get(), &TRemoteForm::showMainChosen, this,
            [this] { run(mode_.showMainChosen()); });
    connect(form_.get(), &TRemoteForm::closeChosen, this,
            [this] { run(mode_.closeChosen(mainWindow_.isVisible())); });
    connect(trayIcon_, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (const std::optional<TrayClick> click = clickOf(reason))
                    run(mode_.trayIconClicked(*click));
            });
    connect(qApp, &QGuiApplication::applicationStateChanged, this,
            [this](Qt::ApplicationState state) {
                if (state != Qt::ApplicationActive)
                    run(mode_.applicationDeactivated(isFloatingShown()));
            });
}

FloatingRemoteShell::~FloatingRemoteShell() {
    // The icon shows the window's menu: it goes first.
    delete trayIcon_;
}

bool FloatingRemoteShell::isFloatingShown() const {
    return form_->isVisible();
}

void FloatingRemoteShell::receiverControlsEnabled(bool on, bool duringTransfer) {
    run(mode_.receiverControlsEnabled(on, duringTransfer, isFloatingShown()));
}

bool FloatingRemoteShell::mainWindowMayClose() {
    const std::optional<ShellSteps> toTray = mode_.hideToTrayInsteadOfClosing(
        isFloatingShown(), QSystemTrayIcon::isSystemTrayAvailable());
    if (!toTray)
        return true;
    run(*toTray);
    return false;
}

void FloatingRemoteShell::mainWindowClosing() {
    // Qt ends its event loop when the last visible window closes; a main window closed from
    // the tray was hidden, so the program is ended here, once the closing is over.
    if (mainWindow_.isHidden())
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    run(mode_.mainWindowClosing(isFloatingShown()));
}

void FloatingRemoteShell::quitChosen() {
    run(mode_.quitChosen(isFloatingShown()));
}

void FloatingRemoteShell::run(const ShellSteps& steps) {
    for (const ShellStep step : steps) {
        switch (step) {
        case ShellStep::ShowFloating:
            form_->showPlaced(mainWindow_.pos());
            break;
        case ShellStep::CloseFloating:
            if (isFloatingShown())
                form_->close();
            break;
        case ShellStep::RaiseFloating:
            if (isFloatingShown())
                form_->raise();
            break;
        case ShellStep::ReleaseShowButton:
            controls_.buttonRemoteShow->setPressed(false);
            break;
        case ShellStep::ShowMainWindow:
            mainWindow_.setWindowState(mainWindow_.windowState() & ~Qt::WindowMinimized);
            mainWindow_.show();
            mainWindow_.activateWindow();
            break;
        case ShellStep::HideMainWindow:
            mainWindow_.hide();
            break;
        case ShellStep::CloseMainWindow:
            mainWindow_.close();
            break;
        case ShellStep::ShowTrayIcon:
            trayIcon_->show();
            break;
        case ShellStep::HideTrayIcon:
            trayIcon_->hide();
            break;
        }
    }
}

} // namespace konfigor
