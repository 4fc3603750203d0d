#pragma once

#include "sim/receiver_simulator.h"

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <signal.h>
#include <span>
#include <string>
#include <string_view>
#include <thread>
#include <time.h>
#include <vector>

namespace konfigor {

// Serves a ReceiverSimulator on a pseudo-terminal: the slave is the "USB interface" a tool
// opens. Bytes the tool writes go to the simulator as they arrive; the simulator's answers go
// out when its line model says they have arrived. A tool may close and reopen the slave any
// number of times; what the simulator sends while nobody has it open is lost, as on a real
// interface. The simulator's time is counted from the server's construction, so give each
// server a simulator whose line has not been used on another clock.
//
// The interface can be unplugged and plugged in again: unplugging closes the pseudo-terminal,
// so a tool that has it open sees the device gone; plugging opens a new one and points the
// link at it, so a tool reopening the link path finds the interface again.
class PtyServer {
public:
    using Time = ReceiverSimulator::Time;
    // Takes one command line (without its line end) and returns the answer line, or nothing
    // to answer with an empty string.
    using CommandHandler = std::function<std::string(std::string_view line)>;

    // Opens the pseudo-terminal and, when given, points a symbolic link at its slave (an old
    // link in the way is replaced, anything else is not). Throws std::system_error or
    // std::filesystem::filesystem_error.
    PtyServer(ReceiverSimulator& simulator, std::optional<std::filesystem::path> link = {});
    ~PtyServer();
    PtyServer(const PtyServer&) = delete;
    PtyServer& operator=(const PtyServer&) = delete;

    // The current slave; a new one after each plug(). From any thread.
    std::string slavePath() const;
    // The simulator's time on this server's clock.
    Time now() const;

    // Presses a stored remote every `interval`, one after another, as if someone stood at the
    // receiver. Call before run().
    void pressStoredRemotesEvery(std::chrono::milliseconds interval);
    // SIGINT and SIGTERM stop run() of this server; the previous handlers return with it.
    void stopOnSignals();

    // Reads commands from `input` on the serving thread, one a line, and writes each answer as
    // a line to `replies`; run() ends when the input ends. Call before run(). The descriptors
    // stay the caller's and keep their blocking mode.
    void serveCommands(int input, int replies, CommandHandler handler);

    // Serves until stop(), a signal or the end of the command input; throws std::system_error
    // when a pseudo-terminal or the link fails.
    void run();
    // From any thread (and from a signal handler): run() returns soon, or at once if it has not
    // started yet.
    void stop();

    // On the serving thread (a command handler) these act at once; from any other thread they
    // are queued and carried out by run() soon after, in order. Unplugging keeps the link
    // path, pointing nowhere; the receiver keeps its memory and loses what was on the line.
    void unplug();
    void plug();
    // From any thread.
    bool isPlugged() const { return plugged_.load(); }

private:
    enum class Request { Unplug, Plug };

    class OwnedFd {
    public:
        explicit OwnedFd(int fd = -1) : fd_(fd) {}
        ~OwnedFd();
        OwnedFd(const OwnedFd&) = delete;
        OwnedFd& operator=(const OwnedFd&) = delete;
        int get() const { return fd_; }
        void reset(int fd);

    private:
        int fd_;
    };

    bool serveOnce();
    std::optional<timespec> pollTimeout(Time now) const;
    bool takeWakeUps();
    void wake(char reason);
    void carryOutOrQueue(Request request);
    void carryOutRequests();
    void carryOut(Request request);
    void unplugNow();
    void plugNow();
    void openTerminal();
    bool onServingThread() const;
    bool readCommands();
    void answer(std::string_view line);
    void readRequests();
    void deliverOutput(Time now);
    void writeToTool(std::span<const std::uint8_t> bytes);
    void noteHangUp();
    void pressDueRemote(Time now);
    void createLink();
    void pointLinkAt(const std::string& target);
    void removeLink();
    void restoreSignals();

    ReceiverSimulator& simulator_;
    // Closed (-1) while unplugged.
    OwnedFd master_;
    OwnedFd wakeRead_;
    OwnedFd wakeWrite_;
    mutable std::mutex slavePathMutex_;
    std::string slavePath_;
    std::optional<std::filesystem::path> link_;
    std::string linkTarget_;
    std::atomic<bool> plugged_{true};
    std::atomic<bool> stopRequested_{false};
    std::atomic<std::thread::id> servingThread_{};
    std::mutex requestsMutex_;
    std::vector<Request> requests_;
    int commandInput_ = -1;
    int commandReplies_ = -1;
    CommandHandler commandHandler_;
    std::string commandLine_;
    std::chrono::steady_clock::time_point start_;
    // Reading the master fails while nobody has the slave open, and poll() then reports a
    // hang-up at once; so the master is only looked at again at retryAt_.
    bool slaveClosed_ = true;
    Time retryAt_{0};
    std::optional<std::chrono::milliseconds> pressInterval_;
    Time nextPressAt_{0};
    std::size_t lastPressedSlot_ = ReceiverMemory::kSlotCount - 1;
    bool handlingSignals_ = false;
    struct sigaction previousInt_ {};
    struct sigaction previousTerm_ {};
};

} // namespace konfigor
