#include "editors/remote_editor_entry.h"

#include "sheet/settings_sheet.h"

namespace konfigor {
namespace {

using Action = RemoteEditorEntry::Action;

// The way's own condition: nullopt to go on, else what it ends in.
std::optional<RemoteEditorEntry> wayCondition(RemoteEditorWay way, bool currentEmpty,
                                              const RemoteEditorContext& context) {
    switch (way) {
    case RemoteEditorWay::AddButton:
        if (!context.receiverConnected)
            return RemoteEditorEntry{};
        if (!currentEmpty)
            return RemoteEditorEntry{Action::Warn, Msg::SelectEmptyRowForRemote};
        return std::nullopt;
    case RemoteEditorWay::EditButton:
        if (currentEmpty)
            return RemoteEditorEntry{Action::Warn, Msg::SelectRemoteToEdit};
        return std::nullopt;
    case RemoteEditorWay::DoubleClick:
        if (!context.receiverConnected && currentEmpty)
            return RemoteEditorEntry{};
        return std::nullopt;
    case RemoteEditorWay::Enter:
        if (!context.receiverConnected)
            return RemoteEditorEntry{};
        return std::nullopt;
    case RemoteEditorWay::MenuAdd:
    case RemoteEditorWay::MenuEdit:
        return std::nullopt;
    }
    return RemoteEditorEntry{};
}

bool checksAddNext(RemoteEditorWay way, bool currentEmpty, const RemoteEditorContext& context) {
    switch (way) {
    case RemoteEditorWay::AddButton:
    case RemoteEditorWay::EditButton:
    case RemoteEditorWay::MenuAdd:
    case RemoteEditorWay::MenuEdit:
        return currentEmpty;
    case RemoteEditorWay::DoubleClick:
        return context.receiverConnected;
    case RemoteEditorWay::Enter:
        return false;
    }
    return false;
}

} // namespace

RemoteEditorEntry decideRemoteEditorEntry(RemoteEditorWay way, const SettingsSheet& sheet,
                                          std::size_t currentSlot,
                                          const RemoteEditorContext& context) {
    const bool currentEmpty = sheet.isEmpty(currentSlot);
    if (const auto stop = wayCondition(way, currentEmpty, context))
        return *stop;
    if (context.operationPending)
        return {};
    RemoteEditorEntry entry;
    entry.checkAddNext = checksAddNext(way, currentEmpty, context);
    if (sheet.countMarked() <= 1)
        entry.action = Action::OpenSlot;
    else if (sheet.countMarkedUsed() > 0)
        entry.action = Action::OpenMarked;
    else
        return {};
    return entry;
}

} // namespace konfigor
