#include "gui/message_box_prompts.h"

#include "gui/qt_text.h"

#include <QMessageBox>

namespace konfigor {
namespace {

QMessageBox::Icon iconOf(PromptIcon icon) {
    switch (icon) {
    case PromptIcon::Information:
        return QMessageBox::Information;
    case PromptIcon::Warning:
        return QMessageBox::Warning;
    case PromptIcon::Error:
        return QMessageBox::Critical;
    case PromptIcon::Question:
        return QMessageBox::Question;
    case PromptIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons buttonsOf(PromptButtons buttons) {
    switch (buttons) {
    case PromptButtons::Ok:
        return QMessageBox::Ok;
    case PromptButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case PromptButtons::YesNoCancel:
        break;
    }
    return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
}

QMessageBox::StandardButton buttonOf(PromptAnswer answer) {
    switch (answer) {
    case PromptAnswer::Ok:
        return QMessageBox::Ok;
    case PromptAnswer::Yes:
        return QMessageBox::Yes;
    case PromptAnswer::No:
        return QMessageBox::No;
    case PromptAnswer::Cancel:
        break;
    }
    return QMessageBox::Cancel;
}

} // namespace

PromptAnswer MessageBoxPrompts::ask(const Prompt& prompt) {
    QMessageBox box(iconOf(prompt.icon), toQString(prompt.caption), toQString(prompt.text),
                    buttonsOf(prompt.buttons), parent_);
    box.setDefaultButton(buttonOf(prompt.defaultAnswer));
    // Closing the box answers as the design says: Cancel where there is one, else No.
    if (prompt.buttons == PromptButtons::YesNo)
        box.setEscapeButton(QMessageBox::No);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return PromptAnswer::Yes;
    case QMessageBox::No:
        return PromptAnswer::No;
    case QMessageBox::Ok:
        return PromptAnswer::Ok;
    default:
        return prompt.buttons == PromptButtons::Ok ? PromptAnswer::Ok : PromptAnswer::Cancel;
    }
}

} // namespace konfigor
