#include "sheet/remote_grid.h"

#include "sheet/settings_sheet.h"

namespace konfigor {

StringGridRemote::StringGridRemote(const SettingsSheet& sheet, const TextTable& texts,
                                   QWidget* parent)
    : SheetGridView(texts, static_cast<int>(kRemoteSlotCount), kRemoteGridColumns, parent),
      sheet_(sheet) {
    setObjectName(QStringLiteral("StringGridRemote"));
    attachModel();
}

void StringGridRemote::setAdminLockRowsShaded(bool shaded) {
    if (shaded == adminLockRowsShaded_)
        return;
    adminLockRowsShaded_ = shaded;
    viewport()->update();
}

void StringGridRemote::setDragRange(std::optional<std::pair<int, int>> range) {
    if (range == dragRange_)
        return;
    dragRange_ = range;
    viewport()->update();
}

CellLook StringGridRemote::lookAt(int row, int column, int width) const {
    const RemoteGridState state{currentRow(), adminLockRowsShaded_, dragRange_};
    return remoteCellLook(sheet_, row, column, width, state, texts(), gridPalette());
}

} // namespace konfigor
