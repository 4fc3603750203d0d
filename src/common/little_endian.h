#pragma once

#include <concepts>
#include <cstddef>
#include <cstdint>
#include <span>

// The receiver, its settings files and the clipboard block are little-endian whatever the host
// is; these read and write integers byte by byte so the host's order never matters.
namespace konfigor::little_endian {

template <std::unsigned_integral Int>
constexpr Int get(std::span<const std::uint8_t> bytes) {
    Int value = 0;
    for (std::size_t i = 0; i < sizeof(Int); ++i)
        value = static_cast<Int>(value | static_cast<Int>(Int{bytes[i]} << (8 * i)));
    return value;
}

template <std::unsigned_integral Int>
constexpr void put(std::span<std::uint8_t> bytes, Int value) {
    for (std::size_t i = 0; i < sizeof(Int); ++i)
        bytes[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

} // namespace konfigor::little_endian
