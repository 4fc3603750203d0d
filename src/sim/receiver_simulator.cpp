#include "sim/receiver_simulator.h"

#include "common/little_endian.h"
#include "sheet/image_transfer.h"
#include "sheet/settings_sheet.h"

#include <algorithm>

namespace konfigor {
namespace {

using namespace frame_letter;

// 8N1: a start bit, eight data bits and a stop bit per byte.
constexpr unsigned kBitsPerByte = 10;
// Bits 0-30 tell remotes apart; bit 31 is the stored copy lock.
constexpr std::uint32_t kRemoteIdentityBits = ~RemoteRecord::kCopyLockBit;
constexpr std::size_t kRemoteReportAddressOffset = 7;

Frame bare(std::uint8_t letter) {
    return Frame::encode(letter, {});
}

// 'T' for a stored remote, with its slot address; 'N' for any other.
Frame remoteReport(std::uint32_t serialWord, std::uint16_t counter, std::uint8_t buttonMask,
                   std::optional<std::size_t> slot) {
    std::array<std::uint8_t, kRemoteReportAddressOffset + 2> payload{};
    const std::span<std::uint8_t> out(payload);
    little_endian::put(out.subspan(0, 4), serialWord);
    little_endian::put(out.subspan(4, 2), counter);
    payload[6] = buttonMask;
    if (!slot)
        return Frame::encode(kUnknownRemote, out.first(kRemoteReportAddressOffset));
    little_endian::put(out.subspan(kRemoteReportAddressOffset, 2),
                       ReceiverMemory::slotAddress(*slot));
    return Frame::encode(kStoredRemote, out);
}

bool isTransferRequest(std::uint8_t letter) {
    return letter == kPage || letter == kPageWrite || letter == kRecord || letter == kRecordWrite;
}

std::optional<std::size_t> addressedSlot(std::span<const std::uint8_t> addressBytes) {
    return ReceiverMemory::slotAtAddress(little_endian::get<std::uint16_t>(addressBytes));
}

} // namespace

ReceiverSimulator::ReceiverSimulator() : ReceiverSimulator(Firmware{}) {}

ReceiverSimulator::ReceiverSimulator(const Firmware& firmware) : firmware_(firmware) {
    memory_.resetChannels();
}

void ReceiverSimulator::receive(std::span<const std::uint8_t> bytes, Time now) {
    if (silent_)
        return;
    for (const std::uint8_t byte : bytes)
        takeByte(byte, arrivalOfNextByte(now));
}

std::vector<std::uint8_t> ReceiverSimulator::takeOutput(Time now) {
    std::vector<std::uint8_t> bytes;
    while (!output_.empty() && output_.front().availableAt <= now) {
        bytes.push_back(output_.front().byte);
        output_.pop_front();
    }
    return bytes;
}

std::optional<ReceiverSimulator::Time> ReceiverSimulator::nextOutputTime() const {
    if (output_.empty())
        return std::nullopt;
    return output_.front().availableAt;
}

std::optional<std::size_t> ReceiverSimulator::pressRemote(std::uint32_t serialWord,
                                                          std::uint8_t buttonMask,
                                                          std::uint16_t counter, Time now) {
    const auto slot = findStoredRemote(serialWord);
    if (slot) {
        RemoteRecord record = memory_.record(*slot);
        record.counter = counter;
        record.counterCopy = counter;
        memory_.setRecord(*slot, record);
    }
    send(remoteReport(serialWord, counter, buttonMask, slot), now);
    return slot;
}

void ReceiverSimulator::callTool(Time now) {
    send(bare(kAnswer), now);
}

void ReceiverSimulator::loadSheet(const SettingsSheet& sheet) {
    copySheetToImage(sheet, memory_);
}

void ReceiverSimulator::setDropProbability(double probability) {
    drop_.probability = std::clamp(probability, 0.0, 1.0);
}

void ReceiverSimulator::setCorruptProbability(double probability) {
    corrupt_.probability = std::clamp(probability, 0.0, 1.0);
}

void ReceiverSimulator::setDuplicateProbability(double probability) {
    duplicate_.probability = std::clamp(probability, 0.0, 1.0);
}

void ReceiverSimulator::setSilent(bool silent) {
    silent_ = silent;
    if (!silent)
        return;
    input_.clear();
    output_.clear();
    outputLineFreeAt_ = Time{0};
    lastAnswerReadyAt_ = Time{0};
}

ReceiverSimulator::Time ReceiverSimulator::byteTime() const {
    if (baudRate_ == 0)
        return Time{0};
    constexpr unsigned kMicrosPerSecond = 1'000'000;
    // Rounded up, so that no byte is ever faster than the line.
    return Time{(kBitsPerByte * kMicrosPerSecond + baudRate_ - 1) / baudRate_};
}

ReceiverSimulator::Time ReceiverSimulator::arrivalOfNextByte(Time now) {
    inputLineFreeAt_ = std::max(now, inputLineFreeAt_) + byteTime();
    return inputLineFreeAt_;
}

void ReceiverSimulator::takeByte(std::uint8_t byte, Time arrivedAt) {
    input_.push_back(byte);
    for (;;) {
        const FrameCut cut = cutFrame(input_, FrameDirection::Request);
        input_.erase(input_.begin(), input_.begin() + static_cast<std::ptrdiff_t>(cut.consumed));
        if (!cut.frame)
            return;
        carryOut(*cut.frame, arrivedAt);
    }
}

void ReceiverSimulator::carryOut(const Frame& request, Time arrivedAt) {
    const Time readyAt = answerTime(request.letter(), arrivedAt);
    if (!request.hasValidChecksum()) {
        // Asking for the frame again is the one answer that cannot confirm anything.
        ++damagedRequests_;
        send(bare(kRepeat), readyAt);
        return;
    }
    ++requestCounts_[request.letter()];
    if (const auto answer = answerTo(request))
        send(*answer, readyAt);
}

// Taken for every request, answered or not, lost or not: the interface spent the time either way.
ReceiverSimulator::Time ReceiverSimulator::answerTime(std::uint8_t letter, Time arrivedAt) {
    const Time delay = replyDelays_[letter].value_or(answerDelay_);
    lastAnswerReadyAt_ = std::max(arrivedAt + delay, lastAnswerReadyAt_);
    return lastAnswerReadyAt_;
}

std::optional<Frame> ReceiverSimulator::answerTo(const Frame& request) {
    const std::uint8_t letter = request.letter();
    if (asksRepeat(letter))
        return bare(kRepeat);
    switch (letter) {
    case kVersion:
        return versionReport();
    case kPing:
        // 'A', not 'Y': an acknowledgement must never advance a transfer it does not belong to.
        return bare(kAnswer);
    case kPage:
        return readPage(request);
    case kPageWrite:
        return writePage(request);
    case kRecord:
        return readRecord(request);
    case kRecordWrite:
        return writeRecord(request);
    case kPress:
        lastPressChannels_ = request.payload()[0];
        return bare(kAnswer);
    case kReset:
        return bare(kReset);
    default:
        // The tool's 'A' already answers our call, and after 'K' it no longer listens.
        return std::nullopt;
    }
}

bool ReceiverSimulator::asksRepeat(std::uint8_t letter) {
    if (repeatsToAsk_ == 0 || !isTransferRequest(letter))
        return false;
    --repeatsToAsk_;
    return true;
}

Frame ReceiverSimulator::versionReport() const {
    const std::array version{
        static_cast<std::uint8_t>((firmware_.major << 4) | (firmware_.minor & 0x0F))};
    return Frame::encode(firmware_.multi ? kMultiVersion : kVersion, version);
}

// Addresses outside the memory get no answer: nothing true could be confirmed or sent back.
std::optional<Frame> ReceiverSimulator::readPage(const Frame& request) const {
    const auto page = ReceiverMemory::pageFromWire(request.payload()[0]);
    if (!page)
        return std::nullopt;
    return Frame::encode(kPage, memory_.page(*page));
}

std::optional<Frame> ReceiverSimulator::writePage(const Frame& request) {
    const auto payload = request.payload();
    const auto page = ReceiverMemory::pageFromWire(payload[ReceiverMemory::kPageSize]);
    if (!page)
        return std::nullopt;
    memory_.setPage(*page, payload.first<ReceiverMemory::kPageSize>());
    return bare(kAccepted);
}

std::optional<Frame> ReceiverSimulator::readRecord(const Frame& request) const {
    const auto slot = addressedSlot(request.payload());
    if (!slot)
        return std::nullopt;
    return Frame::encode(kRecord, memory_.record(*slot).toBytes());
}

std::optional<Frame> ReceiverSimulator::writeRecord(const Frame& request) {
    const auto payload = request.payload();
    const auto slot = addressedSlot(payload.subspan(RemoteRecord::kSize));
    if (!slot)
        return std::nullopt;
    memory_.setRecord(*slot, RemoteRecord::fromBytes(payload.first<RemoteRecord::kSize>()));
    return bare(kAccepted);
}

std::optional<std::size_t> ReceiverSimulator::findStoredRemote(std::uint32_t serialWord) const {
    const std::uint32_t identity = serialWord & kRemoteIdentityBits;
    // An empty slot is no remote, whatever is pressed.
    if (identity == 0)
        return std::nullopt;
    for (std::size_t slot = 0; slot < ReceiverMemory::kSlotCount; ++slot)
        if ((memory_.record(slot).serialField & kRemoteIdentityBits) == identity)
            return slot;
    return std::nullopt;
}

void ReceiverSimulator::send(const Frame& frame, Time readyAt) {
    if (silent_ || hitsNextFrame(drop_))
        return;
    const Frame sent = hitsNextFrame(corrupt_) ? withOneByteChanged(frame) : frame;
    putOnLine(sent, readyAt);
    if (hitsNextFrame(duplicate_))
        putOnLine(sent, readyAt);
}

bool ReceiverSimulator::hitsNextFrame(Fault& fault) {
    if (fault.count == 0)
        return happens(fault.probability);
    --fault.count;
    return true;
}

// A fault that is off draws nothing, so the faults follow from the settings and the traffic.
bool ReceiverSimulator::happens(double probability) {
    if (probability <= 0)
        return false;
    // 53 random bits make a uniform double in [0, 1) the same way on every standard library,
    // which std::uniform_real_distribution does not promise.
    constexpr double kUnit = 0x1.0p-53;
    return static_cast<double>(random_() >> 11) * kUnit < probability;
}

// Past the head, so the frame keeps its letter and length and only its checksum tells.
Frame ReceiverSimulator::withOneByteChanged(const Frame& frame) {
    std::array<std::uint8_t, Frame::kMaxSize> bytes{};
    std::ranges::copy(frame.bytes(), bytes.begin());
    const std::size_t changeable = frame.size() - Frame::kHeadSize;
    const std::size_t at = Frame::kHeadSize + static_cast<std::size_t>(random_() % changeable);
    bytes[at] ^= static_cast<std::uint8_t>(1 + random_() % 255);
    return Frame::fromBytes(std::span(bytes).first(frame.size()));
}

void ReceiverSimulator::putOnLine(const Frame& frame, Time readyAt) {
    Time at = std::max(readyAt, outputLineFreeAt_);
    for (const std::uint8_t byte : frame.bytes()) {
        at += byteTime();
        output_.push_back({at, byte});
    }
    outputLineFreeAt_ = at;
}

} // namespace konfigor
