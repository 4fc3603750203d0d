#pragma once

#include <set>

#include <QObject>

class QWidget;

namespace konfigor {

class Configuration;
class TVirtualRemoteConfigForm;
class TextTable;
class VirtualRemote;
struct MainFormControls;

// The main window's four virtual remote buttons and their settings button, forwarding mouse,
// keys, focus and the window's activation to the VirtualRemote. The window previews every key:
// a release anywhere in it ends a press.
class VirtualButtons : public QObject {
    Q_OBJECT

public:
    VirtualButtons(QWidget& window, const MainFormControls& controls, VirtualRemote& remote,
                   Configuration& configuration, const TextTable& texts);
    ~VirtualButtons() override;

    TVirtualRemoteConfigForm& configForm() { return *configForm_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // 1-4 for a virtual button, 0 for anything else.
    int buttonOf(const QObject* watched) const;
    bool isInWindow(const QObject* watched) const;
    void buttonEvent(int button, QEvent* event);
    void trackKeys(const QObject* watched, QEvent* event);
    void editSettings();

    QWidget& window_;
    const MainFormControls& controls_;
    VirtualRemote& remote_;
    Configuration& configuration_;
    TVirtualRemoteConfigForm* configForm_ = nullptr;
    // Keys down in the window now: a click from an accelerator starts a press only while its
    // digit (or the space bar) is still held.
    std::set<int> heldKeys_;
};

} // namespace konfigor
