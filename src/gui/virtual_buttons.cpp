#include "gui/virtual_buttons.h"

#include "config/configuration.h"
#include "gui/main_form_controls.h"
#include "gui/virtual_remote_config_form.h"
#include "remote/virtual_remote.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>

namespace konfigor {
namespace {

VirtualButtonKey keyOf(int key) {
    switch (key) {
    case Qt::Key_Space:
        return VirtualButtonKey::Space;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return VirtualButtonKey::Enter;
    default:
        return VirtualButtonKey::Other;
    }
}

} // namespace

VirtualButtons::VirtualButtons(QWidget& window, const MainFormControls& controls,
                               VirtualRemote& remote, Configuration& configuration,
                               const TextTable& texts)
    : QObject(&window), window_(window), controls_(controls), remote_(remote),
      configuration_(configuration) {
    // Once, at creation: an empty name and buttons without channels take their built-in values.
    remote_.loadFrom(configuration_);
    remote_.restoreBuiltIns();
    configForm_ = new TVirtualRemoteConfigForm(remote_, texts, &window_);
    for (QPushButton* button : controls_.buttonRemote) {
        connect(button, &QPushButton::clicked, this, [this, button] {
            const int number = buttonOf(button);
            remote_.buttonClicked(number, heldKeys_.contains(Qt::Key_Space),
                                  heldKeys_.contains(Qt::Key_0 + number));
        });
    }
    connect(controls_.remoteSettingsButton, &QPushButton::clicked, this,
            &VirtualButtons::editSettings);
    // One filter sees every event of the application once: the buttons', the window's, and the
    // keys of whatever has the focus in the window.
    qApp->installEventFilter(this);
}

VirtualButtons::~VirtualButtons() {
    qApp->removeEventFilter(this);
}

int VirtualButtons::buttonOf(const QObject* watched) const {
    for (std::size_t index = 0; index < controls_.buttonRemote.size(); ++index)
        if (controls_.buttonRemote[index] == watched)
            return static_cast<int>(index) + 1;
    return 0;
}

bool VirtualButtons::isInWindow(const QObject* watched) const {
    const auto* widget = qobject_cast<const QWidget*>(watched);
    return widget != nullptr && widget->window() == &window_;
}

bool VirtualButtons::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &window_ && event->type() == QEvent::WindowDeactivate)
        remote_.mainWindowDeactivated();
    trackKeys(watched, event);
    if (const int button = buttonOf(watched))
        buttonEvent(button, event);
    return QObject::eventFilter(watched, event);
}

// A key event passes the filter once for each widget it travels up through, and stops where a
// widget takes it; noting it at every one is harmless, since each step here can be repeated.
void VirtualButtons::trackKeys(const QObject* watched, QEvent* event) {
    if (!isInWindow(watched))
        return;
    const auto* key = dynamic_cast<const QKeyEvent*>(event);
    if (key == nullptr || key->isAutoRepeat())
        return;
    switch (event->type()) {
    case QEvent::ShortcutOverride:
    case QEvent::KeyPress:
        heldKeys_.insert(key->key());
        return;
    case QEvent::KeyRelease:
        heldKeys_.erase(key->key());
        remote_.keyReleasedAnywhere();
        return;
    default:
        return;
    }
}

void VirtualButtons::buttonEvent(int button, QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        remote_.buttonMouseDown(button);
        return;
    case QEvent::MouseButtonRelease:
        remote_.buttonMouseUp();
        return;
    case QEvent::KeyPress:
        remote_.buttonKeyDown(button, keyOf(static_cast<QKeyEvent*>(event)->key()));
        return;
    case QEvent::KeyRelease:
        if (!static_cast<QKeyEvent*>(event)->isAutoRepeat())
            remote_.buttonKeyUp();
        return;
    case QEvent::FocusOut:
        remote_.buttonFocusLost();
        return;
    case QEvent::Shortcut:
        // Its accelerator clicks the button only after a short animation; by then the digit
        // may be up again, so the press is decided while it is still held.
        remote_.buttonClicked(button, heldKeys_.contains(Qt::Key_Space),
                              heldKeys_.contains(Qt::Key_0 + button));
        return;
    default:
        return;
    }
}

void VirtualButtons::editSettings() {
    configForm_->edit();
    if (configForm_->result() == QDialog::Accepted)
        remote_.storeTo(configuration_);
}

} // namespace konfigor
