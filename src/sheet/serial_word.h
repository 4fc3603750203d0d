#pragma once

#include <cstdint>
#include <string>

// The 32-bit serial word of a remote: bits 0-27 the serial number, bit 30 the multi flag.
// Bits 28 and 29 travel as the receiver reported them; bit 31 is the receiver's copy lock and
// never part of a sheet's word.
namespace konfigor::serial_word {

inline constexpr std::uint32_t kNumberMask = 0x0FFF'FFFF;
inline constexpr std::uint32_t kMultiBit = 0x4000'0000;

constexpr std::uint32_t serialNumber(std::uint32_t word) {
    return word & kNumberMask;
}
constexpr bool isMulti(std::uint32_t word) {
    return (word & kMultiBit) != 0;
}

// Switching multi off keeps only the number: bits 28, 29 and 31 go with it.
constexpr std::uint32_t withMulti(std::uint32_t word, bool on) {
    return on ? (word | kMultiBit) : (word & kNumberMask);
}

// "(M) 123" for a multi remote, "123" otherwise.
std::string formatSerial(std::uint32_t word);

} // namespace konfigor::serial_word
