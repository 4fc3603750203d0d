#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace konfigor {

// The letter at offset 2 of every frame. Several letters mean a request one way and its answer
// the other way; the comments name both where they differ.
namespace frame_letter {
inline constexpr std::uint8_t kVersion = 'V';      // version request; a single receiver's report
inline constexpr std::uint8_t kMultiVersion = 'Q'; // version report of a multi receiver
inline constexpr std::uint8_t kPing = 'D';
inline constexpr std::uint8_t kPage = 'E'; // page read request; the page's data
inline constexpr std::uint8_t kPageWrite = 'S';
inline constexpr std::uint8_t kRecord = 'L'; // record read request; the record's data
inline constexpr std::uint8_t kRecordWrite = 'C';
inline constexpr std::uint8_t kPress = 'P';  // virtual-remote press
inline constexpr std::uint8_t kReset = 'R';  // reset request; its confirmation
inline constexpr std::uint8_t kAnswer = 'A'; // the interface's call; the tool's answer to it
inline constexpr std::uint8_t kEndConnection = 'K';
inline constexpr std::uint8_t kAccepted = 'Y'; // a page or record write was taken
inline constexpr std::uint8_t kRepeat = 'B';   // send the current page again
inline constexpr std::uint8_t kStoredRemote = 'T';
inline constexpr std::uint8_t kUnknownRemote = 'N';
} // namespace frame_letter

// Requests go from the tool to the interface, reports come back. The letter alone fixes a
// frame's length, and the same letter can have a different length in each direction.
enum class FrameDirection { Request, Report };

// Whole frame length for a letter, or nothing for a letter this direction does not carry.
std::optional<std::size_t> frameLength(FrameDirection direction, std::uint8_t letter);

// Exclusive-or of the bytes: over a frame without its last byte it is the checksum to append;
// over a whole received frame it is 0 when the frame is intact.
std::uint8_t frameChecksum(std::span<const std::uint8_t> bytes);

// One frame as it goes on the wire: "MX", letter, payload, checksum. A fixed buffer, so that
// building and cutting frames never allocates.
class Frame {
public:
    static constexpr std::uint8_t kHeadFirst = 'M';
    static constexpr std::uint8_t kHeadSecond = 'X';
    // "MX" and the letter.
    static constexpr std::size_t kHeadSize = 3;
    // The page write request, the longest frame in either direction.
    static constexpr std::size_t kMaxSize = 37;
    static constexpr std::size_t kMinSize = kHeadSize + 1;
    static constexpr std::size_t kMaxPayloadSize = kMaxSize - kMinSize;

    Frame() = default;

    // Appends the checksum. Throws std::length_error beyond kMaxPayloadSize.
    static Frame encode(std::uint8_t letter, std::span<const std::uint8_t> payload);
    // Takes whole frame bytes as they came, checksum unchecked. Throws std::length_error for
    // fewer than 4 or more than kMaxSize bytes.
    static Frame fromBytes(std::span<const std::uint8_t> bytes);

    std::uint8_t letter() const { return bytes_[2]; }
    std::size_t size() const { return size_; }
    std::span<const std::uint8_t> bytes() const { return std::span(bytes_).first(size_); }
    // Between the letter and the checksum; empty for a default-constructed frame.
    std::span<const std::uint8_t> payload() const {
        return std::span(bytes_).subspan(kHeadSize, size_ < kMinSize ? 0 : size_ - kMinSize);
    }
    bool hasValidChecksum() const { return size_ >= kMinSize && frameChecksum(bytes()) == 0; }

    friend bool operator==(const Frame& a, const Frame& b) {
        return std::ranges::equal(a.bytes(), b.bytes());
    }

private:
    std::array<std::uint8_t, kMaxSize> bytes_{};
    std::size_t size_ = 0;
};

struct FrameCut {
    // Bytes to drop from the front of the buffer: noise before the frame and the frame itself,
    // or after a bad checksum everything buffered.
    std::size_t consumed = 0;
    // A complete frame, its checksum good or bad; nothing while more input is needed.
    std::optional<Frame> frame;
};

// Cuts the first frame from the front of a receive buffer. Bytes before "MX" are noise. A head
// followed by a letter the direction does not know loses its 'M' and the search goes on, so
// one stray head never blocks the buffer. Without any head the last byte stays, since it may
// be the 'M' of a frame still arriving. Call again after dropping `consumed` bytes while it
// returns frames.
FrameCut cutFrame(std::span<const std::uint8_t> buffer, FrameDirection direction);

} // namespace konfigor
