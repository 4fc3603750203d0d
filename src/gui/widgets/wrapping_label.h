#pragma once

#include <QLabel>

namespace konfigor {

// A word-wrapped label that asks its layout for as many lines as its text needs at the width it
// was given. Layouts that ignore height-for-width (the status bar's) then grow a line instead of
// cutting the text.
class WrappingLabel : public QLabel {
    Q_OBJECT

public:
    explicit WrappingLabel(QWidget* parent = nullptr);

    // Layouts see a plain height: a box layout measuring height for width would ask at the
    // label's minimum width and make the bar as tall as a one-word column.
    bool hasHeightForWidth() const override { return false; }
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    int neededHeight() const;

    int lastNeededHeight_ = 0;
};

} // namespace konfigor
