#pragma once

#include <QDialog>

namespace konfigor {

class TextTable;

// "O programie": the program's name and version, and what it is for. Modal, 100 pixels right
// of and below the main window's corner.
class TAboutForm : public QDialog {
    Q_OBJECT

public:
    explicit TAboutForm(const TextTable& texts, QWidget* parent = nullptr);

protected:
    void showEvent(QShowEvent* event) override;
};

// "Konfigor USB ver. a.b.c.d ", as the window shows it in bold.
QString programTitleWithVersion();

} // namespace konfigor
