#pragma once

#include "editors/remote_detection.h"
#include "editors/remote_form.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace konfigor {

class HistoryCommands;
class SaveState;
class SheetSession;
class SheetSurface;
class Sound;
class TextTable;
struct SettingsSheet;

// What the remote editor's window does on the logic's word: the detection's progress window,
// the scan toggle, the serial number field and the two timers.
class RemoteEditorView {
public:
    virtual ~RemoteEditorView() = default;

    // Centred over the editor, modal; nothing when it is already visible.
    virtual void showProgress() = 0;
    virtual bool isProgressVisible() const = 0;
    virtual void closeProgress() = 0;
    virtual void showProgressLines(const std::string& remoteLine, const std::string& hint) = 0;
    virtual void setScanButtonDown(bool down) = 0;
    // The accepted remote: its number in RemoteIdEdit and its multi flag in CheckBoxMulti.
    virtual void showSerial(const std::string& number, bool multi) = 0;
    virtual void setOkEnabled(bool enabled) = 0;
    // "Timer": every 250 ms, brings the progress back while a detection is under way.
    virtual void runProgressTimer(bool running) = 0;
    // "TimerRemoteCheck": once, 250 ms from now, shows a refusal.
    virtual void startRefusalTimer() = 0;
};

// How the editor opens: its title, the controls' states and the boxes' values.
struct RemoteEditorSetup {
    enum class Mode { Adding, EditingOne, EditingMarked };
    Mode mode = Mode::Adding;
    std::string title;
    std::string scanCaption;
    bool scanEnabled = true;
    bool scanDown = false;
    bool okEnabled = false;
    // Unless reopened for the next remote, which keeps the channel boxes as they were.
    bool fillsChannels = true;
    RemoteForm form;
    // Boxes that may be cycled to grey: [button][channel], then multi and copy lock.
    std::array<std::array<bool, kChannelCount>, kButtonCount> channelMayBeGrey{};
    bool multiMayBeGrey = false;
    bool copyLockMayBeGrey = false;
    bool multiEnabled = false;
    bool addNextEnabled = false;
    std::string positionText; // RemoteNoEdit
    std::string serialText;   // RemoteIdEdit
};

// The logic of the remote editor: entering a new remote into an empty slot with its serial word
// taken from the receiver, changing one remote, or changing several marked remotes together.
// Main thread only; the window shows what it decides.
class RemoteEditor {
public:
    struct Services {
        SettingsSheet& sheet;
        HistoryCommands& history;
        SaveState& saveState;
        SheetSession& session;
        SheetSurface& surface;
        Sound& sound;
        const TextTable& texts;
    };

    explicit RemoteEditor(Services services) : s_(services) {}

    void setView(RemoteEditorView* view) { view_ = view; }

    // `reopening`: the chain of "Dodaj następny pilot" goes on to this slot.
    RemoteEditorSetup openSlot(std::size_t slot, bool receiverIsMulti, bool reopening = false);
    // Every marked slot that holds a remote; `currentSlot` gives the description shown.
    RemoteEditorSetup openMarked(std::size_t currentSlot, bool receiverIsMulti);

    // The editor window became active: a new remote's detection starts by itself once.
    void activated();
    // ButtonScanRemote pressed down or released by the user.
    void scanButtonToggled(bool down);
    // "Anuluj" or Esc in the progress window.
    void cancelDetection();

    // The session's notifications while the editor is visible.
    void onUnknownRemote(std::uint32_t serialWord, std::uint16_t codeCounter);
    void onStoredRemote(std::size_t receiverSlot);

    void progressTimerFired();
    void refusalTimerFired();

    // Cancel: nothing changes.
    void close();
    // The session hands the receiver's reports over only while the editor is open.
    bool isOpen() const { return open_; }

    // OK. The slot to open next when the chain "Dodaj następny pilot" goes on.
    std::optional<std::size_t> accept(const RemoteForm& form);

    std::size_t slot() const { return slot_; }
    RemoteEditorSetup::Mode mode() const { return mode_; }
    bool isDetecting() const { return scanDown_; }
    const RemoteDetection& detection() const { return detection_; }
    std::uint32_t serialWord() const { return serialWord_; }

private:
    void begin(std::size_t slot, RemoteEditorSetup::Mode mode, std::uint32_t serialWord,
               std::uint16_t codeCounter, bool receiverIsMulti);
    void startDetection();
    void stopDetection();
    void showPresses(int pressesNeeded);
    void takeAccepted(const RemoteDetection::Accepted& accepted);
    void refuse(const RemoteRefusal& refusal);
    std::optional<std::size_t> acceptOne(const RemoteForm& form);
    void acceptMarked(const RemoteForm& form);

    Services s_;
    RemoteEditorView* view_ = nullptr;
    std::size_t slot_ = 0;
    RemoteEditorSetup::Mode mode_ = RemoteEditorSetup::Mode::Adding;
    std::uint32_t serialWord_ = 0;
    std::uint16_t codeCounter_ = 0;
    bool open_ = false;
    bool scanDown_ = false;
    bool multiEnabled_ = false;
    bool progressOnActivation_ = false;
    RemoteDetection detection_;
    std::optional<RemoteRefusal> pendingRefusal_;
};

} // namespace konfigor
