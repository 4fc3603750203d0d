#pragma once

#include "link/clock.h"
#include "link/frame.h"
#include "link/link_exchange.h"
#include "link/link_message_queue.h"
#include "link/receiver_image.h"
#include "link/serial_port.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace konfigor {

// Why the link's last operation failed. The values are the ones the connecting dialog and the
// diagnostics know.
enum class LinkError : std::uint32_t {
    None = 0,
    OpenFailed = 1,
    CloseFailed = 2,
    WriteFailed = 3,
    BadChecksum = 4,
    ReadFailed = 5,
    Reconnecting = 7,
    BulkReadInProgress = 8,
    BulkWriteInProgress = 9,
    PinNotDigits = 10,
    // Replies came that no request explained: what was filed from them cannot be trusted.
    OutOfStep = 11,
};

// The one owner of the serial port to the receiver's programming interface: opening and waking
// it, the worker thread that alone reads it, the liveness watch with ping and reconnection, the
// receiver's requests and reports, the page transfers and the image of the receiver's memory.
// Requests return false when refused or failed; lastError() tells why.
//
// The receiver's replies name no page or slot, so the link keeps one request on the line at a
// time (see LinkExchange): page, record and configuration requests that find the line busy wait
// their turn and go out from the worker. A transfer ends with the memory moved exactly, or fails.
class ReceiverLink {
public:
    // Tests drive the worker's cycles themselves, deterministically, with runWorkerCycle().
    enum class Worker { Thread, Manual };

    static constexpr std::size_t kIdlePage = ReceiverMemory::kPageCount; // no transfer

    ReceiverLink(SerialPort& port, Clock& clock, Worker worker = Worker::Thread);
    ~ReceiverLink();
    ReceiverLink(const ReceiverLink&) = delete;
    ReceiverLink& operator=(const ReceiverLink&) = delete;

    // --- transport (main thread) ---
    bool connect(const std::string& portPath);
    bool disconnect();
    // The port list saw the connected interface (dis)appear: reconnection waits for it.
    void setPortPresent(bool present) { portPresent_ = present; }
    // The interface came back under another device node: the next reconnection opens `path`.
    void setPortPath(const std::string& path);
    bool isOutputQueueEmpty();
    // The worker's cycle on the calling thread, for Worker::Manual.
    void runWorkerCycle();

    bool isRunning() const { return running_; }
    bool isReconnecting() const { return reconnecting_; }
    bool isUsable() const;
    LinkError lastError() const { return error_; }
    // The fault behind the last failed open, to tell a busy port from a missing one.
    std::optional<SerialFault> lastOpenFault() const;
    bool isWriteStalled() const { return writeStalled_; }
    bool areWritesBlocked() const { return writesBlocked_; }
    std::string portPath() const;

    // --- requests (any thread) ---
    bool requestVersion();
    bool sendPing();
    bool requestPage(std::size_t page);
    bool sendPage(std::size_t page, const ReceiverImage::Page& data);
    bool requestRecord(std::size_t slot);
    bool sendRecord(std::size_t slot, std::uint32_t serialNumber, std::uint16_t counter,
                    const std::array<std::uint16_t, 4>& buttonMasks, bool copyLock);
    bool sendPress(bool channel1, bool channel2, bool channel3, bool channel4);
    bool requestReset();
    bool sendAnswer();
    // After it the link stays connected but writes nothing until the next connect().
    bool endConnection();
    bool probeConfiguration();
    bool writeConfiguration();
    bool startBulkRead();
    bool startBulkWrite();

    // --- receiver knowledge ---
    struct Version {
        std::uint8_t major = 0; // 0: not known yet
        std::uint8_t minor = 0;
    };
    Version version() const { return {versionMajor_, versionMinor_}; }
    bool isMulti() const { return multi_; }
    bool isConfigurationProbed() const { return versionMajor_ != 0 && !probePending_; }
    std::uint32_t configChangeCount() const { return configChanges_; }
    // True, and `lastSeen` updated, when the configuration changed since `lastSeen`.
    bool takeConfigChange(std::uint32_t& lastSeen) const;
    bool isBulkReadInProgress() const { return readCursor_ < kIdlePage; }
    bool isBulkWriteInProgress() const { return writeCursor_ < kIdlePage; }
    bool isReadComplete() const { return readComplete_; }
    bool isWriteComplete() const { return writeComplete_; }
    // The last bulk transfer was given up: its replies kept going out of step. Cleared by the
    // start of the next one.
    bool hasTransferFailed() const { return transferFailed_; }
    // Single requests (a record, the configuration page) given up after going out of step too
    // often. True, and `lastSeen` brought up to date, when there are new ones since `lastSeen`.
    bool takeGivenUpRequests(std::uint32_t& lastSeen) const;
    int transferPercent() const;
    void abortTransfers();

    ReceiverImage& image() { return image_; }
    const ReceiverImage& image() const { return image_; }
    // The image's remote records cleared (and its channels too, with defaults), and the
    // connection state reset: queue emptied, no error, no transfer.
    void clearImage(bool channelDefaults);
    // Five digits into the image; anything else is refused with PinNotDigits.
    bool setPin(std::string_view digits);

