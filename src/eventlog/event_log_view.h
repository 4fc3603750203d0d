#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string_view>

namespace konfigor {

class Configuration;
class EventsLog;
class Sound;
class TextTable;
class UserPrompts;

// What the events tab shows of the view's state.
class EventLogSurface {
public:
    virtual ~EventLogSurface() = default;

    // The grid's row count, header included, and a repaint.
    virtual void showEventRows(int rowCount) = 0;
    // Selects the last row, which brings it into view.
    virtual void selectLastEventRow() = 0;
    virtual void repaintEvents() = 0;
    // The 500 ms flash timer.
    virtual void runFlashTimer(bool running) = 0;
    virtual void focusEventGrid() = 0;
};

// The events tab's logic: the session's and the archive's events in the grid, the two toggles
// (archive shown, follow new events), the flashing of the newest row and the sound of a new
// event. Main thread only.
class EventLogView {
public:
    static constexpr int kFlashPhases = 5;
    static constexpr int kBeepHz = 1500;
    static constexpr int kBeepMs = 200;

    struct Services {
        EventsLog& log;
        Configuration& configuration;
        EventLogSurface& surface;
        Sound& sound;
        UserPrompts& prompts;
        const TextTable& texts;
    };

    explicit EventLogView(Services services);

    // The main window's creation: opens the log file with an empty header (nothing is loaded
    // yet) and reads the archive toggle.
    void start();
    // The window's first showing: with registration on, trims the log and loads the archive.
    void firstShowing();

    // A new event: logged, shown, flashed, and a stored remote's press is heard.
    void addEvent(std::int32_t position, std::string_view descriptionCp1250, std::uint8_t button,
                  std::uint8_t channelMask, std::uint32_t serialNumber);
    // Rebuilds the events from the newest `n` of the file, trimming it first when asked.
    void reloadEvents(std::size_t n, bool trim);

    void archiveToggled(bool shown);
    void followToggled(bool follow);
    // A tick of the flash timer; nothing happens until the last row can be seen.
    void flashTick(bool lastRowVisible);

    bool isArchiveShown() const { return archiveShown_; }
    bool isFollowing() const { return following_; }
    bool isFlashOn() const { return flashOn_; }
    std::size_t sessionEventCount() const { return sessionEvents_; }
    // Header row included; an empty grid keeps one empty data row.
    int rowCount() const;

private:
    std::size_t archiveSize() const;
    void showRows();
    void playEventSound();

    Services s_;
    std::size_t sessionEvents_ = 0;
    bool archiveShown_ = true;
    bool following_ = true;
    bool flashOn_ = false;
    int flashCount_ = 0;
};

} // namespace konfigor
