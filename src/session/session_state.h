#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace konfigor {

class ReceiverLink;

// The receiver operation the main window waits for; the values are the ones the design counts.
enum class PendingOperation : std::uint8_t {
    None = 0,
    ConfigurationFetch = 3, // version reported, configuration on its way
    ConfigurationWrite = 4,
    RecordRead = 5,
    RecordWrite = 6,
    ChannelWrite = 8,
    BulkLoad = 10,
    BulkWrite = 20,
};

// The options of the session, shown and changed in the options dialog.
struct SessionOptions {
    bool autoConnect = true;
    bool loadReceiverAfterConnect = true;
    bool openSearchAfterLoad = true;
    bool autosave = true; // write every change to the receiver at once
};

// What the main window remembers about the connection, shared by the session's parts.
// Main thread only.
struct SessionState {
    std::string connectedPort; // empty when not connected
    PendingOperation pendingOperation = PendingOperation::None;
    bool bulkReadActive = false;
    bool bulkWriteActive = false;
    bool loadAfterConnect = false;
    bool searchAfterLoad = false;
    std::string enteredPin; // accepted by the receiver; empty when none
    // Written after the receiver took the single-record write before it.
    std::optional<std::size_t> secondRecordSlot;
    // The slot a single-record read answers for.
    std::size_t recordReadSlot = 0;
};

// The receiver needs no PIN, or the one entered is the receiver's.
bool isPinAccepted(const ReceiverLink& link, const SessionState& state);

} // namespace konfigor
