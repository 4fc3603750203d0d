#pragma once

#include "search/description_merge.h"

#include <QDialog>

class QLabel;
class QPushButton;

namespace konfigor {

class TextTable;

// The replace question of the description search: "Tak", "Tak, wszystkie", "Nie",
// "Nie, wszystkie", sized to its text. Created once and reused for every question.
class TReplaceForm : public QDialog {
    Q_OBJECT

public:
    // The distances of the buttons and the text from the window's edges.
    static constexpr int kMinimumWidth = 460;
    static constexpr int kExtraWidth = 104;
    static constexpr int kExtraHeight = 70;
    static constexpr int kButtonsAboveBottom = 33;
    static constexpr int kFirstButtonLeft = 56;
    static constexpr int kLastButtonRight = 8;
    static constexpr int kButtonGap = 6;

    explicit TReplaceForm(const TextTable& texts, QWidget* parent = nullptr);

    // Modal; None when closed without a button.
    ReplaceAnswer ask(const QString& question);

    // Lays the window out for the question without showing it.
    void prepare(const QString& question);

private:
    void layOut();
    void answer(ReplaceAnswer given);

    QLabel* icon_ = nullptr;
    QLabel* label_ = nullptr;
    QPushButton* buttonYes_ = nullptr;
    QPushButton* buttonYesAll_ = nullptr;
    QPushButton* buttonNo_ = nullptr;
    QPushButton* buttonNoAll_ = nullptr;
    ReplaceAnswer answer_ = ReplaceAnswer::None;
};

} // namespace konfigor
