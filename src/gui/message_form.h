#pragma once

#include "session/session_dialogs.h"

#include <QDialog>

class QLabel;
class QPushButton;

namespace konfigor {

// The stay-on-top warning: exclamation icon and sound, a word-wrapped text and one OK button,
// centred on the screen and modal.
class TMessageForm : public QDialog, public WarningWindow {
    Q_OBJECT

public:
    explicit TMessageForm(QWidget* parent = nullptr);

    // Modal; returns when the user pressed OK or close() was called meanwhile.
    void show(const std::string& text, const std::string& title) override;
    bool isVisible() const override { return QDialog::isVisible(); }
    void close() override;

private:
    void layOut();

    QLabel* icon_ = nullptr;
    QLabel* text_ = nullptr;
    QPushButton* okButton_ = nullptr;
};

} // namespace konfigor
