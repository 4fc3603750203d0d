#pragma once

#include "app/command_line.h"
#include "app/texts/text_table.h"

#include <array>

#include <QMainWindow>

class QLabel;
class QMenu;

namespace konfigor {

// The main window. It shows state and forwards the user's commands to the logic objects it
// owns; it decides nothing itself.
class TMainForm : public QMainWindow {
    Q_OBJECT

public:
    static constexpr int kStatusPanelCount = 4;

    explicit TMainForm(CommandLine commandLine, QWidget* parent = nullptr);

    const TextTable& texts() const { return texts_; }

    void setStatusPanel(int panel, const QString& text);
    QString statusPanel(int panel) const;

private:
    void buildMainMenu();
    void buildStatusBar();
    QMenu* addMenu(QMenu* parent, const char* objectName);
    QAction* addAction(QMenu* menu, const char* objectName, const QKeySequence& shortcut = {});

    CommandLine commandLine_;
    TextTable texts_;
    std::array<QLabel*, kStatusPanelCount> statusPanels_{};
};

} // namespace konfigor
