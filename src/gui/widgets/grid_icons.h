#pragma once

class QIcon;

namespace konfigor {

// The grids' 16 x 16 icons, drawn by the program itself at device pixel ratios 1 and 2:
// 0-3 channels 1-4, 4-7 the buttons 1-4 of an event, 8 an unknown remote's event, 9 a button
// that operates no channel, 10 the copy lock. Any other index gives an empty icon. Needs a
// QGuiApplication.
const QIcon& gridIcon(int index);

} // namespace konfigor
