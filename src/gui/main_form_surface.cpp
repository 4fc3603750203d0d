#include "gui/main_form_surface.h"

#include "gui/channel_grid.h"
#include "gui/event_grid.h"
#include "gui/floating_remote_shell.h"
#include "gui/main_form.h"
#include "gui/missing_features.h"
#include "gui/qt_text.h"
#include "gui/remote_grid.h"
#include "gui/widgets/toggle_button.h"
#include "link/port_list.h"
#include "session/app_core.h"
#include "session/receiver_controls.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyle>
#include <QTimer>
#include <QToolButton>

namespace konfigor {

void MainFormSurface::setStatusText(StatusPanel panel, const std::string& text) {
    form_.setStatusPanel(static_cast<int>(panel), toQString(text));
}

void MainFormSurface::showUndoRedo(const UndoRedoCaptions& captions) {
    const MainMenuActions& menu = form_.mainMenu();
    menu.undo->setText(toQString(captions.undo));
    menu.undo->setEnabled(captions.undoEnabled);
    menu.redo->setText(toQString(captions.redo));
    menu.redo->setEnabled(captions.redoEnabled);
    form_.controls().toolButtonUndo->setEnabled(captions.undoEnabled);
    form_.controls().toolButtonRedo->setEnabled(captions.redoEnabled);
}

void MainFormSurface::showIdentifierAndTitle() {
    const SettingsSheet& sheet = form_.core().sheet();
    if (QLineEdit* edit = form_.controls().idMemorySheetEdit)
        edit->setText(toQString(sheet.identifier.toUtf8()));
    form_.setWindowTitle(toQString(windowTitle(form_.core().files().currentFileName())));
}

void MainFormSurface::showCopyLocks() {
    const ReceiverControls shown =
        receiverControls(form_.link().isRunning(), form_.link(), form_.core().options());
    form_.controls().checkBoxGlobalnaBlokadaKopiowania->setPressed(shown.globalCopyLockPressed);
    form_.controls().checkBoxAdministracyjnaBlokadaKopiowania->setPressed(
        shown.adminCopyLockPressed);
}

void MainFormSurface::repaintGrids() {
    form_.remoteGrid().setAdminLockRowsShaded(form_.core().session().areAdminLockRowsShaded());
    form_.remoteGrid().repaintCells();
    form_.channelGrid().repaintCells();
    // The events grid's header names the channels by their descriptions.
    form_.eventGrid().repaintCells();
}

void MainFormSurface::refreshClipboardCommands() {
    form_.refreshClipboardCommands();
}

void MainFormSurface::showReceiverControls(const ReceiverControls& shown) {
    const MainFormControls& c = form_.controls();
    c.comboBoxPorts->setEnabled(!shown.enabled);
    const std::initializer_list<QWidget*> receiverControls{
        c.toolBtnLoadChip,
        c.toolBtnSaveChip,
        c.buttonRemote[0],
        c.buttonRemote[1],
        c.buttonRemote[2],
        c.buttonRemote[3],
        c.remoteSettingsButton,
        c.buttonRemoteShow,
        c.buttonPin,
        c.checkBoxGlobalnaBlokadaKopiowania,
        c.checkBoxAdministracyjnaBlokadaKopiowania,
        c.buttonReset};
    for (QWidget* control : receiverControls)
        enableIfFeatured(control, shown.enabled);
    // Entering a remote needs the receiver to hear it; offline the button would do nothing.
    c.toolButtonRemoteAdd->setEnabled(shown.enabled);
    c.menuRemoteLoadEprom->setEnabled(shown.enabled);
    c.menuRemoteSaveEprom->setEnabled(shown.enabled);
    c.buttonPin->setPressed(shown.pinPressed);
    c.toolBtnAutosave->setPressed(shown.autosavePressed);
    c.checkBoxGlobalnaBlokadaKopiowania->setPressed(shown.globalCopyLockPressed);
    c.checkBoxAdministracyjnaBlokadaKopiowania->setPressed(shown.adminCopyLockPressed);
    const SessionState& state = form_.core().state();
    form_.floatingRemote().receiverControlsEnabled(shown.enabled,
                                                   state.bulkReadActive || state.bulkWriteActive);
}

void MainFormSurface::enableTransferCommands(bool ready) {
    const MainFormControls& c = form_.controls();
    for (QWidget* control : std::initializer_list<QWidget*>{
             c.toolBtnLoadChip, c.toolBtnSaveChip, c.buttonRemote[0], c.buttonRemote[1],
             c.buttonRemote[2], c.buttonRemote[3], c.buttonRemoteShow})
        enableIfFeatured(control, ready);
}

void MainFormSurface::showConnectButton(bool connected) {
    QPushButton* button = form_.controls().buttonConnect;
    button->setText(
        toQString(form_.texts().text(connected ? Msg::DisconnectCaption : Msg::ConnectCaption)));
    button->setIcon(button->style()->standardIcon(connected ? QStyle::SP_DialogCloseButton
                                                            : QStyle::SP_DialogApplyButton));
}

void MainFormSurface::showAdminCopyLockGate(bool enabled, const std::string& hint) {
    ToggleButton* toggle = form_.controls().checkBoxAdministracyjnaBlokadaKopiowania;
    enableIfFeatured(toggle, enabled);
    toggle->setToolTip(toQString(hint));
    toggle->setStatusTip(toQString(hint));
}

void MainFormSurface::showPortList(const PortListState& ports) {
    QComboBox* combo = form_.controls().comboBoxPorts;
    const QSignalBlocker quiet(combo);
    combo->clear();
    for (const InterfacePort& port : ports.entries)
        combo->addItem(toQString(port.displayName), toQString(port.path));
    combo->setCurrentIndex(ports.selected ? static_cast<int>(*ports.selected) : -1);
    form_.controls().buttonConnect->setEnabled(ports.connectEnabled);
}

void MainFormSurface::runLinkTimer(bool running) {
    QTimer* timer = form_.controls().timerKvr;
    if (running)
        timer->start();
    else
        timer->stop();
}

void MainFormSurface::closeMainWindow() {
    // Not from inside the tick that asks: the close query runs the logic again.
    QTimer::singleShot(0, &form_, &QWidget::close);
}

// --- EventLogSurface ---

void MainFormSurface::showEventRows(int rowCount) {
    form_.eventGrid().showRows(rowCount);
}

void MainFormSurface::selectLastEventRow() {
    form_.eventGrid().selectLastRow();
}

void MainFormSurface::repaintEvents() {
    form_.eventGrid().repaintCells();
}

void MainFormSurface::runFlashTimer(bool running) {
    QTimer* timer = form_.controls().timerLogFlash;
    if (running)
        timer->start();
    else
        timer->stop();
}

void MainFormSurface::focusEventGrid() {
    form_.eventGrid().setFocus();
}

} // namespace konfigor
