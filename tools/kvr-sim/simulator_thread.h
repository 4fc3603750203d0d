#pragma once

#include "kvr-sim/pty_server.h"

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>

namespace konfigor {

// A software receiver served on a pseudo-terminal from a thread of its own, so that a link in
// the same process talks to it like to a real interface: demo mode, tests and benchmarks.
// The simulator belongs to the serving thread until stop() returns.
class SimulatorThread {
public:
    struct Options {
        std::optional<std::filesystem::path> link;
        // Stored remotes pressed one after another, for live events.
        std::optional<std::chrono::milliseconds> pressEvery;
    };

    explicit SimulatorThread(ReceiverSimulator& simulator, Options options = {})
        : server_(simulator, std::move(options.link)) {
        if (options.pressEvery)
            server_.pressStoredRemotesEvery(*options.pressEvery);
        thread_ = std::thread([this] { server_.run(); });
    }
    ~SimulatorThread() { stop(); }
    SimulatorThread(const SimulatorThread&) = delete;
    SimulatorThread& operator=(const SimulatorThread&) = delete;

    // Where a tool connects; a new terminal after each plug().
    std::string portPath() const { return server_.slavePath(); }
    PtyServer& server() { return server_; }

    // Ends the serving; afterwards the simulator may be looked at.
    void stop() {
        server_.stop();
        if (thread_.joinable())
            thread_.join();
    }

private:
    PtyServer server_;
    std::thread thread_;
};

} // namespace konfigor
