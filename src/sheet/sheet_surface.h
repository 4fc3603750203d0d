#pragma once

#include <cstddef>
#include <string>

namespace konfigor {

// The main window's status bar panels the sheet logic writes to, by their index.
enum class StatusPanel : std::size_t {
    Link = 0,      // the link's state
    Operation = 1, // the last command's outcome, e.g. what undo just took back
    SaveState = 3,
};

// Captions and enabled states of the undo and redo menu items; the tool buttons follow the
// items' enabled states.
struct UndoRedoCaptions {
    std::string undo;
    bool undoEnabled = false;
    std::string redo;
    bool redoEnabled = false;

    friend bool operator==(const UndoRedoCaptions&, const UndoRedoCaptions&) = default;
};

// What the sheet logic needs the main window to show. The window reads the sheet and the link's
// image itself when asked to refresh, so the calls carry only what the window cannot know.
class SheetSurface {
public:
    virtual ~SheetSurface() = default;

    virtual void setStatusText(StatusPanel panel, const std::string& text) = 0;
    virtual void showUndoRedo(const UndoRedoCaptions& captions) = 0;
    // The identifier field and the window title from the sheet.
    virtual void showIdentifierAndTitle() = 0;
    // The global and administrative copy-lock toggles from the link's image.
    virtual void showCopyLocks() = 0;
    virtual void repaintGrids() = 0;
    virtual void refreshClipboardCommands() = 0;
};

} // namespace konfigor
