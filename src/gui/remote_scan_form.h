#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace konfigor {

class TextTable;

// "Skanowanie danych pilota": the detection's progress over the remote editor. Its button and
// Esc only report the wish to stop; the editor's logic closes it.
class TRemoteScanForm : public QDialog {
    Q_OBJECT

public:
    TRemoteScanForm(const TextTable& texts, QWidget* parent);

    void showLines(const QString& remoteLine, const QString& hint);
    // Centred over its parent, modal to it; nothing when already visible.
    void showOverParent();

    QString remoteLine() const;
    QString hint() const;

Q_SIGNALS:
    void cancelRequested();

public Q_SLOTS:
    void reject() override;

private:
    QLabel* labelRemote_ = nullptr;
    QLabel* labelHint_ = nullptr;
    QPushButton* buttonCancel_ = nullptr;
};

} // namespace konfigor
