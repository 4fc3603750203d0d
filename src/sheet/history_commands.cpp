#include "sheet/history_commands.h"

#include "texts/text_table.h"

#include <utility>

namespace konfigor {
namespace {

std::string captionWithName(const std::string& caption, bool enabled, const std::string& name) {
    return enabled ? caption + ": " + name : caption;
}

} // namespace

UndoRedoCaptions undoRedoCaptions(const History& history, const TextTable& texts) {
    const bool canUndo = history.canUndo();
    const bool canRedo = history.canRedo();
    return {
        .undo = captionWithName(texts.text(Msg::UndoCaption), canUndo, history.undoName()),
        .undoEnabled = canUndo,
        .redo = captionWithName(texts.text(Msg::RedoCaption), canRedo, history.redoName()),
        .redoEnabled = canRedo,
    };
}

void HistoryCommands::resetAtStartup() {
    resetToEmptySheet();
    refreshCaptions();
}

void HistoryCommands::resetAtDisconnection() {
    resetToEmptySheet();
    rebuild(0);
}

bool HistoryCommands::recordChange(HistoryKind kind, HistoryPayload payload) {
    const bool recorded = history_.record(kind, historyKindName(kind, texts_), std::move(payload));
    refreshCaptions();
    return recorded;
}

void HistoryCommands::undo() {
    if (const auto step = history_.undo()) {
        rebuild(step->position);
        showStep(Msg::UndoneStatus, step->name);
    }
}

void HistoryCommands::redo() {
    if (const auto step = history_.redo()) {
        rebuild(step->position);
        showStep(Msg::RedoneStatus, step->name);
    }
}

void HistoryCommands::rebuild(std::size_t position) {
    rebuild_.rebuild(position);
    refreshCaptions();
    surface_.refreshClipboardCommands();
}

void HistoryCommands::resetToEmptySheet() {
    history_.reset(HistoryKind::EmptySheet, historyKindName(HistoryKind::EmptySheet, texts_), {});
}

// The status text already ends in a space; one more sets the name apart.
void HistoryCommands::showStep(Msg status, const std::string& name) {
    surface_.setStatusText(StatusPanel::Operation, texts_.text(status) + " " + name);
}

void HistoryCommands::refreshCaptions() {
    surface_.showUndoRedo(undoRedoCaptions(history_, texts_));
}

} // namespace konfigor
