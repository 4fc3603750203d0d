#pragma once

#include "gui/sheet_grid_view.h"

namespace konfigor {

struct SettingsSheet;
class TextTable;

// The channel grid of the settings sheet page: one row per channel, drawn from the sheet.
class StringGridChannels : public SheetGridView {
    Q_OBJECT

public:
    StringGridChannels(const SettingsSheet& sheet, const TextTable& texts, QWidget* parent);

    CellLook lookAt(int row, int column, int width) const override;
    // Tall enough for its four rows and no more: the remote grid takes the rest of the page.
    QSize sizeHint() const override;

Q_SIGNALS:
    // Enter: the channel editor for the current row.
    void editorRequested();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    const SettingsSheet& sheet_;
};

} // namespace konfigor
