#pragma once

#include "sheet/history_change.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace konfigor {

struct HistoryEntry {
    HistoryKind kind = HistoryKind::EmptySheet;
    std::string name; // the kind's name when it was recorded
    HistoryPayload payload;
};

// Where undo or redo moved to, and the name of the change taken back or made again.
struct HistoryStep {
    std::size_t position = 0;
    std::string name;

    friend bool operator==(const HistoryStep&, const HistoryStep&) = default;
};

// The named changes of the sheet in recording order. Each entry holds the new data of its
// change; the position is the entry whose state the sheet shows. Entry 0 is the starting state
// and can never be undone.
class History {
public:
    // Drops every entry and starts over with this one. False, nothing changed, when memory runs
    // out or the payload is not the kind's.
    bool reset(HistoryKind kind, std::string name, HistoryPayload payload);
    // Drops the undone entries after the position and appends this one. False, nothing changed,
    // while the history is empty, when memory runs out or the payload is not the kind's.
    bool record(HistoryKind kind, std::string name, HistoryPayload payload);

    bool empty() const { return entries_.empty(); }
    std::size_t count() const { return entries_.size(); }
    // Meaningful only while the history is not empty.
    std::size_t position() const { return position_; }

    bool canUndo() const { return !empty() && position_ > 0; }
    bool canRedo() const { return !empty() && position_ + 1 < entries_.size(); }
    std::optional<HistoryStep> undo();
    std::optional<HistoryStep> redo();
    // The change undo would take back; the change redo would make again (empty if none).
    std::string undoName() const;
    std::string redoName() const;

    HistoryKind kindAt(std::size_t index) const { return entries_.at(index).kind; }
    HistoryEntry entryAt(std::size_t index) const { return entries_.at(index); }
    // Clamped to the entries there are.
    void setPosition(std::size_t index);

private:
    std::vector<HistoryEntry> entries_;
    std::size_t position_ = 0;
};

} // namespace konfigor
