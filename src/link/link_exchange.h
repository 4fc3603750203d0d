#pragma once

#include "link/clock.h"
#include "link/frame.h"

#include <cstddef>
#include <cstdint>
#include <optional>

namespace konfigor {

// The one request the link has on the line and what has come back for it.
//
// The receiver's replies name no page or slot and come in the order of the requests, so a reply
// can only be filed under the request it answers when that request is the only kind on the line:
// one exchange at a time, however often its request is repeated. Each reply is counted against
// the requests sent. Once the awaited reply is in, the exchange is settled when every request
// has had its reply, or, when some may still be under way (a repeat, a lost or damaged frame,
// noise), when the line has been quiet for a window learnt from the measured round trip. Only
// then may the next request go out. A reply that no request of the exchange can explain (one
// more than was asked for, or of the wrong kind) shows that an earlier reply was misfiled: the
// exchange is out of step.
class LinkExchange {
public:
    using Milliseconds = Clock::Milliseconds;

    enum class Kind : std::uint8_t {
        None,       // nothing on the line
        Drain,      // nothing wanted, but replies may still come: wait for quiet
        Probe,      // page 0 for the PIN after the version became known
        PageRead,   // 'E'
        PageWrite,  // 'S'
        RecordRead, // 'L'
        RecordWrite // 'C'
    };

    enum class Verdict {
        Take,      // the awaited reply: act on it
        Repeat,    // the receiver asks for the request again: send it now
        Ignore,    // a late reply to a repeated request of this exchange: drop it
        OutOfStep, // cannot belong to this exchange: an earlier reply was misfiled
    };

    // How long the link waits for the first reply before it sends the request again.
    static constexpr Milliseconds kRepeatAfter{200};

    Kind kind() const { return kind_; }
    // The page or slot the request names.
    std::size_t target() const { return target_; }
    const Frame& request() const { return request_; }
    // The awaited reply has come (kept for exchanges that act only once settled).
    bool isAnswered() const { return answer_.has_value(); }
    const std::optional<Frame>& answer() const { return answer_; }

    // A new exchange; `settleByQuiet` makes it end only after a quiet window even when every
    // request was answered, for the last page of a transfer and single records, where a
    // duplicated reply would otherwise go unnoticed.
    void begin(Kind kind, std::size_t target, const Frame& request, bool settleByQuiet);
    // The request went out (first time or repeated).
    void sent(Milliseconds now);
    // A report of a letter that answers requests ('E', 'Y', 'L', 'B').
    Verdict onReply(std::uint8_t letter, const Frame& frame, Milliseconds now);
    // Bytes that were not a good frame: a reply may be among them, so counting is no proof.
    void onDoubt(Milliseconds now);
    // A reply whose checksum failed: no data, but one more answer on the line.
    Verdict onDamagedReply(std::uint8_t letter, Milliseconds now);
    // Replies may still be under way although nothing is wanted any more.
    void drain(Milliseconds now);
    bool isRepeatDue(Milliseconds now) const;
    // The 'A' call of the interface moves the next repeat away.
    void postponeRepeat(Milliseconds now) { repeatAt_ = now + kRepeatAfter; }
    bool isSettled(Milliseconds now) const;
    // Back to idle; the round trip learnt stays.
    void clear();
    // A new connection: nothing measured yet.
    void forgetRoundTrip() { measuredRoundTrip_.reset(); }

    // When the worker must look again: the next repeat, or the end of the quiet window.
    std::optional<Milliseconds> nextDeadline() const;

private:
    Milliseconds quietWindow() const;
    // Until a reply has been timed, the repeat time stands for it.
    Milliseconds roundTrip() const { return measuredRoundTrip_.value_or(kRepeatAfter); }
    bool accepts(std::uint8_t letter) const;
    bool isPlain() const;
    Milliseconds quietDeadline() const;
    void heard(Milliseconds now);

    Kind kind_ = Kind::None;
    std::size_t target_ = 0;
    Frame request_;
    std::optional<Frame> answer_;
    bool settleByQuiet_ = false;
    bool doubtful_ = false;
    unsigned sent_ = 0;
    unsigned replies_ = 0;
    Milliseconds firstSentAt_{0};
    Milliseconds lastTrafficAt_{0};
    Milliseconds lastHeardAt_{0};
    Milliseconds repeatAt_{0};
    // The longest time from a request to the first reply of its exchange on this connection.
    // A loss makes it longer than the line's, which only costs waiting; shorter it must not be.
    std::optional<Milliseconds> measuredRoundTrip_;
};

} // namespace konfigor
