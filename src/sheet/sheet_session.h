#pragma once

#include <cstddef>
#include <string_view>

namespace konfigor {

class ReceiverImage;

// What the sheet logic needs of the receiver session.
class SheetSession {
public:
    virtual ~SheetSession() = default;

    // An operation with the receiver waits for its answer; editors that write stay shut.
    virtual bool isOperationPending() const = 0;
    // The automatic-writing option is on and a receiver is connected.
    virtual bool isAutosaveActive() const = 0;
    // Copies the sheet into the image and starts the bulk write; false when it could not be
    // started (the session has reported why).
    virtual bool writeSheetToReceiver() = 0;
    // Sends one slot with a single-record write; false when it could not be sent (the session
    // has reported why).
    virtual bool writeRemoteRecord(std::size_t slot) = 0;
    // Sends the image's configuration page after a channel edit; false when it could not be
    // sent (the user has been told).
    virtual bool writeChannelSettings() = 0;
    // A slot to send as soon as the receiver has taken the previous single-record write.
    virtual void setSecondRecordSlot(std::size_t slot) = 0;
    // Empties the image's remote records, and resets its channels with channel defaults.
    virtual void clearImage(bool channelDefaults) = 0;
    // The PIN the user entered and the receiver accepted.
    virtual void setEnteredPin(std::string_view pin) = 0;
    // The link's mirror of the receiver memory.
    virtual ReceiverImage& image() = 0;
};

} // namespace konfigor
