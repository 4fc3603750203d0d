#include "link/frame.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace konfigor {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes bytesOf(const Frame& frame) {
    return {frame.bytes().begin(), frame.bytes().end()};
}

Bytes join(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

// Reports as the interface sends them.
const Bytes kVersion27 = {0x4D, 0x58, 0x56, 0x27, 0x64};
const Bytes kVersion27BadSum = {0x4D, 0x58, 0x56, 0x27, 0x65};
const Bytes kAccepted = {0x4D, 0x58, 0x59, 0x4C};

struct ChecksumCase {
    std::uint8_t letter;
    Bytes payload;
    Bytes wire;
};

TEST(FrameChecksum, EncodesTheKnownFrames) {
    const std::vector<ChecksumCase> cases = {
        {'V', {}, {0x4D, 0x58, 0x56, 0x43}},
        {'D', {}, {0x4D, 0x58, 0x44, 0x51}},
        {'A', {}, {0x4D, 0x58, 0x41, 0x54}},
        {'K', {}, {0x4D, 0x58, 0x4B, 0x5E}},
        {'R', {}, {0x4D, 0x58, 0x52, 0x47}},
        {'E', {0x01}, {0x4D, 0x58, 0x45, 0x01, 0x51}},
        {'L', {0x20, 0x00}, {0x4D, 0x58, 0x4C, 0x20, 0x00, 0x79}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(1, static_cast<char>(c.letter)));
        const Frame frame = Frame::encode(c.letter, c.payload);
        EXPECT_EQ(bytesOf(frame), c.wire);
        EXPECT_EQ(frame.letter(), c.letter);
        EXPECT_TRUE(frame.hasValidChecksum());
    }
}

TEST(FrameChecksum, AnyFlippedBitFailsTheCheck) {
    const Bytes wire = {0x4D, 0x58, 0x4C, 0x20, 0x00, 0x79};
    for (std::size_t byte = 0; byte < wire.size(); ++byte) {
        for (int bit = 0; bit < 8; ++bit) {
            Bytes damaged = wire;
            damaged[byte] ^= static_cast<std::uint8_t>(1 << bit);
            EXPECT_FALSE(Frame::fromBytes(damaged).hasValidChecksum()) << byte << "/" << bit;
        }
    }
}

TEST(FrameLength, EveryLetterInBothDirections) {
    const std::map<char, std::size_t> requests = {{'V', 4}, {'D', 4},  {'E', 5}, {'S', 37},
                                                  {'L', 6}, {'C', 16}, {'P', 5}, {'R', 4},
                                                  {'A', 4}, {'K', 4}};
    const std::map<char, std::size_t> reports = {{'A', 4},  {'B', 4}, {'E', 36}, {'L', 14},
                                                 {'N', 11}, {'Q', 5}, {'R', 4},  {'T', 13},
                                                 {'V', 5},  {'Y', 4}};
    const auto expected = [](const std::map<char, std::size_t>& table,
                             int letter) -> std::optional<std::size_t> {
        const auto found = table.find(static_cast<char>(letter));
        if (found == table.end())
            return std::nullopt;
        return found->second;
    };
    for (int letter = 0; letter < 256; ++letter) {
        const auto byte = static_cast<std::uint8_t>(letter);
        EXPECT_EQ(frameLength(FrameDirection::Request, byte), expected(requests, letter))
            << "request " << letter;
        EXPECT_EQ(frameLength(FrameDirection::Report, byte), expected(reports, letter))
            << "report " << letter;
    }
}

TEST(FrameEncode, EveryLetterRoundTripsThroughTheParser) {
    for (const auto direction : {FrameDirection::Request, FrameDirection::Report}) {
        for (const char letter : std::string("ABCDEKLNPQRSTVY")) {
            const auto length = frameLength(direction, static_cast<std::uint8_t>(letter));
            if (!length)
                continue;
            SCOPED_TRACE(std::string(1, letter));
            // A payload full of heads must not fool the parser.
            Bytes payload(*length - 4);
            for (std::size_t i = 0; i < payload.size(); ++i)
                payload[i] = i % 2 == 0 ? 'M' : 'X';
            const Frame frame = Frame::encode(static_cast<std::uint8_t>(letter), payload);
            ASSERT_EQ(frame.size(), *length);
            EXPECT_EQ(Bytes(frame.payload().begin(), frame.payload().end()), payload);

            const FrameCut cut = cutFrame(frame.bytes(), direction);
            EXPECT_EQ(cut.consumed, *length);
            ASSERT_TRUE(cut.frame);
            EXPECT_EQ(*cut.frame, frame);
        }
    }
}

TEST(FrameEncode, RefusesWhatNoFrameCanHold) {
    EXPECT_THROW(Frame::encode('S', Bytes(Frame::kMaxPayloadSize + 1)), std::length_error);
    EXPECT_THROW(Frame::fromBytes(Bytes{0x4D, 0x58, 0x41}), std::length_error);
}

struct CutCase {
    const char* name;
    Bytes buffer;
    std::size_t consumed;
    std::optional<Bytes> frame;
    FrameDirection direction = FrameDirection::Report;
};

TEST(FrameParser, CutsAndResynchronises) {
    const std::vector<CutCase> cases = {
        {"empty buffer", {}, 0, std::nullopt},
        {"one whole frame", kVersion27, 5, kVersion27},
        {"noise before the head is dropped", join({{0x01, 0x02, 0x5A}, kVersion27}), 8, kVersion27},
        {"noise without a head keeps its last byte", {0x01, 0x02, 0x03}, 2, std::nullopt},
        {"a lone M waits", {0x4D}, 0, std::nullopt},
        {"noise then a lone M", {0x01, 0x4D}, 1, std::nullopt},
        {"a head without its letter waits", {0x4D, 0x58}, 0, std::nullopt},
        {"an incomplete frame waits at its head", {0x01, 0x4D, 0x58, 0x56, 0x27}, 1, std::nullopt},
        {"MX and an unknown letter lose the M", join({{0x4D, 0x58, 0x5A}, kVersion27}), 8,
         kVersion27},
        {"MX and an unknown letter alone", {0x4D, 0x58, 0x5A}, 2, std::nullopt},
        {"a head right behind a head", join({{0x4D, 0x58}, kVersion27}), 7, kVersion27},
        {"a request letter is unknown among reports", join({{0x4D, 0x58, 0x53}, kAccepted}), 7,
         kAccepted},
        {"a report letter is unknown among requests",
         join({{0x4D, 0x58, 0x54}, {0x4D, 0x58, 0x56, 0x43}}), 7, Bytes{0x4D, 0x58, 0x56, 0x43},
         FrameDirection::Request},
        {"the first of two frames", join({kAccepted, kVersion27}), 4, kAccepted},
        {"a bad checksum takes the rest of the buffer", join({kVersion27BadSum, kAccepted}), 9,
         kVersion27BadSum},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const FrameCut cut = cutFrame(c.buffer, c.direction);
        EXPECT_EQ(cut.consumed, c.consumed);
        ASSERT_EQ(cut.frame.has_value(), c.frame.has_value());
        if (c.frame) {
            EXPECT_EQ(bytesOf(*cut.frame), *c.frame);
        }
    }
}

// The link's receive buffer: each fill is appended, then frames are cut until none is left.
std::vector<Bytes> cutFromFills(const std::vector<Bytes>& fills) {
    Bytes buffer;
    std::vector<Bytes> frames;
    for (const Bytes& fill : fills) {
        buffer.insert(buffer.end(), fill.begin(), fill.end());
        for (;;) {
            const FrameCut cut = cutFrame(buffer, FrameDirection::Report);
            buffer.erase(buffer.begin(),
                         buffer.begin() + static_cast<std::ptrdiff_t>(cut.consumed));
            if (!cut.frame)
                break;
            frames.push_back(bytesOf(*cut.frame));
        }
    }
    return frames;
}

struct FillCase {
    const char* name;
    std::vector<Bytes> fills;
    std::vector<Bytes> frames;
};

TEST(FrameParser, AssemblesFramesAcrossFills) {
    std::vector<Bytes> byteByByte;
    for (const std::uint8_t byte : kVersion27)
        byteByByte.push_back({byte});
    const std::vector<FillCase> cases = {
        {"one byte per fill", byteByByte, {kVersion27}},
        {"head apart from its letter", {{0x4D}, {0x58, 0x56, 0x27}, {0x64}}, {kVersion27}},
        {"two frames and noise over three fills",
         {{0x00, 0x4D}, {0x58, 0x59, 0x4C, 0x4D, 0x58}, {0x56, 0x27, 0x64}},
         {kAccepted, kVersion27}},
        {"a bad frame costs its own fill only",
         {join({kVersion27BadSum, kAccepted}), kVersion27},
         {kVersion27BadSum, kVersion27}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(cutFromFills(c.fills), c.frames);
    }
}

} // namespace
} // namespace konfigor
