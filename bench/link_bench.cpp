// The link against the software receiver on a real pseudo-terminal: how close whole-memory
// transfers come to what a 9600-baud line allows, and what a connected, idle link costs.
//
// KONFIGOR_BENCH_QUICK=1 (set by scripts/check's smoke run) takes the line time away and
// shortens the idle measurement, so the benchmark is only seen to work.
#include "files/settings_file.h"
#include "kvr/kvr_commands.h"
#include "link/receiver_link.h"
#include "link/serial_port_posix.h"
#include "link/steady_clock.h"
#include "sim/receiver_simulator.h"
#include "sim/simulator_thread.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <iostream>
#include <optional>
#include <sstream>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>

namespace konfigor {
namespace {

using namespace std::chrono_literals;
using Seconds = std::chrono::duration<double>;

// 221 exchanges of a 5-byte request and a 36-byte answer, 10 bits a byte at 9600 baud.
constexpr Seconds kWireLimit{221.0 * 41 * 10 / 9600};

bool quick() {
    const char* value = std::getenv("KONFIGOR_BENCH_QUICK");
    return value != nullptr && std::string_view(value) == "1";
}

// A receiver served on its own thread, and a connected link to it.
class Bench {
public:
    Bench() {
        if (quick())
            simulator_.setBaudRate(0);
        for (std::uint32_t slot = 0; slot < 704; ++slot)
            simulator_.storeRemote(slot,
                                   {.serialField = 5000 + slot, .counter = 1, .counterCopy = 1});
        served_.emplace(simulator_);
    }
    ~Bench() { link_.disconnect(); }
    Bench(const Bench&) = delete;
    Bench& operator=(const Bench&) = delete;

    bool connect() {
        return link_.connect(served_->portPath()) &&
               waitFor([&] { return link_.isConfigurationProbed(); }, 10s);
    }
    static bool waitFor(const std::function<bool()>& done, Seconds limit) {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (!done()) {
            if (std::chrono::steady_clock::now() > end)
                return false;
            std::this_thread::sleep_for(1ms);
        }
        return true;
    }
    ReceiverLink& link() { return link_; }

private:
    ReceiverSimulator simulator_;
    std::optional<SimulatorThread> served_;
    SteadyClock clock_;
    PosixSerialPort port_;
    ReceiverLink link_{port_, clock_};
};

void transfer(benchmark::State& state, bool write) {
    Bench bench;
    if (!bench.connect()) {
        state.SkipWithError("the receiver did not answer");
        return;
    }
    ReceiverLink& link = bench.link();
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const bool started = write ? link.startBulkWrite() : link.startBulkRead();
        const bool done =
            started &&
            Bench::waitFor([&] { return write ? link.isWriteComplete() : link.isReadComplete(); },
                           60s);
        const Seconds elapsed = std::chrono::steady_clock::now() - start;
        if (!done) {
            state.SkipWithError("the transfer did not complete");
            return;
        }
        state.SetIterationTime(elapsed.count());
        state.counters["ratio_to_wire_limit"] = elapsed / kWireLimit;
    }
}

void bulkRead(benchmark::State& state) {
    transfer(state, false);
}
void bulkWrite(benchmark::State& state) {
    transfer(state, true);
}
BENCHMARK(bulkRead)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(bulkWrite)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

// The whole kvr command as an installer runs it, in this process: connecting, the probe, the
// configuration page where it is read first, the memory, and ending the connection.
void kvrCommand(benchmark::State& state, bool write) {
    ReceiverSimulator simulator;
    if (quick())
        simulator.setBaudRate(0);
    SimulatorThread served(simulator);
    const auto folder = std::filesystem::temp_directory_path() /
                        ("konfigor-link-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const std::string file = (folder / "receiver.kvr").string();
    const std::string port = served.portPath();
    std::vector<std::string_view> args{"read", "--port", port, "-o", file};
    if (write)
        args = {"write", "--port", port, file};
    for (auto _ : state) {
        if (write && kvr::runKvr(std::vector<std::string_view>{"read", "--port", port, "-o", file},
                                 std::cout, std::cerr) != kvr::kExitSuccess) {
            state.SkipWithError("the file to write could not be read first");
            break;
        }
        std::ostringstream out;
        std::ostringstream err;
        const auto start = std::chrono::steady_clock::now();
        const int status = kvr::runKvr(args, out, err);
        const Seconds elapsed = std::chrono::steady_clock::now() - start;
        if (status != kvr::kExitSuccess) {
            state.SkipWithError(err.str().c_str());
            break;
        }
        state.SetIterationTime(elapsed.count());
        state.counters["ratio_to_wire_limit"] = elapsed / kWireLimit;
    }
    std::filesystem::remove_all(folder);
}

void kvrRead(benchmark::State& state) {
    kvrCommand(state, false);
}
void kvrWrite(benchmark::State& state) {
    kvrCommand(state, true);
}
BENCHMARK(kvrRead)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(kvrWrite)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

Seconds processCpuTime() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) {
        return Seconds(double(t.tv_sec) + double(t.tv_usec) / 1e6);
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Everything the process spends (link worker and the simulator's server alike) while the
// connection stands idle.
void idleLink(benchmark::State& state) {
    Bench bench;
    if (!bench.connect()) {
        state.SkipWithError("the receiver did not answer");
        return;
    }
    const Seconds window = quick() ? 1s : 10s;
    for (auto _ : state) {
        const Seconds cpuBefore = processCpuTime();
        std::this_thread::sleep_for(window);
        const Seconds used = processCpuTime() - cpuBefore;
        state.SetIterationTime(window.count());
        state.counters["cpu_percent_of_one_core"] = 100.0 * used / window;
    }
}
BENCHMARK(idleLink)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace
} // namespace konfigor
