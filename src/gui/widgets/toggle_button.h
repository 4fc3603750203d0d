#pragma once

#include <QToolButton>

namespace konfigor {

// An image push button whose pressed state stays until it is pressed again. A user click that
// changes the state emits toggledByUser(); setPressed() from code changes it silently. Buttons
// of one parent widget sharing a non-zero group index release each other; such a group keeps
// one button down unless allowAllUp is set.
class ToggleButton : public QToolButton {
    Q_OBJECT

public:
    explicit ToggleButton(QWidget* parent = nullptr);

    bool isPressed() const { return isChecked(); }
    // Never emits toggledByUser(); releases the rest of the group when pressing.
    void setPressed(bool pressed);

    int groupIndex() const { return groupIndex_; }
    void setGroupIndex(int index);
    bool allowAllUp() const { return allowAllUp_; }
    // Applies to the whole group, as the group shares one rule.
    void setAllowAllUp(bool allow);

Q_SIGNALS:
    void toggledByUser(bool pressed);

protected:
    void nextCheckState() override;

private:
    QList<ToggleButton*> groupMembers() const;
    void releaseGroupMembers();

    int groupIndex_ = 0;
    bool allowAllUp_ = false;
    bool userChanged_ = false;
};

} // namespace konfigor
