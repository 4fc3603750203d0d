#include "gui/editor_windows.h"

#include "gui/channel_grid.h"
#include "gui/edit_channel_form.h"
#include "gui/edit_remote_form.h"
#include "gui/main_form_controls.h"
#include "gui/remote_grid.h"
#include "link/receiver_link.h"
#include "session/app_core.h"
#include "texts/text_table.h"
#include "texts/untranslated_texts.h"

#include <QAction>

namespace konfigor {

EditorWindows::EditorWindows(Parts parts) : QObject(&parts.window), p_(parts) {
    remoteForm_ = new TEditRemoteForm(p_.core.remoteEditor(), p_.texts, &p_.window);
    connect(remoteForm_, &TEditRemoteForm::finishedEditing, this, &EditorWindows::editorClosed);
    channelForm_ = new TEditChannelForm(p_.texts, &p_.window);
    connect(channelForm_, &QDialog::finished, this, [this] { p_.channelGrid.repaintCells(); });
    connectWaysIn();
}

EditorWindows::~EditorWindows() {
    delete remoteForm_;
    delete channelForm_;
}

void EditorWindows::connectWaysIn() {
    const MainFormControls& c = p_.controls;
    const auto way = [this](RemoteEditorWay chosen) {
        return [this, chosen] { openRemoteEditor(chosen); };
    };
    connect(c.toolButtonRemoteAdd, &QAction::triggered, this, way(RemoteEditorWay::AddButton));
    connect(c.toolButtonRemoteEdit, &QAction::triggered, this, way(RemoteEditorWay::EditButton));
    connect(c.menuRemoteAdd, &QAction::triggered, this, way(RemoteEditorWay::MenuAdd));
    connect(c.menuRemoteEdit, &QAction::triggered, this, way(RemoteEditorWay::MenuEdit));
    connect(&p_.remoteGrid, &SheetGridView::rowDoubleClicked, this,
            way(RemoteEditorWay::DoubleClick));
    connect(&p_.remoteGrid, &StringGridRemote::editorRequested, this, way(RemoteEditorWay::Enter));

    const auto channel = [this] { openChannelEditor(); };
    connect(c.toolButtonChannelEdit, &QAction::triggered, this, channel);
    connect(c.menuChannelEdit, &QAction::triggered, this, channel);
    connect(&p_.channelGrid, &SheetGridView::rowDoubleClicked, this, channel);
    connect(&p_.channelGrid, &StringGridChannels::editorRequested, this, channel);
}

void EditorWindows::openRemoteEditor(RemoteEditorWay way) {
    const std::size_t current = p_.core.currentSlot();
    const RemoteEditorEntry entry =
        decideRemoteEditorEntry(way, p_.core.sheet(), current,
                                {.receiverConnected = p_.link.isRunning(),
                                 .operationPending = p_.core.session().isOperationPending()});
    if (entry.warning) {
        p_.prompts.ask({.caption = std::string(untranslated(Untranslated::ProgramTitle)),
                        .text = p_.texts.text(*entry.warning),
                        .icon = PromptIcon::Warning});
        return;
    }
    if (entry.action == RemoteEditorEntry::Action::Nothing)
        return;
    if (entry.checkAddNext)
        remoteForm_->setAddNextChecked(true);
    if (entry.action == RemoteEditorEntry::Action::OpenMarked)
        remoteForm_->openWith(p_.core.remoteEditor().openMarked(current, p_.link.isMulti()));
    else
        openSlot(current, false);
}

void EditorWindows::openSlot(std::size_t slot, bool reopening) {
    remoteForm_->openWith(p_.core.remoteEditor().openSlot(slot, p_.link.isMulti(), reopening));
}

// Closing repaints the grid; the chain "Dodaj następny pilot" moves on to the next empty slot.
void EditorWindows::editorClosed(bool accepted, std::optional<std::size_t> nextSlot) {
    p_.remoteGrid.repaintCells();
    if (!accepted || !nextSlot)
        return;
    const int row = static_cast<int>(*nextSlot) + 1;
    p_.remoteGrid.setCurrentRow(row);
    p_.core.selection().followCurrentRow(row);
    openSlot(*nextSlot, true);
}

void EditorWindows::openChannelEditor() {
    ChannelEditor& editor = p_.core.channelEditor();
    if (!editor.canOpen())
        return;
    channelForm_->openFor(editor, static_cast<std::size_t>(p_.channelGrid.currentRow() - 1));
}

} // namespace konfigor
