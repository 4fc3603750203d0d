#pragma once

#include <string>

class QDialog;
class QHBoxLayout;
class QPushButton;
class QWidget;

namespace konfigor {

struct OkCancelRow {
    QPushButton* ok = nullptr;
    QPushButton* cancel = nullptr;
    QHBoxLayout* layout = nullptr;
};

// "ButtonOk", the default button, and "ButtonCancel", which rejects, at the right of a row the
// caller places. OK accepts unless `okAccepts` is false; the caller then decides on its click.
OkCancelRow okCancelRow(QDialog& dialog, bool okAccepts = true);

// The text table leaves some buttons without a caption; the built-in one stands in until a
// language gives them one.
void fillEmptyCaption(QWidget& window, const char* objectName, const std::string& caption);

} // namespace konfigor
