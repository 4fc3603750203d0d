#pragma once

#include "session/pin_dialogs.h"

#include <QDialog>
#include <QPointer>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace konfigor {

class TextTable;
class UserPrompts;

// "Zabezpieczenie odbiornika KVR ZOR": asks for the receiver's PIN. OK closes it only with
// all five digits entered.
class TFormPin : public QDialog {
    Q_OBJECT

public:
    TFormPin(UserPrompts& prompts, const TextTable& texts, QWidget* parent = nullptr);

    QString pin() const;

    // Again after the language changed.
    void applyTexts();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void ButtonOkClick();

    UserPrompts& prompts_;
    const TextTable& texts_;
    QLineEdit* editPin_ = nullptr;
    QPushButton* buttonOk_ = nullptr;
    QPushButton* buttonCancel_ = nullptr;
};

// The PIN change: whether the receiver asks for a PIN and, if so, the new one typed twice. OK
// closes it only with a PIN that checkNewPin accepts.
class TFormPinEdit : public QDialog {
    Q_OBJECT

public:
    TFormPinEdit(UserPrompts& prompts, const TextTable& texts, QWidget* parent = nullptr);

    // Enables the requirement box and sets it; the edits follow it.
    void setPinRequired(bool required);
    bool isPinRequired() const;
    QString pin() const;

    // Again after the language changed.
    void applyTexts();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void CheckBoxPinRequierdClick();
    void ButtonOkClick();

    UserPrompts& prompts_;
    const TextTable& texts_;
    QCheckBox* checkBoxPinRequierd_ = nullptr;
    QLabel* label1_ = nullptr;
    QLabel* label2_ = nullptr;
    QLineEdit* editPin_ = nullptr;
    QLineEdit* editPin2_ = nullptr;
    QPushButton* buttonOk_ = nullptr;
    QPushButton* buttonCancel_ = nullptr;
};

// The two PIN windows over the main window, run modally for the session.
class QtPinDialogs final : public PinDialogs {
public:
    QtPinDialogs(QWidget* mainWindow, UserPrompts& prompts, const TextTable& texts);
    ~QtPinDialogs() override;
    QtPinDialogs(const QtPinDialogs&) = delete;
    QtPinDialogs& operator=(const QtPinDialogs&) = delete;

    bool isPinEntryVisible() const override;
    std::optional<std::string> askPin() override;
    std::optional<NewPin> askNewPin(bool required) override;

    // Again after the language changed.
    void applyTexts();

    TFormPin* formPin() const { return formPin_; }
    TFormPinEdit* formPinEdit() const { return formPinEdit_; }

private:
    // The main window owns the forms as its children; whichever goes first, nothing dangles.
    QPointer<TFormPinEdit> formPinEdit_;
    QPointer<TFormPin> formPin_;
};

} // namespace konfigor
