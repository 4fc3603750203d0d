// A receive buffer fed as a link feeds it: the line's bytes come in pieces of any size, each read
// takes no more than the buffer's free space, and frames are cut from its front until none is
// left. Whatever the bytes, every cut stays inside the buffer, every frame has its letter's
// length, and the buffer always makes room again, so it can never stall full.
#include "link/frame.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

using konfigor::Frame;
using konfigor::FrameCut;
using konfigor::FrameDirection;

constexpr std::size_t kBufferSize = 256;
// The input starts with a byte choosing the direction, then this many bytes giving, in turn, the
// sizes of the pieces the rest arrives in.
constexpr std::size_t kPieceSizeBytes = 8;
constexpr std::size_t kHeaderSize = 1 + kPieceSizeBytes;

void require(bool condition) {
    if (!condition)
        std::abort();
}

void checkFrame(const Frame& frame, std::span<const std::uint8_t> held, std::size_t consumed,
                FrameDirection direction) {
    require(konfigor::frameLength(direction, frame.letter()) == frame.size());
    require(frame.bytes()[0] == Frame::kHeadFirst && frame.bytes()[1] == Frame::kHeadSecond);
    if (!frame.hasValidChecksum()) {
        // Nothing behind a damaged frame is trusted.
        require(consumed == held.size());
        return;
    }
    require(consumed >= frame.size());
    require(std::ranges::equal(frame.bytes(), held.subspan(consumed - frame.size(), frame.size())));
}

// Cuts frames until none is left, dropping what each cut consumed; returns the bytes kept.
std::size_t cutFrames(std::array<std::uint8_t, kBufferSize>& buffer, std::size_t count,
                      FrameDirection direction) {
    for (;;) {
        const auto held = std::span<const std::uint8_t>(buffer).first(count);
        const FrameCut cut = konfigor::cutFrame(held, direction);
        require(cut.consumed <= count);
        // A full buffer that gives nothing up would never take another byte.
        require(count < kBufferSize || cut.consumed > 0);
        if (cut.frame)
            checkFrame(*cut.frame, held, cut.consumed, direction);
        std::copy(held.begin() + static_cast<std::ptrdiff_t>(cut.consumed), held.end(),
                  buffer.begin());
        count -= cut.consumed;
        if (!cut.frame)
            break;
    }
    // Only the start of a frame still arriving may wait; anything longer would be a frame.
    require(count < Frame::kMaxSize);
    return count;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> input(data, size);
    if (input.size() <= kHeaderSize)
        return 0;
    const FrameDirection direction =
        (input[0] & 1) != 0 ? FrameDirection::Report : FrameDirection::Request;
    const auto pieceSizes = input.subspan(1, kPieceSizeBytes);
    auto line = input.subspan(kHeaderSize);

    std::array<std::uint8_t, kBufferSize> buffer{};
    std::size_t count = 0;
    for (std::size_t piece = 0; !line.empty(); ++piece) {
        // What does not fit waits on the line for the next read.
        const std::size_t wanted = pieceSizes[piece % kPieceSizeBytes] + std::size_t{1};
        const std::size_t taken = std::min({wanted, kBufferSize - count, line.size()});
        require(taken > 0);
        std::ranges::copy(line.first(taken), buffer.begin() + static_cast<std::ptrdiff_t>(count));
        count += taken;
        line = line.subspan(taken);
        count = cutFrames(buffer, count, direction);
    }
    return 0;
}
