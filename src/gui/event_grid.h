#pragma once

#include "gui/sheet_grid_view.h"

namespace konfigor {

class EventLogView;
class EventsLog;
struct SettingsSheet;
class TextTable;

// The events tab's grid: one row per event of the log, the newest last, drawn from the log.
class StringGridLogs : public SheetGridView {
    Q_OBJECT

public:
    StringGridLogs(const EventsLog& log, const EventLogView& view, const SettingsSheet& sheet,
                   const TextTable& texts, QWidget* parent);

    CellLook lookAt(int row, int column, int width) const override;

    // `rowCount` counts the header row, as the log's view does.
    void showRows(int rowCount);
    void selectLastRow();
    // The last row is in view, all of it: only then does the newest event flash.
    bool isLastRowVisible() const;

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void fitHeaderHeight();
    void fitTimeColumns();

    const EventsLog& log_;
    const EventLogView& view_;
    const SettingsSheet& sheet_;
};

} // namespace konfigor
