#pragma once

#include <cstddef>

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace konfigor {

class ChannelEditor;
class TextTable;

// "Edycja kanału...": one channel's description, relay time, momentary mode and double press.
// Opened window-modal over the main window; OK closes it only once the editor took the values.
class TEditChannelForm : public QDialog {
    Q_OBJECT

public:
    explicit TEditChannelForm(const TextTable& texts, QWidget* parent = nullptr);

    // Fills the controls from the channel (0-3) and opens the dialog without waiting; false,
    // and nothing shown, while the receiver link waits for an operation's answer.
    bool openFor(ChannelEditor& editor, std::size_t channel);

    // Again after the language changed.
    void applyTexts();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void CBTransientModeClick();
    void ButtonOkClick();

    const TextTable& texts_;
    ChannelEditor* editor_ = nullptr;
    std::size_t channel_ = 0;
    char decimalSeparator_ = '.';

    QLabel* labelChannel_ = nullptr;
    QLineEdit* editDescription_ = nullptr;
    QLineEdit* editTime_ = nullptr;
    QCheckBox* cbTransientMode_ = nullptr;
    QCheckBox* cbDblSwitch_ = nullptr;
};

} // namespace konfigor
