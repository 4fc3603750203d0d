#pragma once

class QBoxLayout;
class QWidget;

namespace konfigor {

// A dialog sized to its controls can be narrower than its caption, which the window manager then
// cuts. This keeps room in `layout` (the window's own, fixed to its size) for the caption as it
// is now and whenever it changes, a language switch included.
void keepRoomForTitle(QWidget& window, QBoxLayout& layout);

} // namespace konfigor