    std::optional<LinkMessage> popMessage() { return queue_.pop(); }
    const LinkMessageQueue& queue() const { return queue_; }

    // --- virtual remote ---
    void pressVirtualButton(int index, const std::array<std::uint16_t, 4>& channelMasks);
    void releaseVirtualButton() { released_ = true; }
    bool isFirstPressPending() const { return firstPressPending_; }

private:
    using ExchangeKind = LinkExchange::Kind;
    // A page, record or configuration request waiting for the line.
    struct WaitingRequest {
        ExchangeKind kind = ExchangeKind::None;
        std::size_t target = 0;
        Frame request;
    };
    using Milliseconds = Clock::Milliseconds;

    // transport
    bool openAndWake(bool requireWakeTaken);
    void closeAfterHangUp();
    bool writeFrame(const Frame& frame);
    bool writeBytes(std::span<const std::uint8_t> bytes);
    bool readInput();
    void resetConnectionState();
    void forgetExchanges();
    void workerMain();
    void workerTick();
    void waitForWork();
    void backOffIfUnanswered();
    Milliseconds nextDuty();
    bool reconnect();
    void fail(LinkError error) { error_ = error; }

    // reports
    std::optional<Frame> parseFrame();
    void takeFrame(const Frame& frame);
    void onVersion(const Frame& frame);
    void onReply(const Frame& frame);
    void onDamagedFrame(const Frame& frame);
    void takeReply(const Frame& frame);
    void onOutOfStep();
    void onStoredRemote(LinkMessage& message);
    void onAnswerCall();
    void runDuties();
    bool pressStep(Milliseconds now);
    bool admitted() const; // refuses while reconnecting
    bool sendAdmitted(const Frame& frame);

    // exchanges (under the main mutex)
    bool issue(WaitingRequest request);
    bool canQueue();
    bool serviceExchange();
    bool startNextExchange();
    std::optional<WaitingRequest> nextRequest();
    bool beginExchange(const WaitingRequest& request, bool bulk, bool settleByQuiet);
    bool sendExchangeRequest();
    void finishExchange();
    void actOnAnswer(const Frame& answer);
    void advanceBulk();
    void abandonExchange(bool keepSingleRequest);
    void queueMessage(const Frame& frame);

    SerialPort& port_;
    Clock& clock_;
    const Worker workerMode_;
    mutable std::mutex portPathMutex_;
    std::string portPath_;

    // "KVR_ZOR_MAIN": each worker cycle, and the main thread while it starts a bulk transfer.
    std::recursive_mutex mainMutex_;
    // One frame goes out whole even when both threads write at once.
    std::mutex writeMutex_;
    std::thread worker_;
    // Set by the worker itself: reading worker_ from the worker would race with its assignment.
    std::atomic<std::thread::id> workerId_{};

    std::atomic<bool> running_ = false;
    std::atomic<bool> reconnecting_ = false;
    std::atomic<bool> writesBlocked_ = true;
    std::atomic<bool> portPresent_ = false;
    std::atomic<bool> writeStalled_ = false;
    std::atomic<LinkError> error_ = LinkError::None;
    std::atomic<int> lastOpenFault_ = -1;
    std::atomic<Milliseconds::rep> aliveUntil_ = 0;
    std::atomic<bool> pingOutstanding_ = false;
    std::atomic<std::uint32_t> unansweredWrites_ = 0;

    // worker only
    std::array<std::uint8_t, 256> rx_{};
    std::size_t rxCount_ = 0;
    Milliseconds nextVersionRequest_{0};
    Milliseconds nextPress_{0};

    std::atomic<std::uint8_t> versionMajor_ = 0;
    std::atomic<std::uint8_t> versionMinor_ = 0;
    std::atomic<bool> multi_ = false;
    std::atomic<bool> probePending_ = false;
    std::atomic<std::uint32_t> configChanges_ = 0;

    std::atomic<std::size_t> readCursor_ = kIdlePage;
    std::atomic<std::size_t> writeCursor_ = kIdlePage;
    std::atomic<bool> readComplete_ = false;
    std::atomic<bool> writeComplete_ = false;
    std::atomic<bool> transferFailed_ = false;
    std::atomic<std::uint32_t> requestsGivenUp_ = 0;

    // under the main mutex
    LinkExchange exchange_;
    bool exchangeIsBulk_ = false;
    std::deque<WaitingRequest> waiting_;
    // The version just became known: the probe is still to go out.
    bool probeDue_ = false;
    // Fresh starts of a bulk transfer, and repeats of one single request, after going out of
    // step; past the limit the transfer fails.
    unsigned restarts_ = 0;
    unsigned redos_ = 0;

    std::array<std::atomic<std::uint16_t>, 4> pressMasks_{};
    std::atomic<int> activeButton_ = -1;
    std::atomic<bool> firstPressPending_ = false;
    std::atomic<bool> released_ = false;

    ReceiverImage image_;
    LinkMessageQueue queue_;
};

} // namespace konfigor
