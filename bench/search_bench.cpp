// The description search over 10,000 settings files in a tree of folders, warm (the files in
// the page cache, as on a second search): how many files per second the scan finds, reads and
// scores, on one thread and on two. KONFIGOR_BENCH_QUICK=1 (set by scripts/check's smoke run)
// makes the tree 1,000 files, which is enough to see that it runs.
#include "common/codepage1250.h"
#include "search/settings_scan.h"
#include "search/settings_tree.h"
#include "sheet/serial_word.h"
#include "sheet/settings_sheet.h"
#include "texts/text_table.h"

#include <benchmark/benchmark.h>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace konfigor {
namespace {

constexpr std::size_t kFolders = 100;

std::size_t fileCount() {
    const char* quick = std::getenv("KONFIGOR_BENCH_QUICK");
    return quick != nullptr && std::string_view(quick) == "1" ? 1'000 : 10'000;
}

// An installation of a few hundred remotes with short Polish descriptions; each file differs
// from its neighbours in which remotes it holds, so the scores spread.
std::unique_ptr<SettingsSheet> installation(std::size_t variant) {
    auto sheet = std::make_unique<SettingsSheet>();
    const std::size_t remotes = 100 + variant % 300;
    for (std::size_t slot = 0; slot < remotes; ++slot) {
        RemoteEntry& remote = sheet->remotes[slot];
        const auto number = static_cast<std::uint32_t>(100'000 + (slot * 7919 + variant) % 50'000);
        remote.serialWord = serial_word::withMulti(number, slot % 9 == 0);
        remote.codeCounter = static_cast<std::uint16_t>(slot * 31 + variant);
        remote.buttonMasks = {1, 2, static_cast<std::uint16_t>(slot % 16), 8};
        remote.copyLock = slot % 3 != 0;
        remote.description.assign(cp1250::fromUtf8("Garaż nr " + std::to_string(slot) +
                                                   ", ul. Źródlana " + std::to_string(variant)));
    }
    for (std::size_t index = 0; index < kChannelCount; ++index)
        sheet->channels[index].time = static_cast<std::uint16_t>(5 + (index + variant) % 4);
    sheet->identifier.assign(cp1250::fromUtf8("Osiedle Zielone, brama " + std::to_string(variant)));
    return sheet;
}

// The tree, written once for every benchmark of the run and removed at its end: a hundred
// customers' folders over ten years' folders.
class InstallationsTree {
public:
    explicit InstallationsTree(std::size_t files) {
        for (std::size_t file = 0; file < files; ++file)
            tree_.writeSheet("rok" + std::to_string(2000 + file % kFolders / 10) + "/klient" +
                                 std::to_string(file % kFolders) + "/nastawy" +
                                 std::to_string(file) + ".kvr",
                             *installation(file));
    }

    const std::filesystem::path& root() const { return tree_.root(); }

private:
    testing_support::SettingsTree tree_;
};

const InstallationsTree& tree() {
    static const InstallationsTree written(fileCount());
    return written;
}

void scanTree(benchmark::State& state) {
    const TextTable texts;
    const std::size_t files = fileCount();
    const SettingsScan scan({.entries = {tree().root()},
                             .sheet = *installation(4242),
                             .criteria = SearchCriteria{},
                             .workers = static_cast<unsigned>(state.range(0))},
                            texts);
    // Warm: every file read once before the clock runs.
    if (scan.run().results.size() != files) {
        state.SkipWithError("the scan did not score every file");
        return;
    }
    for (auto _ : state) {
        const ScanOutcome outcome = scan.run();
        benchmark::DoNotOptimize(outcome.results.data());
    }
    state.counters["files_per_second"] = benchmark::Counter(
        static_cast<double>(files), benchmark::Counter::kIsIterationInvariantRate);
    state.counters["files"] = static_cast<double>(files);
}
BENCHMARK(scanTree)
    ->ArgName("workers")
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace
} // namespace konfigor
