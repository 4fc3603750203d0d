#include "editors/remote_editor.h"

#include "common/sound.h"
#include "sheet/history_commands.h"
#include "sheet/save_state.h"
#include "sheet/serial_word.h"
#include "sheet/settings_sheet.h"
#include "sheet/sheet_session.h"
#include "sheet/sheet_surface.h"
#include "texts/text_table.h"

#include <array>
#include <utility>

namespace konfigor {
namespace {

constexpr Tone kPressTone{700, 100};
constexpr std::array<Tone, 6> kAcceptedSignal{
    {{1100, 50}, {0, 50}, {1100, 50}, {0, 50}, {1100, 50}, {0, 50}}};

std::string numberOf(std::uint32_t word) {
    return std::to_string(serial_word::serialNumber(word));
}

// Button n on channel n: what a new remote usually does.
void checkDiagonal(RemoteForm& form) {
    form.channels = {};
    for (std::size_t button = 0; button < kButtonCount; ++button)
        form.channels[button][button] = BoxState::Checked;
}

} // namespace

// A new opening: only adding starts with the scan button down and its detection due.
void RemoteEditor::begin(std::size_t slot, RemoteEditorSetup::Mode mode, std::uint32_t serialWord,
                         std::uint16_t codeCounter, bool receiverIsMulti) {
    slot_ = slot;
    open_ = true;
    mode_ = mode;
    serialWord_ = serialWord;
    codeCounter_ = codeCounter;
    multiEnabled_ = receiverIsMulti;
    scanDown_ = mode == RemoteEditorSetup::Mode::Adding;
    progressOnActivation_ = scanDown_;
    detection_.reset();
    pendingRefusal_.reset();
}

RemoteEditorSetup RemoteEditor::openSlot(std::size_t slot, bool receiverIsMulti, bool reopening) {
    const RemoteEntry& entry = s_.sheet.remotes.at(slot);
    const bool adding = entry.isEmpty();
    begin(slot, adding ? RemoteEditorSetup::Mode::Adding : RemoteEditorSetup::Mode::EditingOne,
          entry.serialWord, entry.codeCounter, receiverIsMulti);

    RemoteEditorSetup setup;
    setup.mode = mode_;
    setup.title = s_.texts.text(adding ? Msg::AddingRemoteTitle : Msg::EditingRemoteTitle);
    setup.scanCaption =
        s_.texts.text(adding ? Msg::ReadRemoteButtonCaption : Msg::ChangeRemoteButtonCaption);
    setup.scanDown = adding;
    setup.okEnabled = !adding;
    setup.fillsChannels = !reopening;
    setup.form.description = entry.description.toUtf8();
    setup.form.copyLock = entry.copyLock || adding ? BoxState::Checked : BoxState::Cleared;
    // Only a multi receiver lets the flag change; elsewhere (and offline) the box shows the
    // stored flag and OK keeps the word as it is, so an edit never renames a remote.
    setup.multiEnabled = receiverIsMulti;
    setup.form.multi =
        serial_word::isMulti(entry.serialWord) ? BoxState::Checked : BoxState::Cleared;
    if (adding)
        checkDiagonal(setup.form);
    else
        showMasks(entry.buttonMasks, setup.form);
    setup.addNextEnabled = adding;
    setup.positionText = std::to_string(slot + 1);
    if (!adding)
        setup.serialText = numberOf(entry.serialWord);
    return setup;
}

RemoteEditorSetup RemoteEditor::openMarked(std::size_t currentSlot, bool receiverIsMulti) {
    begin(currentSlot, RemoteEditorSetup::Mode::EditingMarked, 0, 0, receiverIsMulti);

    RemoteEditorSetup setup;
    setup.mode = mode_;
    setup.title = s_.texts.text(Msg::EditingMarkedRemotesTitle);
    setup.scanCaption = s_.texts.text(Msg::RemoteChangeImpossibleCaption);
    setup.scanEnabled = false;
    setup.okEnabled = true;
    setup.form =
        mergeMarkedSlots(s_.sheet.remotes, s_.sheet.remotes.at(currentSlot).description.toUtf8());
    for (std::size_t button = 0; button < kButtonCount; ++button)
        for (std::size_t channel = 0; channel < kChannelCount; ++channel)
            setup.channelMayBeGrey[button][channel] =
                setup.form.channels[button][channel] == BoxState::Grey;
    setup.multiMayBeGrey = setup.form.multi == BoxState::Grey;
    setup.copyLockMayBeGrey = setup.form.copyLock == BoxState::Grey;
    setup.multiEnabled = receiverIsMulti;
    return setup;
}

void RemoteEditor::activated() {
    if (!progressOnActivation_)
        return;
    progressOnActivation_ = false;
    startDetection();
}

void RemoteEditor::scanButtonToggled(bool down) {
    if (mode_ == RemoteEditorSetup::Mode::EditingMarked)
        return;
    if (down)
        startDetection();
    else
        stopDetection();
}

void RemoteEditor::startDetection() {
    scanDown_ = true;
    if (view_ == nullptr)
        return;
    view_->setScanButtonDown(true);
    view_->showProgressLines({}, s_.texts.text(Msg::PressButtonThreeTimes));
    view_->showProgress();
}

void RemoteEditor::stopDetection() {
    scanDown_ = false;
    detection_.reset();
    if (view_ == nullptr)
        return;
    view_->runProgressTimer(false);
    view_->setScanButtonDown(false);
    view_->closeProgress();
}

void RemoteEditor::cancelDetection() {
    stopDetection();
}

void RemoteEditor::onUnknownRemote(std::uint32_t serialWord, std::uint16_t codeCounter) {
    if (!scanDown_)
        return;
    const RemoteDetection::Outcome outcome =
        detection_.onUnknownRemote(serialWord, codeCounter, s_.sheet);
    if (outcome.refusal)
        refuse(*outcome.refusal);
    else if (outcome.accepted)
        takeAccepted(*outcome.accepted);
    else if (outcome.pressesNeeded > 0)
        showPresses(outcome.pressesNeeded);
}

void RemoteEditor::onStoredRemote(std::size_t receiverSlot) {
    if (!scanDown_)
        return;
    refuse(*detection_.onStoredRemote(receiverSlot).refusal);
}

void RemoteEditor::showPresses(int pressesNeeded) {
    s_.sound.play(std::span(&kPressTone, 1));
    if (view_ == nullptr)
        return;
    view_->showProgressLines(
        s_.texts.format(Msg::RemoteDetected, serial_word::formatSerial(detection_.detectedWord())),
        s_.texts.text(pressesNeeded >= 2 ? Msg::PressButtonTwiceMore : Msg::PressButtonOnceMore));
    view_->runProgressTimer(true);
}

void RemoteEditor::takeAccepted(const RemoteDetection::Accepted& accepted) {
    s_.sound.play(kAcceptedSignal);
    serialWord_ = accepted.serialWord;
    codeCounter_ = accepted.codeCounter;
    scanDown_ = false;
    if (view_ == nullptr)
        return;
    view_->showSerial(numberOf(serialWord_), serial_word::isMulti(serialWord_));
    view_->setOkEnabled(serialWord_ != 0 || codeCounter_ != 0);
    view_->runProgressTimer(false);
    view_->closeProgress();
    view_->setScanButtonDown(false);
}

void RemoteEditor::refuse(const RemoteRefusal& refusal) {
    pendingRefusal_ = refusal;
    if (view_ != nullptr)
        view_->startRefusalTimer();
}

void RemoteEditor::progressTimerFired() {
    if (view_ != nullptr && detection_.isUnderWay() && !view_->isProgressVisible())
        view_->showProgress();
}

void RemoteEditor::refusalTimerFired() {
    detection_.reset();
    const auto refusal = std::exchange(pendingRefusal_, std::nullopt);
    if (!refusal || view_ == nullptr)
        return;
    const Msg text = refusal->where == RemoteRefusal::Where::Sheet ? Msg::RemoteAlreadyInSheet
                                                                   : Msg::RemoteAlreadyInReceiver;
    view_->showProgressLines(s_.texts.format(text, static_cast<int>(refusal->position)), {});
    view_->showProgress();
}

void RemoteEditor::close() {
    stopDetection();
    open_ = false;
}

std::optional<std::size_t> RemoteEditor::accept(const RemoteForm& form) {
    close();
    if (mode_ == RemoteEditorSetup::Mode::EditingMarked) {
        acceptMarked(form);
        return std::nullopt;
    }
    return acceptOne(form);
}

std::optional<std::size_t> RemoteEditor::acceptOne(const RemoteForm& form) {
    const bool adding = mode_ == RemoteEditorSetup::Mode::Adding;
    RemoteEntry& entry = s_.sheet.remotes.at(slot_);
    entry.buttonMasks = masksOf(form);
    entry.description.assignUtf8(form.description);
    entry.serialWord = multiEnabled_
                           ? serial_word::withMulti(serialWord_, form.multi == BoxState::Checked)
                           : serialWord_;
    entry.codeCounter = codeCounter_;
    entry.copyLock = form.copyLock == BoxState::Checked;
    s_.history.recordChange(
        adding ? HistoryKind::RemoteAdded : HistoryKind::RemotesEdited,
        adding ? HistoryPayload{SlotRecord{static_cast<std::uint16_t>(slot_), entry}}
               : HistoryPayload{SlotRecords{{{static_cast<std::uint16_t>(slot_), entry}}}});
    AutoWrite write = AutoWrite::NotApplied;
    if (s_.session.isAutosaveActive())
        write = s_.session.writeRemoteRecord(slot_) ? AutoWrite::Sent : AutoWrite::NotSent;
    s_.saveState.apply(RemoteEdit::RemoteEnteredOrEdited, write);
    s_.surface.repaintGrids();
    if (!adding || !form.addNext)
        return std::nullopt;
    return s_.sheet.firstEmptyFrom(slot_);
}

void RemoteEditor::acceptMarked(const RemoteForm& form) {
    RemoteForm applied = form;
    if (!multiEnabled_)
        applied.multi = BoxState::Grey;
    applyToMarkedSlots(applied, s_.sheet.remotes);
    SlotRecords records;
    for (const std::size_t slot : s_.sheet.markedSlots())
        records.records.push_back({static_cast<std::uint16_t>(slot), s_.sheet.remotes.at(slot)});
    s_.history.recordChange(HistoryKind::RemotesEdited, std::move(records));
    AutoWrite write = AutoWrite::NotApplied;
    if (s_.session.isAutosaveActive())
        write = s_.session.writeSheetToReceiver() ? AutoWrite::Sent : AutoWrite::NotSent;
    s_.saveState.apply(RemoteEdit::MarkedRemotesEdit, write);
    s_.surface.repaintGrids();
}

} // namespace konfigor
