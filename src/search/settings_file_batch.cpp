#include "search/settings_file_batch.h"

#include "files/settings_file.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <system_error>
#include <thread>

namespace konfigor {

unsigned SettingsFileBatch::workerCount(std::size_t files) const {
    unsigned wanted = workers_ != 0 ? workers_ : std::thread::hardware_concurrency();
    wanted = std::clamp(wanted, 1u, kMaxWorkers);
    return static_cast<unsigned>(std::min<std::size_t>(wanted, std::max<std::size_t>(files, 1)));
}

BatchOutcome SettingsFileBatch::read(std::span<const std::filesystem::path> files, const Use& use,
                                     const Progress& progress, std::stop_token stop) const {
    BatchOutcome outcome;
    outcome.errors.resize(files.size());
    const SettingsFile reader(texts_);
    std::atomic<std::size_t> next{0};
    std::atomic<std::size_t> done{0};

    // Files are taken one at a time from a shared counter, so a slow file holds up only the
    // thread reading it.
    const auto work = [&](bool reportsProgress) {
        const auto scratch = std::make_unique<SettingsSheet>();
        bool newerVersion = false;
        while (!stop.stop_requested()) {
            const std::size_t index = next.fetch_add(1);
            if (index >= files.size())
                return;
            scratch->channels.fill(ChannelEntry::factory());
            outcome.errors[index] = reader.read(files[index], {.remotes = scratch->remotes,
                                                               .channels = scratch->channels,
                                                               .identifier = scratch->identifier,
                                                               .newerVersion = newerVersion});
            if (!outcome.errors[index] && use)
                use(index, *scratch);
            const std::size_t doneNow = done.fetch_add(1) + 1;
            if (reportsProgress && progress)
                progress(doneNow);
        }
    };

    {
        std::vector<std::jthread> helpers;
        const unsigned count = workerCount(files.size());
        for (unsigned i = 1; i < count; ++i) {
            try {
                helpers.emplace_back([&] { work(false); });
            } catch (const std::system_error&) {
                // No more threads to be had: the ones there are share the files.
                break;
            }
        }
        work(true);
    }
    if (progress)
        progress(done.load());
    outcome.cancelled = done.load() < files.size();
    return outcome;
}

} // namespace konfigor
