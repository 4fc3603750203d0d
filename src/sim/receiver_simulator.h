#pragma once

#include "link/frame.h"
#include "link/receiver_memory.h"
#include "link/remote_record.h"

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <random>
#include <span>
#include <vector>

namespace konfigor {

struct SettingsSheet;

// A receiver and its USB interface as a protocol engine: request bytes in, answer bytes out,
// with the time passed in by the caller. No threads and no I/O; whoever moves the bytes (a
// pseudo-terminal server, a test) calls receive() and takeOutput(). Bytes take their time on a
// 9600 baud 8N1 line in both directions, so an answer is never available sooner than the line
// allows; frames leave in the order they were produced.
class ReceiverSimulator {
public:
    using Time = std::chrono::microseconds;
    static constexpr unsigned kBaudRate = 9600;
    static constexpr std::uint64_t kDefaultSeed = 1;

    struct Firmware {
        std::uint8_t major = 2;
        std::uint8_t minor = 7;
        // A multi receiver reports its version with 'Q' instead of 'V'.
        bool multi = false;
    };

    // Firmware 2.7, factory channels, no remotes, no PIN.
    ReceiverSimulator();
    explicit ReceiverSimulator(const Firmware& firmware);

    // Takes bytes written by the tool at `now`, split or merged in any way. Each byte is acted on
    // as it arrives, as the interface's serial port does, so how writes were chunked never
    // changes the outcome.
    void receive(std::span<const std::uint8_t> bytes, Time now);
    // The bytes that have fully arrived at the tool's end by `now`, oldest first.
    std::vector<std::uint8_t> takeOutput(Time now);
    // When the next byte will be available; nothing while no output waits.
    std::optional<Time> nextOutputTime() const;

    // A remote's button (mask 1, 2, 4 or 8) transmitting `counter`. A stored remote (same serial
    // word in bits 0-30) gets the counter stored and is reported with 'T', any other with 'N'.
    // Returns the stored remote's slot.
    std::optional<std::size_t> pressRemote(std::uint32_t serialWord, std::uint8_t buttonMask,
                                           std::uint16_t counter, Time now);
    // The interface's own 'A' call, which the tool answers.
    void callTool(Time now);

    ReceiverMemory& memory() { return memory_; }
    const ReceiverMemory& memory() const { return memory_; }
    void storeRemote(std::size_t slot, const RemoteRecord& record) {
        memory_.setRecord(slot, record);
    }
    RemoteRecord storedRemote(std::size_t slot) const { return memory_.record(slot); }
    // Remotes and channel settings as a bulk write of this sheet leaves them; the PIN and the
    // locks stay.
    void loadSheet(const SettingsSheet& sheet);
    const Firmware& firmware() const { return firmware_; }
    void setFirmware(const Firmware& firmware) { firmware_ = firmware; }

    // What the tool sent: intact requests by letter, and damaged ones.
    unsigned requestCount(std::uint8_t letter) const { return requestCounts_[letter]; }
    unsigned damagedRequestCount() const { return damagedRequests_; }
    // Channel bits of the last virtual-remote press.
    std::optional<std::uint8_t> lastPressChannels() const { return lastPressChannels_; }

    // Failure knobs. Dropping, corrupting and duplicating hit the next frames the interface
    // sends, answers and reports alike; a dropped answer's request has still been carried out. A
    // corrupted frame has one byte after its letter changed, so it keeps its length and fails
    // its checksum. A duplicated frame goes out twice, back to back, the same bytes both times.
    void dropFrames(unsigned count) { drop_.count = count; }
    void corruptFrames(unsigned count) { corrupt_.count = count; }
    void duplicateFrames(unsigned count) { duplicate_.count = count; }
    // The chance (0 to 1) that each frame sent is dropped, corrupted or duplicated, once the
    // counts above are used up. The draws come from a generator seeded with setSeed()
    // (kDefaultSeed until then), so the same seed and the same traffic give the same faults.
    void setDropProbability(double probability);
    void setCorruptProbability(double probability);
    void setDuplicateProbability(double probability);
    void setSeed(std::uint64_t seed) { random_.seed(seed); }
    // The next page and record requests are answered with 'B' and not carried out.
    void askRepeats(unsigned count) { repeatsToAsk_ = count; }
    // An unplugged interface: nothing is carried out or sent, and output not yet delivered is
    // lost. The receiver itself goes on (remote presses still update counters).
    void setSilent(bool silent);
    // Time between a request's last byte and its answer.
    void setAnswerDelay(Time delay) { answerDelay_ = delay; }
    // The same for requests of this letter alone, in place of the answer delay. The interface works
    // through requests one at a time, so an answer never leaves before an earlier request's.
    void setReplyDelay(std::uint8_t letter, Time delay) { replyDelays_[letter] = delay; }
    // 0 takes the line's time away: every byte is there at once.
    void setBaudRate(unsigned baudRate) { baudRate_ = baudRate; }

private:
    struct TimedByte {
        Time availableAt;
        std::uint8_t byte;
    };
    // A fault hits the next `count` frames, then each frame with `probability`.
    struct Fault {
        unsigned count = 0;
        double probability = 0;
    };

    Time byteTime() const;
    Time arrivalOfNextByte(Time now);
    void takeByte(std::uint8_t byte, Time arrivedAt);
    void carryOut(const Frame& request, Time arrivedAt);
    Time answerTime(std::uint8_t letter, Time arrivedAt);
    std::optional<Frame> answerTo(const Frame& request);
    bool asksRepeat(std::uint8_t letter);
    Frame versionReport() const;
    std::optional<Frame> readPage(const Frame& request) const;
    std::optional<Frame> writePage(const Frame& request);
    std::optional<Frame> readRecord(const Frame& request) const;
    std::optional<Frame> writeRecord(const Frame& request);
    std::optional<std::size_t> findStoredRemote(std::uint32_t serialWord) const;
    void send(const Frame& frame, Time readyAt);
    bool hitsNextFrame(Fault& fault);
    bool happens(double probability);
    Frame withOneByteChanged(const Frame& frame);
    void putOnLine(const Frame& frame, Time readyAt);

    Firmware firmware_;
    ReceiverMemory memory_;
    std::vector<std::uint8_t> input_;
    std::deque<TimedByte> output_;
    Time inputLineFreeAt_{0};
    Time outputLineFreeAt_{0};
    Time answerDelay_{0};
    std::array<std::optional<Time>, 256> replyDelays_{};
    // When the latest answer was ready to go; the next one is never ready sooner.
    Time lastAnswerReadyAt_{0};
    unsigned baudRate_ = kBaudRate;
    Fault drop_;
    Fault corrupt_;
    Fault duplicate_;
    std::mt19937_64 random_{kDefaultSeed};
    unsigned repeatsToAsk_ = 0;
    bool silent_ = false;
    std::array<unsigned, 256> requestCounts_{};
    unsigned damagedRequests_ = 0;
    std::optional<std::uint8_t> lastPressChannels_;
};

} // namespace konfigor
