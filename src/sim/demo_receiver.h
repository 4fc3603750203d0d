#pragma once

#include "sim/receiver_simulator.h"
#include "sim/simulator_thread.h"

#include <chrono>
#include <string>

namespace konfigor {

// The receiver of demo mode: firmware 2.7 with a dozen remotes (one of them multi) and channels
// in each mode, served on a pseudo-terminal of its own from a thread of its own.
class DemoReceiver {
public:
    struct Options {
        // 0: answers come at once; the default takes the time a real line takes.
        unsigned baudRate = ReceiverSimulator::kBaudRate;
        // A stored remote pressed now and then, so that the events show something.
        std::optional<std::chrono::milliseconds> pressEvery = std::chrono::seconds(7);
    };

    DemoReceiver() : DemoReceiver(Options{}) {}
    explicit DemoReceiver(const Options& options);

    std::string portPath() const { return thread_.portPath(); }
    // The memory every demo receiver starts with.
    static void fillMemory(ReceiverSimulator& simulator);

private:
    static ReceiverSimulator prepared(const Options& options);

    ReceiverSimulator simulator_;
    SimulatorThread thread_;
};

} // namespace konfigor
