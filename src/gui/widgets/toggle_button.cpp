#include "gui/widgets/toggle_button.h"

#include <utility>

namespace konfigor {

ToggleButton::ToggleButton(QWidget* parent) : QToolButton(parent) {
    setCheckable(true);
    setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    setAutoRaise(false);
    // A press from either side releases the group; only a user's click reports.
    connect(this, &QAbstractButton::toggled, this, [this](bool pressed) {
        if (pressed)
            releaseGroupMembers();
    });
    connect(this, &QAbstractButton::clicked, this, [this] {
        if (std::exchange(userChanged_, false))
            Q_EMIT toggledByUser(isChecked());
    });
}

void ToggleButton::setPressed(bool pressed) {
    if (pressed == isChecked())
        return;
    const QSignalBlocker noHandlers(this);
    setChecked(pressed);
    if (pressed)
        releaseGroupMembers();
}

void ToggleButton::setGroupIndex(int index) {
    groupIndex_ = index;
    if (isChecked())
        releaseGroupMembers();
}

void ToggleButton::setAllowAllUp(bool allow) {
    allowAllUp_ = allow;
    for (ToggleButton* member : groupMembers())
        member->allowAllUp_ = allow;
}

void ToggleButton::nextCheckState() {
    // A group that must keep one button down ignores a click on the pressed one.
    if (isChecked() && groupIndex_ != 0 && !allowAllUp_)
        return;
    userChanged_ = true;
    setChecked(!isChecked());
}

QList<ToggleButton*> ToggleButton::groupMembers() const {
    QList<ToggleButton*> members;
    if (groupIndex_ == 0 || parentWidget() == nullptr)
        return members;
    for (ToggleButton* button :
         parentWidget()->findChildren<ToggleButton*>(Qt::FindDirectChildrenOnly)) {
        if (button != this && button->groupIndex_ == groupIndex_)
            members.append(button);
    }
    return members;
}

void ToggleButton::releaseGroupMembers() {
    for (ToggleButton* member : groupMembers())
        member->setPressed(false);
}

} // namespace konfigor
