#pragma once

class QIcon;

namespace konfigor {

enum class EditIcon { Cut, Copy, Paste, Undo, Redo };

// The editing commands' icon from the desktop's icon theme; where the theme has none, the
// program's own drawing (scissors, two sheets, a clipboard) or the style's arrows. Needs a
// QApplication.
QIcon editIcon(EditIcon command);

} // namespace konfigor
