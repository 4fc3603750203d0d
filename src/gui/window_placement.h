#pragma once

class QWidget;

namespace konfigor {

// Sizes the dialog to its contents and centres it over its parent's window (nothing to centre
// over without a parent).
void centreOverParent(QWidget& dialog);

} // namespace konfigor
