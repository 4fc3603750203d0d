#include "link/link_exchange.h"

#include <algorithm>

namespace konfigor {
namespace {

using namespace std::chrono_literals;
using namespace frame_letter;

// Scheduling and the line's own jitter on top of the longest round trip seen.
constexpr Clock::Milliseconds kQuietMargin = 50ms;

} // namespace

void LinkExchange::begin(Kind kind, std::size_t target, const Frame& request, bool settleByQuiet) {
    clear();
    kind_ = kind;
    target_ = target;
    request_ = request;
    settleByQuiet_ = settleByQuiet;
}

void LinkExchange::clear() {
    kind_ = Kind::None;
    target_ = 0;
    request_ = Frame{};
    answer_.reset();
    settleByQuiet_ = false;
    doubtful_ = false;
    sent_ = 0;
    replies_ = 0;
}

void LinkExchange::sent(Milliseconds now) {
    if (sent_++ == 0)
        firstSentAt_ = now;
    lastTrafficAt_ = now;
    repeatAt_ = now + kRepeatAfter;
}

LinkExchange::Verdict LinkExchange::onReply(std::uint8_t letter, const Frame& frame,
                                            Milliseconds now) {
    if (kind_ == Kind::None)
        return Verdict::OutOfStep;
    heard(now);
    if (kind_ == Kind::Drain)
        return Verdict::Ignore;
    if (!accepts(letter) || sent_ == 0)
        return Verdict::OutOfStep;
    if (replies_++ == 0)
        measuredRoundTrip_ = std::max(measuredRoundTrip_.value_or(0ms), now - firstSentAt_);
    if (replies_ > sent_)
        return Verdict::OutOfStep;
    if (answer_)
        return Verdict::Ignore;
    if (letter == kRepeat)
        return Verdict::Repeat;
    answer_ = frame;
    return Verdict::Take;
}

void LinkExchange::onDoubt(Milliseconds now) {
    if (kind_ == Kind::None)
        return;
    heard(now);
    doubtful_ = true;
}

LinkExchange::Verdict LinkExchange::onDamagedReply(std::uint8_t letter, Milliseconds now) {
    onDoubt(now);
    if (kind_ == Kind::None || kind_ == Kind::Drain || !accepts(letter))
        return Verdict::Ignore;
    // Its data is lost, but it was an answer: counting it lets a reply too many show.
    return ++replies_ > sent_ ? Verdict::OutOfStep : Verdict::Ignore;
}

void LinkExchange::drain(Milliseconds now) {
    clear();
    kind_ = Kind::Drain;
    lastTrafficAt_ = now;
}

bool LinkExchange::isRepeatDue(Milliseconds now) const {
    return kind_ != Kind::None && kind_ != Kind::Drain && !answer_ && now >= repeatAt_;
}

bool LinkExchange::isSettled(Milliseconds now) const {
    switch (kind_) {
    case Kind::None:
        return true;
    case Kind::Drain:
        return now >= lastTrafficAt_ + quietWindow();
    default:
        if (!answer_)
            return false;
        // Counting settles only the plain case: one request, one reply. After a repeat, a
        // duplicated reply could pass for the repeat's answer.
        if (!settleByQuiet_ && isPlain())
            return true;
        return now >= quietDeadline();
    }
}

bool LinkExchange::isPlain() const {
    return !doubtful_ && sent_ == 1 && replies_ == 1;
}

// In the plain case nothing but a doubled reply, right behind the one heard, or the answer of an
// earlier request, within a round trip of the request, could still come.
LinkExchange::Milliseconds LinkExchange::quietDeadline() const {
    if (isPlain())
        return std::max(firstSentAt_ + quietWindow(), lastHeardAt_ + kQuietMargin);
    return lastTrafficAt_ + quietWindow();
}

std::optional<LinkExchange::Milliseconds> LinkExchange::nextDeadline() const {
    if (kind_ == Kind::None)
        return std::nullopt;
    if (kind_ == Kind::Drain)
        return lastTrafficAt_ + quietWindow();
    if (!answer_)
        return repeatAt_;
    return quietDeadline();
}

LinkExchange::Milliseconds LinkExchange::quietWindow() const {
    const Milliseconds trip = roundTrip();
    return trip + std::max(trip / 2, kQuietMargin);
}

bool LinkExchange::accepts(std::uint8_t letter) const {
    if (letter == kRepeat)
        return true;
    switch (kind_) {
    case Kind::Probe:
    case Kind::PageRead:
        return letter == kPage;
    case Kind::PageWrite:
    case Kind::RecordWrite:
        return letter == kAccepted;
    case Kind::RecordRead:
        return letter == kRecord;
    default:
        return false;
    }
}

void LinkExchange::heard(Milliseconds now) {
    lastTrafficAt_ = std::max(lastTrafficAt_, now);
    lastHeardAt_ = now;
}

} // namespace konfigor
