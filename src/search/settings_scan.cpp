#include "search/settings_scan.h"

#include "search/match_score.h"
#include "search/settings_file_batch.h"

namespace konfigor {

ScanOutcome SettingsScan::run(const ScanProgressCallback& progress, std::stop_token stop) const {
    ScanOutcome outcome;
    const FoundFiles found = findSettingsFiles(request_.entries, stop, [&](std::size_t count) {
        if (progress)
            progress({.done = 0, .found = count});
    });
    if (found.cancelled) {
        outcome.cancelled = true;
        return outcome;
    }

    std::vector<double> scores(found.files.size());
    const SettingsFileBatch batch(texts_, request_.workers);
    const BatchOutcome read = batch.read(
        found.files,
        [&](std::size_t index, const SettingsSheet& file) {
            scores[index] =
                matchScore(request_.sheet, file.remotes, file.channels, request_.criteria);
        },
        [&](std::size_t done) {
            if (progress)
                progress({.done = done, .found = found.files.size()});
        },
        stop);
    if (read.cancelled) {
        outcome.cancelled = true;
        return outcome;
    }

    outcome.skipped = found.skipped;
    for (std::size_t index = 0; index < found.files.size(); ++index) {
        if (const auto& error = read.errors[index])
            outcome.skipped.push_back(
                {.kind = ScanSkip::Kind::File, .path = found.files[index], .error = *error});
        else
            outcome.results.push_back({.path = found.files[index], .score = scores[index]});
    }
    sortByScore(outcome.results);
    return outcome;
}

} // namespace konfigor
