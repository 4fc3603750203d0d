#pragma once

#include "editors/remote_editor_entry.h"

#include <cstddef>

#include <QObject>

namespace konfigor {

class AppCore;
class ReceiverLink;
class StringGridChannels;
class StringGridRemote;
class TEditChannelForm;
class TEditRemoteForm;
class TextTable;
class UserPrompts;
struct MainFormControls;

// The remote and channel editors of the main window, and every way into them: tool buttons,
// pop-up menus, double click and Enter on the grids.
class EditorWindows : public QObject {
    Q_OBJECT

public:
    struct Parts {
        QWidget& window;
        const MainFormControls& controls;
        StringGridRemote& remoteGrid;
        StringGridChannels& channelGrid;
        AppCore& core;
        ReceiverLink& link;
        UserPrompts& prompts;
        const TextTable& texts;
    };

    explicit EditorWindows(Parts parts);
    // The editor windows go with it: they use the core, which the main window destroys first.
    ~EditorWindows() override;

    void openRemoteEditor(RemoteEditorWay way);
    void openChannelEditor();

    TEditRemoteForm& remoteForm() { return *remoteForm_; }
    TEditChannelForm& channelForm() { return *channelForm_; }

private:
    void connectWaysIn();
    void openSlot(std::size_t slot, bool reopening);
    void editorClosed(bool accepted, std::optional<std::size_t> nextSlot);

    Parts p_;
    TEditRemoteForm* remoteForm_ = nullptr;
    TEditChannelForm* channelForm_ = nullptr;
};

} // namespace konfigor
