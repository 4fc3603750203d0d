// The worker's side of the link: cutting frames from the receive buffer, the link's own action
// on each report, and the duties it carries out by itself every cycle.
#include "common/little_endian.h"
#include "link/receiver_link.h"

#include <algorithm>
#include <cstring>

namespace konfigor {
namespace {

using namespace std::chrono_literals;

// A 'V' request and its answer need 9.4 ms on a 9600-baud line: asking every cycle would pile up
// unanswered requests and start the back-off on every connect.
constexpr Clock::Milliseconds kVersionRequestPause = 20ms;
// Likewise a held virtual button must not fill the output queue.
constexpr Clock::Milliseconds kPressPause = 10ms;

// The interface reports a button as its mask 1, 2, 4 or 8; the rest of the program counts
// buttons 1 to 4.
void convertButton(LinkMessage& message) {
    std::uint8_t& button = message.bytes[LinkMessage::kButtonOffset];
    switch (button) {
    case 1:
    case 2:
        break;
    case 4:
        button = 3;
        break;
    case 8:
        button = 4;
        break;
    default:
        break;
    }
}

LinkMessage messageOf(const Frame& frame) {
    LinkMessage message;
    std::ranges::copy(frame.bytes(), message.bytes.begin());
    return message;
}

bool isReply(std::uint8_t letter) {
    using namespace frame_letter;
    return letter == kPage || letter == kAccepted || letter == kRecord || letter == kRepeat;
}

} // namespace

std::optional<Frame> ReceiverLink::parseFrame() {
    if (!readInput() || rxCount_ == 0)
        return std::nullopt;
    const FrameCut cut = cutFrame(std::span(rx_).first(rxCount_), FrameDirection::Report);
    std::memmove(rx_.data(), rx_.data() + cut.consumed, rxCount_ - cut.consumed);
    rxCount_ -= cut.consumed;
    const bool damaged = cut.frame && !cut.frame->hasValidChecksum();
    if (damaged) {
        fail(LinkError::BadChecksum);
        onDamagedFrame(*cut.frame);
    } else if (cut.consumed > (cut.frame ? cut.frame->size() : 0)) {
        // Noise may hide a reply, so the replies counted prove nothing.
        const std::lock_guard lock(mainMutex_);
        exchange_.onDoubt(clock_.now());
    }
    return cut.frame;
}

void ReceiverLink::takeFrame(const Frame& frame) {
    const std::uint8_t letter = frame.letter();
    if (isReply(letter)) {
        onReply(frame);
        return;
    }
    LinkMessage message = messageOf(frame);
    switch (letter) {
    case frame_letter::kVersion:
    case frame_letter::kMultiVersion:
        onVersion(frame);
        break;
    case frame_letter::kStoredRemote:
        onStoredRemote(message);
        break;
    case frame_letter::kUnknownRemote:
        convertButton(message);
        break;
    case frame_letter::kAnswer:
        onAnswerCall();
        break;
    default:
        break;
    }
    queue_.push(message);
}

// The probe goes out once per version learnt: answers to the repeated version requests that are
// still under way must not start it again, or several page-0 answers would be on the line.
void ReceiverLink::onVersion(const Frame& frame) {
    if (versionMajor_ != 0)
        return;
    const std::uint8_t version = frame.payload()[0];
    const std::lock_guard lock(mainMutex_);
    // Pending before the version shows: "probed" must never be seen between the two.
    probePending_ = true;
    multi_ = frame.letter() == frame_letter::kMultiVersion;
    versionMinor_ = static_cast<std::uint8_t>(version & 0x0F);
    versionMajor_ = static_cast<std::uint8_t>(version >> 4);
    // Even during a transfer: the probe waits for the line like any other request.
    probeDue_ = true;
    serviceExchange();
}

void ReceiverLink::onDamagedFrame(const Frame& frame) {
    const std::lock_guard lock(mainMutex_);
    if (!isReply(frame.letter()))
        exchange_.onDoubt(clock_.now());
    else if (exchange_.onDamagedReply(frame.letter(), clock_.now()) ==
             LinkExchange::Verdict::OutOfStep)
        onOutOfStep();
}

void ReceiverLink::queueMessage(const Frame& frame) {
    queue_.push(messageOf(frame));
}

void ReceiverLink::onStoredRemote(LinkMessage& message) {
    const auto slotField = std::span(message.bytes).subspan(LinkMessage::kSlotOffset, 2);
    const auto address = little_endian::get<std::uint16_t>(slotField);
    little_endian::put(slotField,
                       static_cast<std::uint16_t>(address - ReceiverMemory::slotAddress(0)));
    convertButton(message);
    const LinkMessage::RemoteReport report = message.remoteReport();
    image_.refreshCounter(report.slot, report.serialWord, report.counter);
}

void ReceiverLink::onAnswerCall() {
    sendAnswer();
    if (!isBulkReadInProgress() && !isBulkWriteInProgress()) {
        const std::lock_guard lock(mainMutex_);
        exchange_.postponeRepeat(clock_.now());
    }
}

// What the worker sends by itself: version requests until the receiver has answered, then the
// virtual button's presses or the page repeats.
void ReceiverLink::runDuties() {
    const Milliseconds now = clock_.now();
    if (versionMajor_ == 0) {
        if (now.count() < aliveUntil_ && now >= nextVersionRequest_) {
            nextVersionRequest_ = now + kVersionRequestPause;
            requestVersion();
        }
        return;
    }
    if (activeButton_ >= 0 && pressStep(now))
        return;
    serviceExchange();
}

// False when the released button has just become inactive, so that the cycle repeats pages.
bool ReceiverLink::pressStep(Milliseconds now) {
    if (!firstPressPending_ && released_) {
        activeButton_ = -1;
        return false;
    }
    if (now < nextPress_)
        return true;
    const int button = std::clamp(activeButton_.load(), 0, 3);
    const std::uint16_t mask = pressMasks_[static_cast<std::size_t>(button)];
    const bool first = firstPressPending_;
    // Momentary channels stay on while the button is held; the others switch on the first press.
    std::array<bool, 4> channels{};
    image_.read([&](const ReceiverMemory& m) {
        for (std::size_t c = 0; c < channels.size(); ++c)
            channels[c] = (mask >> c & 1) != 0 && (first || m.isChannelMomentary(c));
    });
    firstPressPending_ = false;
    nextPress_ = now + kPressPause;
    sendPress(channels[0], channels[1], channels[2], channels[3]);
    return true;
}

} // namespace konfigor
