#pragma once

#include <optional>
#include <string>

namespace konfigor {

// The PIN windows as the session logic sees them; tests answer from a script.
class PinDialogs {
public:
    struct NewPin {
        bool required = false;
        std::string pin; // empty when the requirement is switched off
    };

    virtual ~PinDialogs() = default;

    // TFormPin is on show (a later notification must not open a second one).
    virtual bool isPinEntryVisible() const = 0;
    // TFormPin, modal: the five digits entered, nothing on Cancel. The window itself keeps
    // fewer than five digits from closing it.
    virtual std::optional<std::string> askPin() = 0;
    // TFormPinEdit, modal, its requirement box set as given: the new setting, nothing on
    // Cancel. The window refuses what checkNewPin refuses and stays open.
    virtual std::optional<NewPin> askNewPin(bool required) = 0;
};

} // namespace konfigor
