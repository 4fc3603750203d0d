// The link's one request on the line: which request goes next, its repeats, the replies filed
// under it, and what the link does with its answer. Everything here runs under the main mutex.
#include "link/receiver_link.h"
#include "link/requests.h"

#include <algorithm>

namespace konfigor {
namespace {

constexpr std::size_t kLastPage = ReceiverMemory::kPageCount - 1;
// Fresh starts of a transfer whose replies went out of step, before it is given up.
constexpr unsigned kMaxRestarts = 3;
// The same for one single request.
constexpr unsigned kMaxRedos = 3;

ReceiverImage::Page pageOf(std::span<const std::uint8_t> payload) {
    ReceiverImage::Page page{};
    std::copy_n(payload.begin(), page.size(), page.begin());
    return page;
}

} // namespace

// Waits its turn behind the request on the line; false only when it went out at once and the
// write failed.
bool ReceiverLink::issue(WaitingRequest request) {
    const std::lock_guard lock(mainMutex_);
    if (!canQueue())
        return false;
    waiting_.push_back(std::move(request));
    return serviceExchange();
}

// Without an open connection a request could only wait for ever; refused as the write would be.
bool ReceiverLink::canQueue() {
    if (writesBlocked_)
        return false;
    if (!running_ || !port_.isOpen()) {
        fail(LinkError::WriteFailed);
        return false;
    }
    return true;
}

// Repeats what is due, ends a settled exchange and starts the next one. False when a request
// could not be written.
bool ReceiverLink::serviceExchange() {
    const Milliseconds now = clock_.now();
    if (exchange_.isRepeatDue(now))
        return sendExchangeRequest();
    if (!exchange_.isSettled(now))
        return true;
    finishExchange();
    return startNextExchange();
}

bool ReceiverLink::startNextExchange() {
    if (versionMajor_ == 0 || reconnecting_ || !port_.isOpen())
        return true;
    // The probe settles by counting: a doubled answer of it reads as page 0 again, and what it
    // shifts behind it is caught like any other doubled reply.
    if (probeDue_) {
        probeDue_ = false;
        return beginExchange({ExchangeKind::Probe, 0, requests::requestPage(0)}, false, false);
    }
    if (!waiting_.empty()) {
        const WaitingRequest request = waiting_.front();
        waiting_.pop_front();
        return beginExchange(request, false, true);
    }
    // Only the last page settles by quiet: a duplicated reply anywhere before it shifts every
    // page after it, and the extra reply then shows up behind the last one.
    if (const std::size_t page = readCursor_; page < kIdlePage)
        return beginExchange({ExchangeKind::PageRead, page, requests::requestPage(page)}, true,
                             page == kLastPage);
    if (const std::size_t page = writeCursor_; page < kIdlePage)
        return beginExchange(
            {ExchangeKind::PageWrite, page, requests::sendPage(page, image_.page(page))}, true,
            page == kLastPage);
    return true;
}

bool ReceiverLink::beginExchange(const WaitingRequest& request, bool bulk, bool settleByQuiet) {
    exchange_.begin(request.kind, request.target, request.request, settleByQuiet);
    exchangeIsBulk_ = bulk;
    if (sendExchangeRequest())
        return true;
    // Nothing went out, so nothing can come back: a transfer tries its page again next cycle.
    exchange_.clear();
    exchangeIsBulk_ = false;
    return false;
}

bool ReceiverLink::sendExchangeRequest() {
    const bool sent = writeFrame(exchange_.request());
    if (sent)
        exchange_.sent(clock_.now());
    else
        exchange_.postponeRepeat(clock_.now());
    return sent;
}

void ReceiverLink::onReply(const Frame& frame) {
    const std::lock_guard lock(mainMutex_);
    switch (exchange_.onReply(frame.letter(), frame, clock_.now())) {
    case LinkExchange::Verdict::Take:
        takeReply(frame);
        return;
    case LinkExchange::Verdict::Repeat:
        sendExchangeRequest();
        return;
    case LinkExchange::Verdict::Ignore:
        return;
    case LinkExchange::Verdict::OutOfStep:
        onOutOfStep();
        return;
    }
}

// A transfer's page is acted on at once so that the next one can follow; a single request's
// answer only once the exchange is settled, when no duplicate of it can follow any more.
void ReceiverLink::takeReply(const Frame& frame) {
    if (!exchangeIsBulk_)
        return;
    actOnAnswer(frame);
    advanceBulk();
}

void ReceiverLink::actOnAnswer(const Frame& answer) {
    const std::size_t target = exchange_.target();
    switch (exchange_.kind()) {
    case ExchangeKind::Probe:
        image_.takeProbeAnswer(pageOf(answer.payload()));
        probePending_ = false;
        break;
    case ExchangeKind::PageRead:
        if (target == 0)
            ++configChanges_;
        image_.setPage(target, pageOf(answer.payload()));
        break;
    case ExchangeKind::PageWrite:
        if (target == 0)
            ++configChanges_;
        break;
    case ExchangeKind::RecordRead:
        if (target < ReceiverMemory::kSlotCount)
            image_.writeRecord(target, ReceiverImage::Record::of(RemoteRecord::fromBytes(
                                           answer.payload().first<RemoteRecord::kSize>())));
        break;
    default:
        break;
    }
    queueMessage(answer);
}

// The last page keeps its cursor until its exchange has settled: only then is it complete.
void ReceiverLink::advanceBulk() {
    const std::size_t page = exchange_.target();
    if (page == kLastPage)
        return;
    if (exchange_.kind() == ExchangeKind::PageRead && readCursor_ == page)
        readCursor_ = page + 1;
    if (exchange_.kind() == ExchangeKind::PageWrite && writeCursor_ == page)
        writeCursor_ = page + 1;
}

void ReceiverLink::finishExchange() {
    if (exchange_.isAnswered()) {
        if (!exchangeIsBulk_) {
            actOnAnswer(*exchange_.answer());
            redos_ = 0;
        } else if (exchange_.target() == kLastPage) {
            if (exchange_.kind() == ExchangeKind::PageRead && readCursor_ == kLastPage) {
                readCursor_ = kIdlePage;
                readComplete_ = true;
            }
            if (exchange_.kind() == ExchangeKind::PageWrite && writeCursor_ == kLastPage) {
                writeCursor_ = kIdlePage;
                writeComplete_ = true;
            }
        }
    }
    exchange_.clear();
    exchangeIsBulk_ = false;
}

bool ReceiverLink::takeGivenUpRequests(std::uint32_t& lastSeen) const {
    const std::uint32_t now = requestsGivenUp_;
    if (now == lastSeen)
        return false;
    lastSeen = now;
    return true;
}

// A reply that no request explains means an earlier one was filed under the wrong request.
// A transfer starts afresh, a single request is asked again, both once the line is quiet.
void ReceiverLink::onOutOfStep() {
    fail(LinkError::OutOfStep);
    if (isBulkReadInProgress() || isBulkWriteInProgress()) {
        if (++restarts_ > kMaxRestarts) {
            readCursor_ = kIdlePage;
            writeCursor_ = kIdlePage;
            transferFailed_ = true;
        } else {
            if (isBulkReadInProgress())
                readCursor_ = 0;
            if (isBulkWriteInProgress())
                writeCursor_ = 0;
        }
    }
    abandonExchange(true);
}

// Replies to what was on the line may still come: the line must go quiet before anything else
// goes out. A single request goes back to the head of the queue, within its limit of repeats.
void ReceiverLink::abandonExchange(bool keepSingleRequest) {
    const ExchangeKind kind = exchange_.kind();
    const bool single =
        !exchangeIsBulk_ && kind != ExchangeKind::None && kind != ExchangeKind::Drain;
    if (keepSingleRequest && single) {
        if (++redos_ > kMaxRedos) {
            redos_ = 0;
            ++requestsGivenUp_;
        } else if (kind == ExchangeKind::Probe)
            probeDue_ = true;
        else
            waiting_.push_front({kind, exchange_.target(), exchange_.request()});
    }
    exchange_.drain(clock_.now());
    exchangeIsBulk_ = false;
}

} // namespace konfigor
