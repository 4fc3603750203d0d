#pragma once

#include "editors/remote_editor.h"

#include <array>
#include <cstddef>
#include <optional>

#include <QDialog>

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QTimer;

namespace konfigor {

class TRemoteScanForm;
class TextTable;
class ToggleButton;

// The remote editor: a new remote into an empty slot, one remote changed, or several marked
// remotes changed together. RemoteEditor decides; this window shows and forwards. It opens
// window-modal and reports its end through finishedEditing().
class TEditRemoteForm : public QDialog, public RemoteEditorView {
    Q_OBJECT

public:
    TEditRemoteForm(RemoteEditor& editor, const TextTable& texts, QWidget* parent);
    ~TEditRemoteForm() override;

    // Fills the controls from the setup and opens centred over the main window.
    void openWith(const RemoteEditorSetup& setup);
    // What the controls hold now, as OK would take it.
    RemoteForm form() const;
    // The ways in that chain new remotes check "Dodaj następny pilot" before opening.
    void setAddNextChecked(bool checked);
    TRemoteScanForm& scanForm() { return *scanForm_; }

    // --- RemoteEditorView ---
    void showProgress() override;
    bool isProgressVisible() const override;
    void closeProgress() override;
    void showProgressLines(const std::string& remoteLine, const std::string& hint) override;
    void setScanButtonDown(bool down) override;
    void showSerial(const std::string& number, bool multi) override;
    void setOkEnabled(bool enabled) override;
    void runProgressTimer(bool running) override;
    void startRefusalTimer() override;

Q_SIGNALS:
    // OK or Cancel; after OK with "Dodaj następny pilot", the next empty slot to open.
    void finishedEditing(bool accepted, std::optional<std::size_t> nextSlot);

public Q_SLOTS:
    void accept() override;
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildControls(const TextTable& texts);
    QGroupBox* addButtonGroup(std::size_t button, const TextTable& texts);
    void showBox(QCheckBox* box, BoxState state, bool mayBeGrey);
    void showDescriptionMixed(bool mixed);

    RemoteEditor& editor_;
    TRemoteScanForm* scanForm_ = nullptr;
    QLineEdit* descriptionEdit_ = nullptr;
    QLineEdit* remoteNoEdit_ = nullptr;
    QLineEdit* remoteIdEdit_ = nullptr;
    QCheckBox* checkBoxMulti_ = nullptr;
    QCheckBox* checkBoxCopyBlock_ = nullptr;
    std::array<std::array<QCheckBox*, kChannelCount>, kButtonCount> channelBoxes_{};
    QCheckBox* checkBoxAddNext_ = nullptr;
    ToggleButton* buttonScanRemote_ = nullptr;
    QPushButton* buttonOk_ = nullptr;
    QPushButton* buttonCancel_ = nullptr;
    QTimer* timer_ = nullptr;
    QTimer* timerRemoteCheck_ = nullptr;
    bool descriptionMixed_ = false;
};

} // namespace konfigor
