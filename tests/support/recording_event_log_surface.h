#pragma once

#include "eventlog/event_log_view.h"

namespace konfigor::testing_support {

// The events tab as the view leaves it.
class RecordingEventLogSurface final : public EventLogSurface {
public:
    void showEventRows(int count) override { rowCount = count; }
    void selectLastEventRow() override { selectedRow = rowCount - 1; }
    void repaintEvents() override { ++repaints; }
    void runFlashTimer(bool running) override { flashTimerRunning = running; }
    void focusEventGrid() override { gridFocused = true; }

    int rowCount = 0;
    int selectedRow = 0;
    int repaints = 0;
    bool flashTimerRunning = false;
    bool gridFocused = false;
};

} // namespace konfigor::testing_support
