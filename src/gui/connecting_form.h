#pragma once

#include "session/connecting_procedure.h"
#include "session/session_dialogs.h"

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

namespace konfigor {

class ReceiverLink;
class TextTable;

// The modal "please wait" dialog of connecting and disconnecting. Its 50 ms timer runs the
// ConnectingProcedure; a 100 ms timer only keeps the bar moving.
class TConnectingForm : public QDialog, public ConnectingDialog {
    Q_OBJECT

public:
    TConnectingForm(ReceiverLink& link, const TextTable& texts, QWidget* parent = nullptr);

    void runConnect(const std::string& portPath) override;
    void runDisconnect() override;
    bool isVisible() const override { return QDialog::isVisible(); }
    void closeDialog() override;

    // Again after the language changed.
    void applyTexts();

    const ConnectingProcedure& procedure() const { return procedure_; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void TimerTimer();
    void TimerConnectTimer();
    void showLabel(Msg label);
    void runModal();

    const TextTable& texts_;
    ConnectingProcedure procedure_;
    QLabel* label_ = nullptr;
    QProgressBar* progressBar_ = nullptr;
    QPushButton* buttonCancel_ = nullptr;
    QTimer* timer_ = nullptr;
    QTimer* timerConnect_ = nullptr;
};

} // namespace konfigor
