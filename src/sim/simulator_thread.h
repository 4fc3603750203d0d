#pragma once

#include "sim/pty_server.h"
#include "sim/simulator_console.h"

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
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
        // kvr-sim's console ("press SERIAL BUTTON", ...) through command().
        bool console = false;
    };

    explicit SimulatorThread(ReceiverSimulator& simulator);
    SimulatorThread(ReceiverSimulator& simulator, Options options);
    ~SimulatorThread();
    SimulatorThread(const SimulatorThread&) = delete;
    SimulatorThread& operator=(const SimulatorThread&) = delete;

    // Where a tool connects; a new terminal after each plug().
    std::string portPath() const { return server_.slavePath(); }
    PtyServer& server() { return server_; }

    // One console line carried out on the serving thread, and its answer ("ok" or "error:
    // ..."). Only with Options::console.
    std::string command(std::string_view line);

    // Ends the serving; afterwards the simulator may be looked at.
    void stop();

private:
    void openConsole(ReceiverSimulator& simulator);

    PtyServer server_;
    std::optional<SimulatorConsole> console_;
    // Ours: the write end of the console's input and the read end of its replies.
    int commandsIn_ = -1;
    int repliesOut_ = -1;
    // The server's ends.
    int consoleInput_ = -1;
    int consoleReplies_ = -1;
    std::thread thread_;
};

} // namespace konfigor
