#include "sheet/history.h"

#include <algorithm>
#include <new>
#include <utility>

namespace konfigor {

bool History::reset(HistoryKind kind, std::string name, HistoryPayload payload) {
    if (!payloadFitsKind(kind, payload))
        return false;
    try {
        std::vector<HistoryEntry> fresh;
        fresh.push_back({kind, std::move(name), std::move(payload)});
        entries_ = std::move(fresh);
    } catch (const std::bad_alloc&) {
        return false;
    }
    position_ = 0;
    return true;
}

bool History::record(HistoryKind kind, std::string name, HistoryPayload payload) {
    if (empty() || !payloadFitsKind(kind, payload))
        return false;
    try {
        // Reserve first so that a failure leaves the redo branch in place.
        entries_.reserve(position_ + 2);
    } catch (const std::bad_alloc&) {
        return false;
    }
    entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(position_ + 1), entries_.end());
    entries_.push_back({kind, std::move(name), std::move(payload)});
    position_ = entries_.size() - 1;
    return true;
}

std::optional<HistoryStep> History::undo() {
    if (!canUndo())
        return std::nullopt;
    HistoryStep step{.position = position_ - 1, .name = entries_[position_].name};
    position_ = step.position;
    return step;
}

std::optional<HistoryStep> History::redo() {
    if (!canRedo())
        return std::nullopt;
    ++position_;
    return HistoryStep{.position = position_, .name = entries_[position_].name};
}

std::string History::undoName() const {
    return empty() ? std::string() : entries_[position_].name;
}

std::string History::redoName() const {
    return canRedo() ? entries_[position_ + 1].name : std::string();
}

void History::setPosition(std::size_t index) {
    if (!empty())
        position_ = std::min(index, entries_.size() - 1);
}

} // namespace konfigor
