#include "link/receiver_link.h"

#include "link/requests.h"

#include <algorithm>

namespace konfigor {
namespace {

using namespace std::chrono_literals;

constexpr std::uint8_t kWakeByte = 0x5A;
constexpr Clock::Milliseconds kAliveAfterTraffic = 2500ms;
constexpr Clock::Milliseconds kAliveAfterWrite = 400ms;
constexpr std::uint32_t kUnansweredLimit = 10;
constexpr Clock::Milliseconds kBackOff = 8000ms;
// How often the back-off pause looks whether the interface was unplugged or the link stopped.
constexpr Clock::Milliseconds kBackOffStep = 10ms;
// The longest wait of an idle worker; the main thread interrupts it whenever it changes what
// the worker has to do.
constexpr Clock::Milliseconds kLongestWait = 1000ms;
constexpr Clock::Milliseconds kCycle = 1ms;

} // namespace

ReceiverLink::ReceiverLink(SerialPort& port, Clock& clock, Worker worker)
    : port_(port), clock_(clock), workerMode_(worker) {
    clearImage(true);
}

ReceiverLink::~ReceiverLink() {
    if (running_)
        disconnect();
}

// ---------------------------------------------------------------------------------------------
// Transport

bool ReceiverLink::connect(const std::string& portPath) {
    setPortPath(portPath);
    versionMajor_ = 0;
    versionMinor_ = 0;
    writeStalled_ = false;
    if (reconnecting_) {
        fail(LinkError::Reconnecting);
        return false;
    }
    if (port_.isOpen())
        disconnect();
    if (!openAndWake(false))
        return false;
    rxCount_ = 0;
    running_ = true;
    writesBlocked_ = false;
    aliveUntil_ = (clock_.now() + kAliveAfterTraffic).count();
    port_.discardInput();
    port_.configure();
    resetConnectionState();
    forgetExchanges();
    pingOutstanding_ = false;
    nextVersionRequest_ = Milliseconds{0};
    if (workerMode_ == Worker::Thread)
        worker_ = std::thread(&ReceiverLink::workerMain, this);
    portPresent_ = true;
    return true;
}

bool ReceiverLink::disconnect() {
    running_ = false;
    writeStalled_ = false;
    port_.interruptWait();
    if (worker_.joinable())
        worker_.join();
    // Only now: a worker still in its cycle could set it again behind our back.
    reconnecting_ = false;
    if (port_.isOpen() && port_.close()) {
        fail(LinkError::CloseFailed);
        return false;
    }
    return true;
}

// Opens the port and sends the wake byte, the first byte on the line after every open, before
// the line settings are applied.
bool ReceiverLink::openAndWake(bool requireWakeTaken) {
    if (const auto error = port_.open(portPath())) {
        lastOpenFault_ = static_cast<int>(error->fault);
        fail(LinkError::OpenFailed);
        return false;
    }
    const std::array<std::uint8_t, 1> wake{kWakeByte};
    const auto written = port_.write(wake);
    if (!written.ok() || (requireWakeTaken && written.value == 0)) {
        port_.close();
        fail(LinkError::WriteFailed);
        return false;
    }
    return true;
}

// A hung-up line will not come back by itself: close at once instead of waiting for the
// liveness window, so the next cycle goes straight to reconnecting.
void ReceiverLink::closeAfterHangUp() {
    port_.close();
    pingOutstanding_ = true;
    aliveUntil_ = clock_.now().count();
}

void ReceiverLink::resetConnectionState() {
    queue_.clear();
    error_ = LinkError::None;
    const std::lock_guard lock(mainMutex_);
    readCursor_ = kIdlePage;
    writeCursor_ = kIdlePage;
    readComplete_ = false;
    writeComplete_ = false;
    transferFailed_ = false;
    if (exchangeIsBulk_)
        abandonExchange(false);
}

// A new connection: nothing on the line, nothing waiting, no round trip measured yet.
void ReceiverLink::forgetExchanges() {
    const std::lock_guard lock(mainMutex_);
    exchange_.clear();
    exchange_.forgetRoundTrip();
    exchangeIsBulk_ = false;
    waiting_.clear();
    probeDue_ = false;
    probePending_ = false;
}

void ReceiverLink::setPortPath(const std::string& path) {
    const std::lock_guard lock(portPathMutex_);
    portPath_ = path;
}

std::string ReceiverLink::portPath() const {
    const std::lock_guard lock(portPathMutex_);
    return portPath_;
}

std::optional<SerialFault> ReceiverLink::lastOpenFault() const {
    const int fault = lastOpenFault_;
    if (fault < 0)
        return std::nullopt;
    return static_cast<SerialFault>(fault);
}

bool ReceiverLink::isUsable() const {
    return port_.isOpen() && running_ && (!reconnecting_ || writeStalled_);
}

bool ReceiverLink::isOutputQueueEmpty() {
    port_.clearErrors();
    const auto queued = port_.outputQueueSize();
    return queued.ok() && queued.value == 0;
}

bool ReceiverLink::writeFrame(const Frame& frame) {
    return writeBytes(frame.bytes());
}

bool ReceiverLink::writeBytes(std::span<const std::uint8_t> bytes) {
    if (writesBlocked_)
        return false;
    // A request from the main thread moves the liveness deadline: the worker must wait anew.
    if (std::this_thread::get_id() != workerId_.load())
        port_.interruptWait();
    const std::lock_guard lock(writeMutex_);
    bool moved = true;
    while (!bytes.empty() && moved) {
        const auto written = port_.write(bytes);
        if (!written.ok()) {
            port_.clearErrors();
            fail(LinkError::WriteFailed);
            return false;
        }
        aliveUntil_ = (clock_.now() + kAliveAfterWrite).count();
        moved = written.value > 0;
        writeStalled_ = !moved;
        bytes = bytes.subspan(written.value);
        if (bytes.empty())
            ++unansweredWrites_;
    }
    return moved;
}

bool ReceiverLink::readInput() {
    const auto read = port_.read(std::span(rx_).subspan(rxCount_));
    if (!read.ok()) {
        port_.clearErrors();
        fail(LinkError::ReadFailed);
        if (read.gone())
            closeAfterHangUp();
        return false;
    }
    rxCount_ += read.value;
    return true;
}

// ---------------------------------------------------------------------------------------------
// Worker

void ReceiverLink::workerMain() {
    workerId_ = std::this_thread::get_id();
    while (running_)
        runWorkerCycle();
}

void ReceiverLink::runWorkerCycle() {
    waitForWork();
    workerTick();
    backOffIfUnanswered();
}

// Instead of a blind 1 ms sleep the worker waits on the port until a reply arrives or its next
// duty is due, so it answers at once and costs nothing while idle.
void ReceiverLink::waitForWork() {
    const Milliseconds wait = std::clamp(nextDuty() - clock_.now(), kCycle, kLongestWait);
    if (!port_.isOpen()) {
        clock_.sleepFor(wait);
        return;
    }
    // After a hang-up the cycle goes on at once: its read sees it and closes the port.
    const auto waited = port_.waitForInput(wait);
    if (!waited.ok())
        clock_.sleepFor(waited.gone() ? kCycle : wait);
}

ReceiverLink::Milliseconds ReceiverLink::nextDuty() {
    Milliseconds due = Milliseconds{aliveUntil_.load()};
    if (versionMajor_ == 0)
        due = std::min(due, nextVersionRequest_);
    if (activeButton_ >= 0)
        due = std::min(due, nextPress_);
    const std::lock_guard lock(mainMutex_);
    if (const auto exchangeDue = exchange_.nextDeadline())
        due = std::min(due, *exchangeDue);
    return due;
}

// After more than ten frames without an answer the interface gets a rest, which ends at once
// when it is unplugged or the link stops.
void ReceiverLink::backOffIfUnanswered() {
    if (unansweredWrites_ <= kUnansweredLimit)
        return;
    unansweredWrites_ = 0;
    const Milliseconds end = clock_.now() + kBackOff;
    while (running_ && portPresent_ && clock_.now() < end)
        clock_.sleepFor(std::min(kBackOffStep, end - clock_.now()));
}

void ReceiverLink::workerTick() {
    if (workerMode_ == Worker::Thread && std::this_thread::get_id() != workerId_.load())
        return;
    const std::lock_guard lock(mainMutex_);
    if (clock_.now().count() >= aliveUntil_) {
        if (port_.isOpen() && !pingOutstanding_) {
            pingOutstanding_ = true;
            sendPing();
        } else {
            fail(LinkError::Reconnecting);
            reconnect();
        }
        return;
    }
    if (!port_.isOpen())
        return;
    while (std::optional<Frame> frame = parseFrame()) {
        pingOutstanding_ = false;
        if (frame->hasValidChecksum())
            takeFrame(*frame);
        aliveUntil_ = (clock_.now() + kAliveAfterTraffic).count();
        unansweredWrites_ = 0;
    }
    runDuties();
}

bool ReceiverLink::reconnect() {
    const std::lock_guard lock(mainMutex_);
    versionMajor_ = 0;
    versionMinor_ = 0;
    if (!running_) {
        reconnecting_ = false;
        return false;
    }
    reconnecting_ = true;
    if (port_.isOpen() && port_.close())
        return false;
    if (!portPresent_ || !running_)
        return false;
    aliveUntil_ = (clock_.now() + kAliveAfterTraffic).count();
    if (!openAndWake(true)) {
        aliveUntil_ = clock_.now().count();
        return false;
    }
    rxCount_ = 0;
    port_.discardInput();
    port_.configure();
    error_ = LinkError::None;
    // What was on the line is lost or late: ask again, after the line has gone quiet.
    abandonExchange(true);
    probeDue_ = false;
    reconnecting_ = false;
    pingOutstanding_ = false;
    aliveUntil_ = (clock_.now() + kAliveAfterTraffic).count();
    nextVersionRequest_ = Milliseconds{0};
    return true;
}

// ---------------------------------------------------------------------------------------------
// Requests

bool ReceiverLink::admitted() const {
    return !reconnecting_;
}

// The requests that only a reconnection refuses.
bool ReceiverLink::sendAdmitted(const Frame& frame) {
    if (!admitted()) {
        fail(LinkError::Reconnecting);
        return false;
    }
    return writeFrame(frame);
}

bool ReceiverLink::requestVersion() {
    return sendAdmitted(requests::requestVersion());
}

bool ReceiverLink::sendPing() {
    return sendAdmitted(requests::sendPing());
}

bool ReceiverLink::requestRecord(std::size_t slot) {
    if (!admitted()) {
        fail(LinkError::Reconnecting);
        return false;
    }
    return issue({ExchangeKind::RecordRead, slot, requests::requestRecord(slot)});
}

bool ReceiverLink::sendRecord(std::size_t slot, std::uint32_t serialNumber, std::uint16_t counter,
                              const std::array<std::uint16_t, 4>& buttonMasks, bool copyLock) {
    if (!admitted()) {
        fail(LinkError::Reconnecting);
        return false;
    }
    return issue({ExchangeKind::RecordWrite, slot,
                  requests::sendRecord(slot, serialNumber, counter, buttonMasks, copyLock)});
}

bool ReceiverLink::sendPress(bool channel1, bool channel2, bool channel3, bool channel4) {
    const auto bits = static_cast<std::uint8_t>((channel1 ? 1 : 0) | (channel2 ? 2 : 0) |
                                                (channel3 ? 4 : 0) | (channel4 ? 8 : 0));
    return sendAdmitted(requests::sendPress(bits));
}

bool ReceiverLink::requestReset() {
    return sendAdmitted(requests::requestReset());
}

bool ReceiverLink::sendAnswer() {
    return sendAdmitted(requests::sendAnswer());
}

bool ReceiverLink::endConnection() {
    const bool sent = sendAdmitted(requests::endConnection());
    if (sent)
        writesBlocked_ = true;
    return sent;
}

bool ReceiverLink::requestPage(std::size_t page) {
    if (!admitted())
        return false;
    if (isBulkWriteInProgress()) {
        fail(LinkError::BulkWriteInProgress);
        return false;
    }
    return issue({ExchangeKind::PageRead, page, requests::requestPage(page)});
}

bool ReceiverLink::sendPage(std::size_t page, const ReceiverImage::Page& data) {
    if (!admitted())
        return false;
    if (isBulkReadInProgress()) {
        fail(LinkError::BulkReadInProgress);
        return false;
    }
    return issue({ExchangeKind::PageWrite, page, requests::sendPage(page, data)});
}

bool ReceiverLink::probeConfiguration() {
    const std::lock_guard lock(mainMutex_);
    probePending_ = true;
    if (!admitted()) {
        fail(LinkError::Reconnecting);
        return false;
    }
    if (isBulkReadInProgress()) {
        fail(LinkError::BulkReadInProgress);
        return false;
    }
    if (isBulkWriteInProgress()) {
        fail(LinkError::BulkWriteInProgress);
        return false;
    }
    if (!canQueue())
        return false;
    probeDue_ = true;
    return serviceExchange();
}

bool ReceiverLink::writeConfiguration() {
    if (!admitted()) {
        fail(LinkError::Reconnecting);
        return false;
    }
    if (isBulkWriteInProgress()) {
        fail(LinkError::BulkWriteInProgress);
        return false;
    }
    if (isBulkReadInProgress()) {
        fail(LinkError::BulkReadInProgress);
        return false;
    }
    return sendPage(0, image_.page(0));
}

bool ReceiverLink::startBulkRead() {
    const std::lock_guard lock(mainMutex_);
    if (isBulkReadInProgress())
        return false;
    if (isBulkWriteInProgress()) {
        fail(LinkError::BulkWriteInProgress);
        return false;
    }
    if (!canQueue())
        return false;
    restarts_ = 0;
    transferFailed_ = false;
    readComplete_ = false;
    readCursor_ = 0;
    return serviceExchange();
}

bool ReceiverLink::startBulkWrite() {
    const std::lock_guard lock(mainMutex_);
    if (isBulkWriteInProgress())
        return false;
    if (isBulkReadInProgress()) {
        fail(LinkError::BulkReadInProgress);
        return false;
    }
    if (!canQueue())
        return false;
    restarts_ = 0;
    transferFailed_ = false;
    writeComplete_ = false;
    writeCursor_ = 0;
    return serviceExchange();
}

// ---------------------------------------------------------------------------------------------
// Receiver knowledge

bool ReceiverLink::takeConfigChange(std::uint32_t& lastSeen) const {
    const std::uint32_t now = configChanges_;
    if (now == lastSeen)
        return false;
    lastSeen = now;
    return true;
}

int ReceiverLink::transferPercent() const {
    const std::size_t pages = ReceiverMemory::kPageCount;
    if (isBulkReadInProgress())
        return static_cast<int>(readCursor_ * 100 / pages);
    if (isBulkWriteInProgress())
        return static_cast<int>(writeCursor_ * 100 / pages);
    return 0;
}

// Under the main mutex, so that a worker cycle cannot move a cursor again right after.
void ReceiverLink::abortTransfers() {
    const std::lock_guard lock(mainMutex_);
    readCursor_ = kIdlePage;
    writeCursor_ = kIdlePage;
    if (exchangeIsBulk_)
        abandonExchange(false);
}

void ReceiverLink::clearImage(bool channelDefaults) {
    image_.clear(channelDefaults);
    resetConnectionState();
}

bool ReceiverLink::setPin(std::string_view digits) {
    if (!image_.update([&](ReceiverMemory& m) { return m.setPin(digits); })) {
        fail(LinkError::PinNotDigits);
        return false;
    }
    return true;
}

void ReceiverLink::pressVirtualButton(int index, const std::array<std::uint16_t, 4>& channelMasks) {
    for (std::size_t i = 0; i < pressMasks_.size(); ++i)
        pressMasks_[i] = channelMasks[i];
    firstPressPending_ = true;
    released_ = false;
    activeButton_ = index;
    port_.interruptWait();
}

} // namespace konfigor
