#include "link/frame.h"

#include <algorithm>
#include <stdexcept>

namespace konfigor {
namespace {

struct LetterLength {
    std::uint8_t letter;
    std::size_t length;
};

using namespace frame_letter;

constexpr std::array<LetterLength, 10> kRequestLengths{{
    {kVersion, 4},
    {kPing, 4},
    {kPage, 5},
    {kPageWrite, 37},
    {kRecord, 6},
    {kRecordWrite, 16},
    {kPress, 5},
    {kReset, 4},
    {kAnswer, 4},
    {kEndConnection, 4},
}};

constexpr std::array<LetterLength, 10> kReportLengths{{
    {kAnswer, 4},
    {kRepeat, 4},
    {kPage, 36},
    {kRecord, 14},
    {kUnknownRemote, 11},
    {kMultiVersion, 5},
    {kReset, 4},
    {kStoredRemote, 13},
    {kVersion, 5},
    {kAccepted, 4},
}};

std::optional<std::size_t> findHead(std::span<const std::uint8_t> buffer, std::size_t from) {
    for (std::size_t i = from; i + 1 < buffer.size(); ++i)
        if (buffer[i] == Frame::kHeadFirst && buffer[i + 1] == Frame::kHeadSecond)
            return i;
    return std::nullopt;
}

// The last byte may be the 'M' of a frame still arriving.
std::size_t allButLastByte(std::span<const std::uint8_t> buffer) {
    return buffer.empty() ? 0 : buffer.size() - 1;
}

} // namespace

std::optional<std::size_t> frameLength(FrameDirection direction, std::uint8_t letter) {
    const auto& table = direction == FrameDirection::Request ? kRequestLengths : kReportLengths;
    const auto* entry =
        std::ranges::find_if(table, [letter](const LetterLength& e) { return e.letter == letter; });
    if (entry == table.end())
        return std::nullopt;
    return entry->length;
}

std::uint8_t frameChecksum(std::span<const std::uint8_t> bytes) {
    std::uint8_t sum = 0;
    for (const std::uint8_t byte : bytes)
        sum ^= byte;
    return sum;
}

Frame Frame::encode(std::uint8_t letter, std::span<const std::uint8_t> payload) {
    if (payload.size() > kMaxPayloadSize)
        throw std::length_error("frame payload too long");
    Frame frame;
    frame.bytes_[0] = kHeadFirst;
    frame.bytes_[1] = kHeadSecond;
    frame.bytes_[2] = letter;
    std::ranges::copy(payload, frame.bytes_.begin() + kHeadSize);
    frame.size_ = kHeadSize + payload.size();
    frame.bytes_[frame.size_] = frameChecksum(frame.bytes());
    ++frame.size_;
    return frame;
}

Frame Frame::fromBytes(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < Frame::kMinSize || bytes.size() > kMaxSize)
        throw std::length_error("not a frame's length");
    Frame frame;
    std::ranges::copy(bytes, frame.bytes_.begin());
    frame.size_ = bytes.size();
    return frame;
}

FrameCut cutFrame(std::span<const std::uint8_t> buffer, FrameDirection direction) {
    std::size_t searchFrom = 0;
    for (;;) {
        const auto head = findHead(buffer, searchFrom);
        if (!head)
            return {.consumed = allButLastByte(buffer), .frame = std::nullopt};
        const auto rest = buffer.subspan(*head);
        if (rest.size() < Frame::kHeadSize)
            return {.consumed = *head, .frame = std::nullopt};
        const auto length = frameLength(direction, rest[2]);
        if (!length) {
            // Drop the 'M' of a head we cannot size, rather than wait on it forever.
            searchFrom = *head + 1;
            continue;
        }
        if (rest.size() < *length)
            return {.consumed = *head, .frame = std::nullopt};
        const Frame frame = Frame::fromBytes(rest.first(*length));
        // After a damaged frame nothing buffered behind it can be trusted to line up.
        const std::size_t consumed = frame.hasValidChecksum() ? *head + *length : buffer.size();
        return {.consumed = consumed, .frame = frame};
    }
}

} // namespace konfigor
