#pragma once

#include "kvr-sim/receiver_simulator.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <signal.h>
#include <span>
#include <string>

namespace konfigor {

// Serves a ReceiverSimulator on a pseudo-terminal: the slave is the "USB interface" a tool
// opens. Bytes the tool writes go to the simulator as they arrive; the simulator's answers go
// out when its line model says they have arrived. A tool may close and reopen the slave any
// number of times; what the simulator sends while nobody has it open is lost, as on a real
// interface. The simulator's time is counted from the server's construction, so give each
// server a simulator whose line has not been used on another clock.
class PtyServer {
public:
    // Opens the pseudo-terminal and, when given, points a symbolic link at its slave (an old
    // link in the way is replaced, anything else is not). Throws std::system_error or
    // std::filesystem::filesystem_error.
    PtyServer(ReceiverSimulator& simulator, std::optional<std::filesystem::path> link = {});
    ~PtyServer();
    PtyServer(const PtyServer&) = delete;
    PtyServer& operator=(const PtyServer&) = delete;

    const std::string& slavePath() const { return slavePath_; }

    // Presses a stored remote every `interval`, one after another, as if someone stood at the
    // receiver. Call before run().
    void pressStoredRemotesEvery(std::chrono::milliseconds interval);
    // SIGINT and SIGTERM stop run() of this server; the previous handlers return with it.
    void stopOnSignals();

    // Serves until stop() or a signal; throws std::system_error when the pseudo-terminal fails.
    void run();
    // From any thread (and from a signal handler): run() returns soon, or at once if it has not
    // started yet.
    void stop();

private:
    using Time = ReceiverSimulator::Time;

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

    Time elapsed() const;
    bool serveOnce();
    int pollTimeout(Time now) const;
    void readRequests();
    void deliverOutput(Time now);
    void writeToTool(std::span<const std::uint8_t> bytes);
    void noteHangUp();
    void pressDueRemote(Time now);
    void createLink();
    void removeLink();
    void restoreSignals();

    ReceiverSimulator& simulator_;
    OwnedFd master_;
    OwnedFd wakeRead_;
    OwnedFd wakeWrite_;
    std::string slavePath_;
    std::optional<std::filesystem::path> link_;
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
