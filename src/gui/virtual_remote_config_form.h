#pragma once

#include "remote/virtual_remote.h"

#include <array>

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace konfigor {

class TextTable;

// "Konfiguracja wirtualnego plota": the virtual remote's name and the channels each of its four
// buttons operates. OK hands both to the VirtualRemote; Cancel and Esc change nothing.
class TVirtualRemoteConfigForm : public QDialog {
    Q_OBJECT

public:
    TVirtualRemoteConfigForm(VirtualRemote& remote, const TextTable& texts, QWidget* parent);

    // Fills the controls from the remote and runs the dialog modally, centred over its parent.
    void edit();

public Q_SLOTS:
    void accept() override;

private:
    VirtualRemote& remote_;
    QLineEdit* descriptionEdit_ = nullptr;
    std::array<std::array<QCheckBox*, VirtualRemote::kChannelCount>, VirtualRemote::kButtonCount>
        boxes_{};
};

} // namespace konfigor
