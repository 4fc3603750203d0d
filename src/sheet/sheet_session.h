#pragma once

#include <string_view>

namespace konfigor {

class ReceiverImage;

// What the sheet logic needs of the receiver session.
class SheetSession {
public:
    virtual ~SheetSession() = default;

    // The automatic-writing option is on and a receiver is connected.
    virtual bool isAutosaveActive() const = 0;
    // Copies the sheet into the image and starts the bulk write; false when it could not be
    // started (the session has reported why).
    virtual bool writeSheetToReceiver() = 0;
    // The PIN the user entered and the receiver accepted.
    virtual void setEnteredPin(std::string_view pin) = 0;
    // The link's mirror of the receiver memory.
    virtual ReceiverImage& image() = 0;
};

} // namespace konfigor
