#include "session/pin_rules.h"

#include <algorithm>

namespace konfigor {

bool isFullPin(std::string_view text) {
    return text.size() == kPinDigits &&
           std::ranges::all_of(text, [](char c) { return c >= '0' && c <= '9'; });
}

NewPinRefusal checkNewPin(bool required, std::string_view pin, std::string_view repeated) {
    if (!required)
        return NewPinRefusal::None;
    if (!isFullPin(pin))
        return NewPinRefusal::TooShort;
    if (std::ranges::all_of(pin, [](char c) { return c == '0'; }))
        return NewPinRefusal::AllZeros;
    if (repeated != pin)
        return NewPinRefusal::Differs;
    return NewPinRefusal::None;
}

} // namespace konfigor
