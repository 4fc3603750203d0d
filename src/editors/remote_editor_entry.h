#pragma once

#include "texts/text_lines.h"

#include <cstddef>
#include <optional>

namespace konfigor {

struct SettingsSheet;

// The ways into the remote editor from the main window.
enum class RemoteEditorWay {
    AddButton,  // ToolButtonRemoteAdd
    EditButton, // ToolButtonRemoteEdit
    MenuAdd,    // MenuRemoteAdd
    MenuEdit,   // MenuRemoteEdit
    DoubleClick,
    Enter,
};

struct RemoteEditorContext {
    bool receiverConnected = false;
    bool operationPending = false;
};

// What a way into the editor leads to: nothing, a warning, or the editor for the current slot
// alone or for the marked remotes together.
struct RemoteEditorEntry {
    enum class Action { Nothing, Warn, OpenSlot, OpenMarked };
    Action action = Action::Nothing;
    std::optional<Msg> warning;
    // "Dodaj następny pilot" is checked before the editor opens.
    bool checkAddNext = false;

    friend bool operator==(const RemoteEditorEntry&, const RemoteEditorEntry&) = default;
};

// Decides by the way's condition, then by the marks: at most one mark edits the current slot
// alone; two or more edit every marked remote together, or nothing when all are empty. While an
// operation with the receiver is pending no way opens the editor, so that its automatic write
// cannot cut into the operation.
RemoteEditorEntry decideRemoteEditorEntry(RemoteEditorWay way, const SettingsSheet& sheet,
                                          std::size_t currentSlot,
                                          const RemoteEditorContext& context);

} // namespace konfigor
