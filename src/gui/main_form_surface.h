#pragma once

#include "eventlog/event_log_view.h"
#include "session/session_surface.h"
#include "sheet/sheet_surface.h"

namespace konfigor {

class TMainForm;

// Shows on the main window what the sheet and session logic ask to show.
class MainFormSurface final : public SheetSurface, public SessionSurface, public EventLogSurface {
public:
    explicit MainFormSurface(TMainForm& form) : form_(form) {}

    // SheetSurface
    void setStatusText(StatusPanel panel, const std::string& text) override;
    void showUndoRedo(const UndoRedoCaptions& captions) override;
    void showIdentifierAndTitle() override;
    void showCopyLocks() override;
    void repaintGrids() override;
    void refreshClipboardCommands() override;

    // SessionSurface
    void showReceiverControls(const ReceiverControls& controls) override;
    void enableTransferCommands(bool ready) override;
    void showConnectButton(bool connected) override;
    void showAdminCopyLockGate(bool enabled, const std::string& hint) override;
    void showPortList(const PortListState& ports) override;
    void runLinkTimer(bool running) override;
    void closeMainWindow() override;

    // EventLogSurface
    void showEventRows(int rowCount) override;
    void selectLastEventRow() override;
    void repaintEvents() override;
    void runFlashTimer(bool running) override;
    void focusEventGrid() override;

private:
    TMainForm& form_;
};

} // namespace konfigor
