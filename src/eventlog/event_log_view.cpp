#include "eventlog/event_log_view.h"

#include "common/sound.h"
#include "config/configuration.h"
#include "eventlog/events_log.h"
#include "texts/main_window_prompts.h"
#include "texts/text_table.h"

#include <algorithm>
#include <array>

namespace konfigor {
namespace {

enum SoundKind { kNoSound = 0, kBeep = 1, kSoundFile = 2 };

} // namespace

EventLogView::EventLogView(Services services) : s_(services) {}

void EventLogView::start() {
    // Nothing of the sheet is loaded yet, so the header names no receiver and no channel.
    s_.log.open(s_.configuration.effectiveEventLogFile(), eventLogHeader(s_.texts));
    sessionEvents_ = 0;
    archiveShown_ = s_.configuration.showArchivedEvents();
}

void EventLogView::firstShowing() {
    if (!s_.configuration.registration())
        return;
    following_ = s_.configuration.scrollEvents();
    if (archiveShown_) {
        reloadEvents(archiveSize() + sessionEvents_, true);
    } else {
        // Trims the file, then shows only this session's events (none yet).
        reloadEvents(archiveSize(), true);
        reloadEvents(0, false);
    }
}

void EventLogView::addEvent(std::int32_t position, std::string_view descriptionCp1250,
                            std::uint8_t button, std::uint8_t channelMask,
                            std::uint32_t serialNumber) {
    ++sessionEvents_;
    s_.log.addNow(true, position, descriptionCp1250, button, channelMask, serialNumber);
    s_.surface.showEventRows(rowCount());
    if (following_)
        s_.surface.selectLastEventRow();
    if (position > 0)
        playEventSound();
    flashCount_ = 0;
    s_.surface.runFlashTimer(true);
}

void EventLogView::reloadEvents(std::size_t n, bool trim) {
    const std::filesystem::path path = s_.configuration.effectiveEventLogFile();
    s_.log.clear();
    if (n > 0) {
        if (trim)
            s_.log.loadLastAndTrim(path, n);
        else
            s_.log.loadLast(path, n);
    }
    showRows();
}

void EventLogView::archiveToggled(bool shown) {
    archiveShown_ = shown;
    reloadEvents(shown ? archiveSize() + sessionEvents_ : sessionEvents_, false);
    s_.configuration.setShowArchivedEvents(shown);
    s_.surface.focusEventGrid();
}

void EventLogView::followToggled(bool follow) {
    following_ = follow;
    s_.configuration.setScrollEvents(follow);
    s_.surface.focusEventGrid();
}

void EventLogView::flashTick(bool lastRowVisible) {
    if (!lastRowVisible)
        return;
    flashOn_ = !flashOn_;
    if (flashCount_ >= kFlashPhases) {
        flashOn_ = false;
        s_.surface.runFlashTimer(false);
    }
    if (flashOn_)
        ++flashCount_;
    s_.surface.repaintEvents();
}

int EventLogView::rowCount() const {
    return static_cast<int>(std::max<std::size_t>(s_.log.count(), 1)) + 1;
}

std::size_t EventLogView::archiveSize() const {
    return static_cast<std::size_t>(std::max(s_.configuration.eventCount(), 0));
}

void EventLogView::showRows() {
    s_.surface.showEventRows(rowCount());
    s_.surface.selectLastEventRow();
    s_.surface.repaintEvents();
}

void EventLogView::playEventSound() {
    switch (s_.configuration.soundKind()) {
    case kBeep: {
        const std::array beep{Tone{.frequencyHz = kBeepHz, .durationMs = kBeepMs}};
        s_.sound.play(beep);
        return;
    }
    case kSoundFile: {
        const std::filesystem::path file = s_.configuration.soundFile();
        std::error_code error;
        if (!file.empty() && std::filesystem::is_regular_file(file, error)) {
            s_.sound.playFile(file);
            return;
        }
        showMainWindowError(s_.prompts, s_.texts, Msg::EventSoundFileNotFound);
        return;
    }
    default:
        return;
    }
}

} // namespace konfigor
