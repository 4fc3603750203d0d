#pragma once

#include "sheet/sheet_grid_view.h"

#include <optional>
#include <utility>

namespace konfigor {

struct SettingsSheet;
class TextTable;

// The remote grid of the settings sheet page: one row per slot, drawn from the sheet.
class StringGridRemote : public SheetGridView {
    Q_OBJECT

public:
    StringGridRemote(const SettingsSheet& sheet, const TextTable& texts, QWidget* parent);

    // Rows 1-3 in the workspace colour: the administrative copy lock is on and access granted.
    void setAdminLockRowsShaded(bool shaded);
    // Rows of a drag under way, in either order; nothing when no drag is under way.
    void setDragRange(std::optional<std::pair<int, int>> range);

    CellLook lookAt(int row, int column, int width) const override;

private:
    const SettingsSheet& sheet_;
    bool adminLockRowsShaded_ = false;
    std::optional<std::pair<int, int>> dragRange_;
};

} // namespace konfigor
