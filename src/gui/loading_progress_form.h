#pragma once

#include "session/session_dialogs.h"

#include <functional>

#include <QDialog>

class QEventLoop;
class QProgressBar;
class QPushButton;

namespace konfigor {

class TextTable;

// The modal progress dialog of a bulk transfer: on top, without system buttons. Cancel (the
// button or Escape) only calls `onCancel`; the session asks and ends the dialog with finish().
class TLoadingProgressForm : public QDialog, public TransferDialog {
    Q_OBJECT

public:
    TLoadingProgressForm(const TextTable& texts, std::function<void()> onCancel,
                         QWidget* parent = nullptr);

    // Centres the dialog on its parent, bar at 0, and runs it modally until finish(). While a
    // run is in progress the running transfer owns it: returns Abort at once.
    TransferResult run(const std::string& caption) override;
    // A run is in progress, also while the window is hidden with the minimised application.
    bool isVisible() const override { return loop_ != nullptr; }
    void setPercent(int percent) override;
    void finish(TransferResult result) override;

    int percent() const;
    // Again after the language changed.
    void applyTexts();

protected:
    void reject() override;

private:
    const TextTable& texts_;
    std::function<void()> onCancel_;
    QProgressBar* progressBar_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    QEventLoop* loop_ = nullptr; // of the run in progress
    TransferResult result_ = TransferResult::Abort;
};

} // namespace konfigor
