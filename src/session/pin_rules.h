#pragma once

#include <cstddef>
#include <string_view>

namespace konfigor {

inline constexpr std::size_t kPinDigits = 5;

// Exactly five characters, each a digit 0-9.
bool isFullPin(std::string_view text);

// Why a new PIN is refused; nothing when the requirement is switched off, whatever the fields.
enum class NewPinRefusal { None, TooShort, AllZeros, Differs };
NewPinRefusal checkNewPin(bool required, std::string_view pin, std::string_view repeated);

} // namespace konfigor
