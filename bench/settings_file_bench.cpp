// Settings files of a full receiver: how many the tool writes and reads per second, on disk and
// from memory. The description search reads hundreds of them in a row.
#include "common/codepage1250.h"
#include "files/settings_file.h"
#include "sheet/serial_word.h"
#include "sheet/settings_sheet.h"
#include "texts/text_table.h"

#include <benchmark/benchmark.h>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace konfigor {
namespace {

// Every slot used, descriptions from empty up to the longest, with Polish letters in them.
std::unique_ptr<SettingsSheet> fullSheet() {
    auto sheet = std::make_unique<SettingsSheet>();
    const std::string phrase = cp1250::fromUtf8("Łukasz Żółć, garaż 12, brama i furtka; ");
    std::string text;
    while (text.size() < DescriptionText::kMaxLength)
        text += phrase;
    for (std::size_t slot = 0; slot < kRemoteSlotCount; ++slot) {
        RemoteEntry& remote = sheet->remotes[slot];
        const auto number = static_cast<std::uint32_t>(100'000 + slot * 7919);
        remote.serialWord = serial_word::withMulti(number, slot % 5 == 0);
        remote.codeCounter = static_cast<std::uint16_t>(slot * 31);
        remote.buttonMasks = {1, 2, static_cast<std::uint16_t>(slot % 16), 8};
        remote.copyLock = slot % 3 != 0;
        remote.description.assign(std::string_view(text).substr(0, (slot * 37) % 256));
    }
    for (std::size_t index = 0; index < kChannelCount; ++index) {
        ChannelEntry& channel = sheet->channels[index];
        channel.time = static_cast<std::uint16_t>(index * 50);
        channel.doublePress = index % 2 == 1;
        channel.description.assign(std::string_view(text).substr(0, 50 * index));
    }
    sheet->identifier.assign(cp1250::fromUtf8("Osiedle Zielone, brama główna"));
    return sheet;
}

std::vector<std::uint8_t> encodeSheet(const SettingsSheet& sheet) {
    return SettingsFile::encode(sheet.remotes, sheet.channels, sheet.identifier);
}

void countFiles(benchmark::State& state, std::size_t fileSize) {
    state.counters["files_per_second"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(fileSize));
}

// A folder of its own for the files written, removed afterwards.
class ScratchFolder {
public:
    ScratchFolder()
        : path_(std::filesystem::temp_directory_path() /
                ("konfigor_bench_" + std::to_string(::getpid()))) {
        std::filesystem::create_directories(path_);
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    std::filesystem::path file(const char* name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

struct Reading {
    std::unique_ptr<SettingsSheet> sheet = std::make_unique<SettingsSheet>();
    bool newerVersion = false;

    SettingsFile::Destination destination() {
        return {sheet->remotes, sheet->channels, sheet->identifier, newerVersion};
    }
};

// A fast reader that reads the wrong thing measures nothing.
void checkReadBack(benchmark::State& state, const Reading& read,
                   const std::vector<std::uint8_t>& expected) {
    if (encodeSheet(*read.sheet) != expected)
        state.SkipWithError("the sheet read back differs from the one written");
}

void encodeFullSheet(benchmark::State& state) {
    const auto sheet = fullSheet();
    std::size_t size = 0;
    for (auto _ : state) {
        const std::vector<std::uint8_t> bytes = encodeSheet(*sheet);
        size = bytes.size();
        benchmark::DoNotOptimize(bytes.data());
    }
    countFiles(state, size);
}
BENCHMARK(encodeFullSheet);

void parseFromMemory(benchmark::State& state) {
    const TextTable texts;
    const SettingsFile file(texts);
    const std::vector<std::uint8_t> bytes = encodeSheet(*fullSheet());
    Reading into;
    for (auto _ : state) {
        if (const auto failure = file.parse(bytes, 0, into.destination())) {
            state.SkipWithError(failure->c_str());
            break;
        }
        benchmark::ClobberMemory();
    }
    checkReadBack(state, into, bytes);
    countFiles(state, bytes.size());
}
BENCHMARK(parseFromMemory);

// Each write is flushed to the disk before it replaces the file, so the disk sets this pace.
void writeFile(benchmark::State& state) {
    const TextTable texts;
    const SettingsFile file(texts);
    const auto sheet = fullSheet();
    const ScratchFolder folder;
    const auto path = folder.file("full.kvr");
    for (auto _ : state) {
        if (const auto failure =
                file.write(path, sheet->remotes, sheet->channels, sheet->identifier)) {
            state.SkipWithError(failure->c_str());
            break;
        }
    }
    countFiles(state, encodeSheet(*sheet).size());
}
BENCHMARK(writeFile)->UseRealTime();

void readFile(benchmark::State& state) {
    const TextTable texts;
    const SettingsFile file(texts);
    const auto sheet = fullSheet();
    const ScratchFolder folder;
    const auto path = folder.file("full.kvr");
    if (const auto failure = file.write(path, sheet->remotes, sheet->channels, sheet->identifier)) {
        state.SkipWithError(failure->c_str());
        return;
    }
    Reading into;
    for (auto _ : state) {
        if (const auto failure = file.read(path, into.destination())) {
            state.SkipWithError(failure->c_str());
            break;
        }
        benchmark::ClobberMemory();
    }
    const std::vector<std::uint8_t> written = encodeSheet(*sheet);
    checkReadBack(state, into, written);
    countFiles(state, written.size());
}
BENCHMARK(readFile)->UseRealTime();

} // namespace
} // namespace konfigor
