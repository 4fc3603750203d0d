// Loading the newest 5000 events, as the program does at start-up and the archive button does,
// from a log of 5,000 lines and from one of 2,000,000: reading backwards from the end should make
// both cost the same. KONFIGOR_BENCH_QUICK=1 (set by scripts/check's smoke run) makes the big log
// 200,000 lines, which is enough to see that it runs.
#include "common/codepage1250.h"
#include "eventlog/events_log.h"
#include "texts/text_table.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <unistd.h>

namespace konfigor {
namespace {

constexpr std::size_t kNewest = EventsLog::kDefaultArchiveSize;

bool quickRun() {
    const char* value = std::getenv("KONFIGOR_BENCH_QUICK");
    return value != nullptr && std::string_view(value) == "1";
}

// A log file of its own, removed afterwards.
class ScratchLog {
public:
    explicit ScratchLog(std::size_t lines)
        : folder_(std::filesystem::temp_directory_path() /
                  ("konfigor_eventlog_bench_" + std::to_string(::getpid()) + "_" +
                   std::to_string(lines))) {
        std::filesystem::create_directories(folder_);
        std::ofstream out(path(), std::ios::binary);
        out << eventLogHeader(TextTable());
        const std::string description = cp1250::fromUtf8("Brama wjazdowa, garaż nr ");
        std::string block;
        for (std::size_t number = 0; number < lines; ++number) {
            EventRecord record;
            record.time = {2024,
                           3,
                           static_cast<std::uint16_t>(1 + number % 28),
                           static_cast<std::uint16_t>(number % 24),
                           static_cast<std::uint16_t>(number % 60),
                           7};
            record.position = static_cast<std::int32_t>(1 + number % 704);
            record.description.assign(description + std::to_string(number % 97));
            record.button = static_cast<std::uint8_t>(1 + number % 4);
            record.channelMask = static_cast<std::uint8_t>(1 + number % 15);
            record.serialNumber = static_cast<std::uint32_t>(100'000 + number);
            block += formatEventLine(record);
            if (block.size() > 1'000'000) {
                out << block;
                block.clear();
            }
        }
        out << block;
    }
    ~ScratchLog() {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    ScratchLog(const ScratchLog&) = delete;
    ScratchLog& operator=(const ScratchLog&) = delete;

    std::filesystem::path path() const { return folder_ / "log.txt"; }

private:
    std::filesystem::path folder_;
};

void loadNewest(benchmark::State& state, std::size_t lines) {
    const ScratchLog log(lines);
    const TextTable texts;
    EventsLog events(texts);
    const std::size_t expected = std::min(lines, kNewest);
    for (auto _ : state) {
        if (events.loadLast(log.path(), kNewest) != expected) {
            state.SkipWithError("the log did not load the newest events");
            break;
        }
        benchmark::DoNotOptimize(events.events().data());
    }
    state.counters["file_MB"] =
        static_cast<double>(std::filesystem::file_size(log.path())) / 1'000'000.0;
    state.counters["events_per_second"] = benchmark::Counter(
        static_cast<double>(state.iterations() * expected), benchmark::Counter::kIsRate);
}

void loadNewestOf5000Lines(benchmark::State& state) {
    loadNewest(state, 5'000);
}
BENCHMARK(loadNewestOf5000Lines)->Unit(benchmark::kMillisecond)->UseRealTime();

void loadNewestOf2000000Lines(benchmark::State& state) {
    loadNewest(state, quickRun() ? 200'000 : 2'000'000);
}
BENCHMARK(loadNewestOf2000000Lines)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
} // namespace konfigor
